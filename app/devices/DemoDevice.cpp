#include "app/devices/DemoDevice.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

#include "testkit/DemoTraces.h"
#include "testkit/Fmt.h"

namespace Tessarine {

using namespace RorozErurEvo;
namespace Scripts = RorozErurEvo::DemoScripts;

namespace {

// Radius of the demo controller's processed dead zone, stick units.
constexpr double stickDeadZone = 0.05;
// The raw twin's axes run over 0 … 255.
constexpr CountRange twinRange{0, 255};
constexpr double twinMax = 255;
constexpr double twinMid = 127.5;

std::string number(int n) { return Fmt::trim(n, 0); }

ElementInfo element(std::string id, ElementInfo::Kind kind, ElementInfo::Role role, std::string name,
                    std::optional<std::string> symbol, bool analog, int finger = 0) {
    ElementInfo e;
    e.id = std::move(id);
    e.kind = kind;
    e.role = role;
    e.name = std::move(name);
    e.symbol = std::move(symbol);
    e.analog = analog;
    e.finger = finger;
    return e;
}

ElementInfo hidElement(std::string id, ElementInfo::Kind kind, ElementInfo::Role role, std::string name,
                       bool analog, int page, int usage, int max, bool isHat = false) {
    auto e = element(std::move(id), kind, role, std::move(name), std::nullopt, analog);
    e.page = page;
    e.usage = usage;
    e.logicalMin = 0;
    e.logicalMax = max;
    e.isHat = isHat;
    if (isHat) e.symbol = "dpad";
    return e;
}

std::vector<ElementInfo> controllerElements() {
    using K = ElementInfo::Kind;
    using R = ElementInfo::Role;
    return {
        element("Left Thumbstick", K::stick, R::leftStick, "Left stick", std::nullopt, true),
        element("Right Thumbstick", K::stick, R::rightStick, "Right stick", std::nullopt, true),
        element("Direction Pad", K::dpad, R::dpad, "D-pad", "dpad", false),
        element("Left Trigger", K::trigger, R::leftTrigger, "Left trigger", std::nullopt, true),
        element("Right Trigger", K::trigger, R::rightTrigger, "Right trigger", std::nullopt, true),
        element("Button A", K::button, R::south, "A", "a.circle", false),
        element("Button B", K::button, R::east, "B", "b.circle", false),
        element("Button X", K::button, R::west, "X", "x.circle", false),
        element("Button Y", K::button, R::north, "Y", "y.circle", false),
        element("Left Shoulder", K::button, R::leftShoulder, "L", std::nullopt, false),
        element("Right Shoulder", K::button, R::rightShoulder, "R", std::nullopt, false),
        element("Left Thumbstick Button", K::button, R::leftStickButton, "Left stick press", std::nullopt, false),
        element("Right Thumbstick Button", K::button, R::rightStickButton, "Right stick press", std::nullopt, false),
        element("Button Menu", K::button, R::menu, "Menu", "line.3.horizontal.circle", false),
        element("Button Options", K::button, R::options, "View", "ellipsis.circle", false),
        element("Button Home", K::button, R::home, "Home", "house.circle", false),
        element("Button Share", K::button, R::share, "Capture", "square.and.arrow.up.circle", false),
        element("Touchpad Button", K::button, R::touchpadButton, "Touchpad click", "hand.point.up.left", false),
        element("Touchpad 1", K::touchpad, R::touchpad, "Touchpad, first finger", std::nullopt, false, 0),
        element("Touchpad 2", K::touchpad, R::touchpad, "Touchpad, second finger", std::nullopt, false, 1),
    };
}

std::vector<ElementInfo> twinElements() {
    using K = ElementInfo::Kind;
    using R = ElementInfo::Role;
    std::vector<ElementInfo> elements{
        hidElement("e1", K::axis, R::other, "X", true, 1, 48, 255),
        hidElement("e2", K::axis, R::other, "Y", true, 1, 49, 255),
        hidElement("e3", K::axis, R::other, "Z", true, 1, 50, 255),
        hidElement("e4", K::axis, R::other, "Rz", true, 1, 53, 255),
        hidElement("e5", K::trigger, R::leftTrigger, "Left trigger", true, 1, 51, 255),
        hidElement("e6", K::trigger, R::rightTrigger, "Right trigger", true, 1, 52, 255),
        hidElement("e7", K::dpad, R::dpad, "Hat switch", false, 1, 57, 7, true),
    };
    // Appended rather than "b" + …: g++ 12 at -O3 takes the latter for an oversized copy.
    for (int i = 1; i <= 13; ++i)
        elements.push_back(hidElement(std::string("b").append(number(i)), K::button, R::other,
                                      std::string("Button ").append(number(i)), false, 9, i, 1));
    return elements;
}

DeviceInfo controllerInfo() {
    DeviceInfo info;
    info.name = "Demo controller";
    info.vendor = "Built-in recordings";
    info.category = "Gamepad";
    info.serial = "DEMO-0001";
    info.transport = "Simulated";
    info.batteryLevel = 0.8;
    info.batteryState = "On battery";
    return info;
}

DeviceInfo twinInfo() {
    DeviceInfo info;
    info.name = "Demo controller (raw HID)";
    info.vendor = "Built-in recordings";
    info.vendorID = 0xF00D;
    info.productID = 1;
    info.serial = "DEMO-0001";
    info.transport = "Simulated";
    return info;
}

double clampUnit(double v) { return std::min(std::max(v, -1.0), 1.0); }

// Hat value of a d-pad point: 0 up, clockwise to 7 up-left; 8 when centred.
int hatValue(double x, double y) {
    const int dx = x > 0.5 ? 1 : (x < -0.5 ? -1 : 0);
    const int dy = y > 0.5 ? 1 : (y < -0.5 ? -1 : 0);
    static constexpr int table[3][3] = {
        // dx = -1, 0, 1
        {5, 4, 3}, // dy = -1
        {6, 8, 2}, // dy = 0
        {7, 0, 1}, // dy = 1
    };
    return table[dy + 1][dx + 1];
}

} // namespace

DemoDriver::DemoDriver(const Clock& clock, TimerFactory timers, QObject* parent)
    : QObject(parent), clock(clock), timers(std::move(timers)) {
    // The device, and with it its outputs, may outlive the driver.
    outputs_ = std::make_shared<DemoOutputs>([driver = QPointer<DemoDriver>(this)](bool active) {
        if (driver) driver->setMotionActive(active);
    });
    device_ = std::make_shared<InputDevice>("demo", InputDevice::Kind::demo, controllerInfo(), controllerElements(),
                                            std::make_shared<CaptureBuffer>(), outputs_);
    raw_ = std::make_shared<InputDevice>("demo-raw", InputDevice::Kind::demoRaw, twinInfo(), twinElements(),
                                         std::make_shared<CaptureBuffer>());
    raw_->applyPairs({StickPair{"pair-1", "Left stick", "e1", "e2", true, ElementInfo::Role::leftStick},
                      StickPair{"pair-2", "Right stick", "e3", "e4", true, ElementInfo::Role::rightStick}});
    device_->setCapabilities(Capabilities{{"Left Handle", "Right Handle", "Left Trigger", "Right Trigger"},
                                          true, true, true, true, true});
    device_->setRawPartner(raw_);
}

void DemoDriver::setScenario(Scenario value) {
    if (value == scenario_) return;
    scenario_ = value;
    emit scenarioChanged();
    if (!current_) load(scenarioActions(), true);
}

void DemoDriver::start() {
    if (timer_) return;
    current_.reset();
    load(scenarioActions(), true);
    timer_ = timers();
    timer_->start(tickInterval, [this] { tick(); });
}

void DemoDriver::load(std::vector<Action> script, bool loop, std::optional<double> at) {
    // An action without a finite time cannot be placed in the script; sorting it would break
    // the ordering itself.
    std::erase_if(script, [](const Action& a) { return !std::isfinite(a.time()); });
    std::stable_sort(script.begin(), script.end(), [](const Action& a, const Action& b) { return a.time() < b.time(); });
    actions_ = std::move(script);
    cursor_ = 0;
    looping_ = loop;
    length_ = (actions_.empty() ? 0.0 : actions_.back().time()) + tailSeconds;
    start_ = at.value_or(clock.now());
    scriptMotion_ = std::any_of(actions_.begin(), actions_.end(),
                                [](const Action& a) { return std::holds_alternative<Action::Motion>(a.value); });
}

void DemoDriver::setMotionActive(bool active) {
    if (active == motionActive_) return;
    motionActive_ = active;
    motionFrom_ = clock.now();
    motionNext_ = 0;
}

void DemoDriver::tick(double now) {
    if (!std::isfinite(now)) return;
    playScript(now);
    streamMotion(now);
}

void DemoDriver::streamMotion(double now) {
    if (!motionActive_) return;
    const auto& readings = Scripts::restingMotion();
    const double rate = Scripts::restingMotionRate;
    auto at = [&](std::uint64_t i) { return motionFrom_ + static_cast<double>(i) / rate; };
    // Readings the script's own motion stands in for, or that ended long ago (the machine
    // slept), are skipped; the grid keeps its rhythm.
    const double skipUntil = scriptMotion_ ? now : now - catchUpSeconds;
    if (at(motionNext_) < skipUntil) motionNext_ = static_cast<std::uint64_t>(std::ceil((skipUntil - motionFrom_) * rate));
    if (scriptMotion_) return;
    for (; at(motionNext_) <= now; ++motionNext_) {
        auto reading = readings[motionNext_ % readings.size()];
        reading.t = at(motionNext_);
        device_->buffer().recordMotion(reading);
    }
}

void DemoDriver::playScript(double now) {
    for (;;) {
        const double elapsed = now - start_;
        while (cursor_ < actions_.size()) {
            if (actions_[cursor_].time() > elapsed) return;
            apply(actions_[cursor_], start_);
            ++cursor_;
        }
        if (!looping_ || !(length_ > 0) || !(length_ < elapsed)) return;
        // The next round begins where this one ended, not at this tick.
        start_ += length_;
        const double behind = now - catchUpSeconds - start_;
        if (behind > 0) start_ += std::floor(behind / length_) * length_;
        cursor_ = 0;
    }
}

std::vector<DemoDriver::Action> DemoDriver::scenarioActions() const { return Scripts::scenarioActions(scenario_); }

std::vector<DemoDriver::Action> DemoDriver::testActions(const GuidedTest& test, double driftSeconds) const {
    return Scripts::testActions(scenario_, test, driftSeconds);
}

void DemoDriver::apply(const Action& action, double scriptStart) {
    auto& demo = device_->buffer();
    auto& twin = raw_->buffer();
    const double t = scriptStart + action.time();

    std::visit(
        [&](const auto& a) {
            using A = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<A, Action::Stick>) {
                applyStick(a.element, a.sample, t);
            } else if constexpr (std::is_same_v<A, Action::Axis>) {
                applyAxis(a.element, a.sample.value, t);
            } else if constexpr (std::is_same_v<A, Action::Button>) {
                demo.recordButton(a.event.input, a.event.down, t);
                if (const auto n = Scripts::buttonNumber(a.event.input)) {
                    const std::string key = "b" + number(*n);
                    twin.recordRaw(key, a.event.down ? 1 : 0, t);
                    twin.recordButton(key, a.event.down, t);
                }
            } else if constexpr (std::is_same_v<A, Action::Motion>) {
                auto sample = a.sample;
                sample.t = t;
                demo.recordMotion(sample);
            } else if constexpr (std::is_same_v<A, Action::Touch>) {
                auto sample = a.sample;
                sample.t = t;
                demo.recordTouch(sample);
            } else {
                demo.liftTouch(a.finger);
            }
        },
        action.value);
}

void DemoDriver::applyStick(const std::string& element, const StickSample& sample, double t) {
    // A reading that is not a number has no place on either device.
    if (!std::isfinite(sample.x) || !std::isfinite(sample.y)) return;
    auto& demo = device_->buffer();
    auto& twin = raw_->buffer();
    const double x = sample.x, y = sample.y;

    if (element == Scripts::dpad) {
        demo.recordStick(element, x, y, std::nullopt, t);
        twin.recordRaw("e7", hatValue(x, y), t);
        twin.recordStick("e7", x, y, std::nullopt, t);
        return;
    }

    // The processed reading: a radial dead zone, rescaled so that the rim stays at 1.
    const double m = std::sqrt(x * x + y * y);
    double px = 0, py = 0;
    if (m > stickDeadZone) {
        const double k = std::min((m - stickDeadZone) / (1 - stickDeadZone), 1.0) / m;
        px = k * x;
        py = k * y;
    }
    demo.recordStick(element, px, py, std::nullopt, t);

    const bool left = element == Scripts::leftStick;
    const std::string xKey = left ? "e1" : "e3", yKey = left ? "e2" : "e4", pairKey = left ? "pair-1" : "pair-2";
    const auto rx = DemoTraces::raw(x, twinRange), ry = DemoTraces::raw(-y, twinRange);
    twin.recordRaw(xKey, static_cast<int>(rx), t);
    twin.recordRaw(yKey, static_cast<int>(ry), t);
    twin.recordAxis(xKey, static_cast<double>(rx) / twinMax, rx, t);
    twin.recordAxis(yKey, static_cast<double>(ry) / twinMax, ry, t);
    twin.recordStick(pairKey, clampUnit((static_cast<double>(rx) - twinMid) / twinMid),
                     -clampUnit((static_cast<double>(ry) - twinMid) / twinMid), RawPoint{rx, ry}, t);
}

void DemoDriver::applyAxis(const std::string& element, double value, double t) {
    if (!std::isfinite(value)) return;
    auto& demo = device_->buffer();
    auto& twin = raw_->buffer();
    demo.recordAxis(element, value, std::nullopt, t);
    demo.recordTriggerPress(element, value, t);

    // The twin's count of a value outside 0 … 1 is the nearest end of its range.
    const std::string key = element == Scripts::leftTrigger ? "e5" : "e6";
    const auto c = static_cast<int>(std::lround(std::min(std::max(value, 0.0), 1.0) * twinMax));
    twin.recordRaw(key, c, t);
    twin.recordAxis(key, c / twinMax, c, t);
    // The twin decides on the demo's own travel, so both devices press and release together.
    twin.recordTriggerPress(key, value, t);
}

} // namespace Tessarine
