#include "tests/support/FakeControllerBackend.h"

namespace Tessarine {

using Kind = FakeControllerBackend::Command::Kind;

void FakeControllerBackend::start(Listener& listener) {
    std::lock_guard guard(lock_);
    if (!stopped_ && !listener_) listener_ = &listener;
}

void FakeControllerBackend::stop() {
    std::lock_guard guard(lock_);
    stopped_ = true;
    listener_ = nullptr;
}

bool FakeControllerBackend::running() const {
    std::lock_guard guard(lock_);
    return listener_ != nullptr;
}

void FakeControllerBackend::post(std::function<void()> work) {
    if (running()) work();
}

std::optional<ControllerState> FakeControllerBackend::state(int instance) {
    std::lock_guard guard(lock_);
    const auto it = states_.find(instance);
    return it == states_.end() ? std::nullopt : std::optional(it->second);
}

std::optional<JoystickState> FakeControllerBackend::joystickState(int instance) {
    std::lock_guard guard(lock_);
    const auto it = joysticks_.find(instance);
    return it == joysticks_.end() ? std::nullopt : std::optional(it->second);
}

FakeControllerBackend::Listener* FakeControllerBackend::changed(const std::function<void()>& edit) {
    std::lock_guard guard(lock_);
    if (edit) edit();
    return listener_;
}

void FakeControllerBackend::record(Command command) {
    std::lock_guard guard(lock_);
    commands_.push_back(std::move(command));
}

std::vector<FakeControllerBackend::Command> FakeControllerBackend::commands() const {
    std::lock_guard guard(lock_);
    return commands_;
}

namespace {
FakeControllerBackend::Command command(Kind kind, int instance) {
    FakeControllerBackend::Command c;
    c.kind = kind;
    c.instance = instance;
    return c;
}
} // namespace

void FakeControllerBackend::rumble(int instance, RorozErurEvo::RumbleMixer::Motor motor, float strength,
                                   double seconds) {
    auto c = command(Kind::rumble, instance);
    c.motor = motor;
    c.strength = strength;
    c.seconds = seconds;
    record(c);
}

void FakeControllerBackend::stopRumble(int instance) {
    record(command(Kind::stopRumble, instance));
}

void FakeControllerBackend::setLight(int instance, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    auto c = command(Kind::light, instance);
    c.color = {red, green, blue};
    record(c);
}

void FakeControllerBackend::setPlayerIndex(int instance, int index) {
    auto c = command(Kind::playerIndex, instance);
    c.index = index;
    record(c);
}

void FakeControllerBackend::sendEffect(int instance, std::vector<std::uint8_t> packet) {
    auto c = command(Kind::effect, instance);
    c.packet = std::move(packet);
    record(c);
}

void FakeControllerBackend::setSensorsEnabled(int instance, bool enabled) {
    auto c = command(Kind::sensors, instance);
    c.enabled = enabled;
    record(c);
}

void FakeControllerBackend::add(const ControllerDescription& controller, const ControllerState& state) {
    if (auto* listener = changed([&] { states_[controller.instance] = state; }))
        listener->controllerAdded(controller);
}

void FakeControllerBackend::remove(int instance) {
    if (auto* listener = changed([&] { states_.erase(instance); })) listener->controllerRemoved(instance);
}

void FakeControllerBackend::fail(const std::string& reason) {
    if (auto* listener = changed()) listener->serviceFailed(reason);
}

void FakeControllerBackend::axis(int instance, PadAxis axis, std::int16_t value, double stamp) {
    auto* listener = changed([&] {
        const auto it = states_.find(instance);
        if (it != states_.end()) it->second.axes[static_cast<std::size_t>(axis)] = value;
    });
    if (listener) listener->axisMoved(instance, axis, value, stamp);
}

void FakeControllerBackend::button(int instance, PadButton button, bool down, double stamp) {
    auto* listener = changed([&] {
        const auto it = states_.find(instance);
        if (it != states_.end()) it->second.buttons.set(static_cast<std::size_t>(button), down);
    });
    if (listener) listener->buttonChanged(instance, button, down, stamp);
}

void FakeControllerBackend::touch(int instance, int finger, TouchPhase phase, float x, float y,
                                  double stamp) {
    if (auto* listener = changed()) listener->touched(instance, finger, phase, x, y, stamp);
}

void FakeControllerBackend::sensor(int instance, Sensor sensor, std::array<float, 3> values, double stamp) {
    if (auto* listener = changed()) listener->sensorRead(instance, sensor, values, stamp);
}

namespace {
template <class T> void put(std::vector<T>& list, int index, T value) {
    if (index < 0) return;
    if (list.size() <= static_cast<std::size_t>(index)) list.resize(static_cast<std::size_t>(index) + 1);
    list[static_cast<std::size_t>(index)] = value;
}
} // namespace

void FakeControllerBackend::addJoystick(const JoystickDescription& joystick, const JoystickState& state) {
    if (auto* listener = changed([&] { joysticks_[joystick.instance] = state; }))
        listener->joystickAdded(joystick);
}

void FakeControllerBackend::removeJoystick(int instance) {
    if (auto* listener = changed([&] { joysticks_.erase(instance); })) listener->joystickRemoved(instance);
}

void FakeControllerBackend::joystickAxis(int instance, int axis, std::int16_t value, double stamp) {
    auto* listener = changed([&] {
        if (const auto it = joysticks_.find(instance); it != joysticks_.end()) put(it->second.axes, axis, value);
    });
    if (listener) listener->joystickAxis(instance, axis, value, stamp);
}

void FakeControllerBackend::joystickHat(int instance, int hat, int bits, double stamp) {
    auto* listener = changed([&] {
        if (const auto it = joysticks_.find(instance); it != joysticks_.end()) put(it->second.hats, hat, bits);
    });
    if (listener) listener->joystickHat(instance, hat, bits, stamp);
}

void FakeControllerBackend::joystickButton(int instance, int button, bool down, double stamp) {
    auto* listener = changed([&] {
        if (const auto it = joysticks_.find(instance); it != joysticks_.end()) put(it->second.buttons, button, down);
    });
    if (listener) listener->joystickButton(instance, button, down, stamp);
}

} // namespace Tessarine
