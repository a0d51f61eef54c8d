// Scenes of the bench's test cards and the soak card in each of their states, driven on the demo
// controller and a fake pad through the same runner calls the buttons make.
#include "../app/model/ModelFakes.h"
#include "../app/model/RunnerFakes.h"

#include <QVBoxLayout>

#include <cmath>

#include "Gallery.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/bench/SoakCard.h"
#include "app/views/bench/TestCard.h"

namespace Tessarine {
namespace {

using namespace RorozErurEvo;

constexpr int cardWidth = 360; // pixels: a bench column a little wider than its minimum

// A column of cards over a model of its own; the cards go before the model does.
class CardHost final : public QWidget {
public:
    CardHost() : layout_(new QVBoxLayout(this)) {
        layout_->setContentsMargins(12, 12, 12, 12);
        layout_->setSpacing(12);
    }
    ~CardHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

    AppModel& model() { return *bench.model; }
    std::shared_ptr<InputDevice> demo() { return bench.demo(); }
    std::shared_ptr<InputDevice> twin() { return model().demo().raw(); }

    GuidedTest test(const InputDevice& device, TestKind kind, const std::string& element = {}) {
        for (const auto& each : GuidedTests::allTests(device))
            if (each.kind == kind && (element.empty() || each.element == element)) return each;
        return {};
    }
    TestCard* card(const std::shared_ptr<InputDevice>& device, const GuidedTest& test) {
        auto* card = new TestCard(test, device, model().runner(device), model().settings(), model().batch());
        layout_->addWidget(card);
        return card;
    }
    SoakCard* soakCard(const std::shared_ptr<InputDevice>& device) {
        auto* card = new SoakCard(device, model().runner(device), model().settings(), *model().soak(),
                                  model().batch());
        layout_->addWidget(card);
        return card;
    }
    // A wireless pad known to the model, reporting at 250 Hz while `reporting` is set.
    std::shared_ptr<InputDevice> pad(const std::string& id) {
        auto device = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>(), id);
        bench.controllers->list.push_back(device);
        model().refreshControllers();
        pads_.push_back(device);
        return device;
    }
    // The demo's playback, the pads' reports and the frame tick, as the application runs them.
    void frames(double seconds, bool reporting = true) {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            const double from = bench.clock.now();
            bench.clock.advance(1.0 / 60);
            if (reporting)
                for (const auto& each : pads_)
                    for (double at = from + 0.004; at <= bench.clock.now(); at += 0.004)
                        each->capture()->recordStick("ls", 0.3 * std::cos(at), 0.3 * std::sin(at), std::nullopt, at);
            model().demo().tick();
            model().tick(bench.clock.now());
        }
    }
    void play(const std::shared_ptr<InputDevice>& device, const GuidedTest& test) {
        auto& runner = model().runner(device);
        runner.start(test);
        for (int i = 0; runner.active() && i < 60 * 60; ++i) frames(1.0 / 60);
    }
    std::unique_ptr<QWidget> done() {
        layout_->addStretch(1);
        return std::unique_ptr<QWidget>(this);
    }

    Fakes::Bench bench{false};

private:
    QVBoxLayout* layout_;
    std::vector<std::shared_ptr<InputDevice>> pads_;
};

std::unique_ptr<QWidget> driftStates() {
    auto* host = new CardHost;
    auto demo = host->demo();
    host->card(demo, host->test(*demo, TestKind::drift, "Left stick"));

    const GuidedTest right = host->test(*demo, TestKind::drift, "Right stick");
    host->play(demo, right);
    host->card(demo, right);

    host->model().demo().setScenario(DemoScenario::drift);
    auto twin = host->twin();
    const GuidedTest raw = host->test(*twin, TestKind::drift, "Left stick");
    host->play(twin, raw);
    host->card(twin, raw)->setShowDetails(true);

    // Last, so the demo is still in the middle of it.
    const GuidedTest left = host->test(*twin, TestKind::drift, "Right stick");
    host->card(twin, left);
    host->model().runner(twin).start(left);
    host->frames(4);
    return host->done();
}

std::unique_ptr<QWidget> circularity() {
    auto* host = new CardHost;
    auto twin = host->twin();
    const GuidedTest raw = host->test(*twin, TestKind::circularity, "Left stick");
    host->model().runner(twin).setGate(raw, GateShape::octagonN64);
    host->play(twin, raw);
    host->card(twin, raw);

    auto demo = host->demo();
    const GuidedTest live = host->test(*demo, TestKind::circularity, "Right stick");
    host->card(demo, live);
    host->model().runner(demo).start(live);
    host->frames(4);
    // Another test of the device runs: this card's Run and gate wait.
    host->card(demo, host->test(*demo, TestKind::circularity, "Left stick"));
    return host->done();
}

// One card per live visual, each caught in the middle of its run on the demo's own script.
std::unique_ptr<QWidget> runningVisuals() {
    auto* host = new CardHost;
    auto demo = host->demo();
    auto twin = host->twin();
    const GuidedTest buttons = host->test(*demo, TestKind::buttons);
    host->card(demo, buttons);
    host->model().runner(demo).start(buttons);
    const GuidedTest dpad = host->test(*twin, TestKind::dpad);
    if (dpad.kind == TestKind::dpad) {
        host->card(twin, dpad);
        host->model().runner(twin).start(dpad);
    }
    host->frames(1.5); // the demo's script is quick: catch it half way
    return host->done();
}

std::unique_ptr<QWidget> motionRunning() {
    auto* host = new CardHost;
    auto demo = host->demo();
    const GuidedTest motion = host->test(*demo, TestKind::motion);
    host->card(demo, motion);
    host->model().runner(demo).start(motion);
    host->frames(5);
    return host->done();
}

std::unique_ptr<QWidget> manual() {
    auto* host = new CardHost;
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& runner = host->model().runner(pad);
    const GuidedTest rumble{TestKind::rumble, "", GuidedTest::Target::device(), false};
    host->card(pad, rumble);

    const GuidedTest lights{TestKind::lights, "", GuidedTest::Target::device(), false};
    const auto items = GuidedTests::manualItems(TestKind::lights, *pad);
    for (size_t i = 0; i < items.size(); ++i) runner.setAnswer(i != 1, items[i].name, lights);
    runner.saveManualResult(lights);
    host->card(pad, lights);

    const GuidedTest triggers{TestKind::adaptiveTriggers, "", GuidedTest::Target::device(), false};
    runner.setAnswer(true, GuidedTests::manualItems(TestKind::adaptiveTriggers, *pad).front().name, triggers);
    host->card(pad, triggers);
    return host->done();
}

// Checklists saved with items still unanswered: never a pass, and the headline says how far
// the check got.
std::unique_ptr<QWidget> manualPartial() {
    auto* host = new CardHost;
    auto pad = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>());
    auto& runner = host->model().runner(pad);
    const GuidedTest triggers{TestKind::adaptiveTriggers, "", GuidedTest::Target::device(), false};
    runner.setAnswer(true, GuidedTests::manualItems(TestKind::adaptiveTriggers, *pad).front().name, triggers);
    runner.saveManualResult(triggers);
    host->card(pad, triggers);

    const GuidedTest rumble{TestKind::rumble, "", GuidedTest::Target::device(), false};
    const auto items = GuidedTests::manualItems(TestKind::rumble, *pad);
    runner.setAnswer(true, items.at(0).name, rumble);
    runner.setAnswer(false, items.at(1).name, rumble);
    runner.saveManualResult(rumble);
    host->card(pad, rumble);
    return host->done();
}

// Runs that ended without a result (one with an earlier result still shown, one without), and
// runs ended early whose results say so.
std::unique_ptr<QWidget> endedEarly() {
    auto* host = new CardHost;
    auto demo = host->demo();
    auto& runner = host->model().runner(demo);
    const GuidedTest snapback = host->test(*demo, TestKind::snapback);
    host->card(demo, snapback);
    host->play(demo, snapback);
    runner.start(snapback);
    host->frames(0.05);
    runner.done(host->bench.clock.now());

    const GuidedTest trigger = host->test(*demo, TestKind::trigger);
    host->card(demo, trigger);
    runner.start(trigger);
    host->frames(0.05);
    runner.done(host->bench.clock.now());

    // Done 1.5 s into a return to center: one release seen, and the result says so.
    const GuidedTest right = host->test(*demo, TestKind::snapback, "Right stick");
    host->card(demo, right)->setShowDetails(true);
    runner.start(right);
    host->frames(1.5);
    runner.done(host->bench.clock.now());

    // Done while the button is still held: held as long as the headline says.
    const GuidedTest hold = host->test(*demo, TestKind::hold);
    host->card(demo, hold);
    runner.start(hold);
    host->frames(2.0);
    runner.done(host->bench.clock.now());

    // A drifting stick's own warning, from a run cut short: both are said.
    host->model().demo().setScenario(DemoScenario::drift);
    const GuidedTest drift = host->test(*demo, TestKind::drift, "Left stick");
    host->card(demo, drift);
    runner.start(drift);
    host->frames(3.5);
    runner.done(host->bench.clock.now());
    return host->done();
}

std::unique_ptr<QWidget> soakStates() {
    auto* host = new CardHost;
    auto& model = host->model();
    auto thresholds = model.thresholds();
    thresholds.soakMinutes = 7; // set in the settings: the picker shows no selection
    model.settings().setThresholds(thresholds);
    host->soakCard(host->demo()); // idle, while a run goes on elsewhere

    auto pad = host->pad("gc-1");
    host->soakCard(pad);
    model.soak()->start(*pad, 10);
    host->frames(50);
    host->frames(0.3, false); // a dropout
    host->frames(25);
    return host->done();
}

std::unique_ptr<QWidget> soakEnded() {
    auto* host = new CardHost;
    auto& model = host->model();
    auto pad = host->pad("gc-1");
    host->soakCard(pad);
    model.soak()->start(*pad, 5);
    host->frames(100);
    host->frames(0.5, false);
    host->frames(200);
    model.soak()->finish(host->bench.clock.now());

    auto other = host->pad("gc-2");
    host->soakCard(other);
    model.soak()->start(*other, 5);
    host->frames(10);
    other->setConnected(false);
    host->frames(2); // away: the red waiting line
    return host->done();
}

// The untouched demo through a whole 5-minute run: its resting motion readings keep arriving,
// so the run is judged steady, with the rate the demo sent.
std::unique_ptr<QWidget> soakDemo() {
    auto* host = new CardHost;
    auto demo = host->demo();
    auto* card = host->soakCard(demo);
    host->model().soak()->start(*demo, 5);
    host->frames(301);
    card->setShowDetails(true);
    return host->done();
}

// Every test's symbol at the size of a card's header and large, with the soak card's two.
std::unique_ptr<QWidget> symbols() {
    QStringList names;
    for (TestKind kind : allCases<TestKind>()) {
        const QString name = QString::fromStdString(GuidedTest{kind, "", GuidedTest::Target::device(), false}.symbol());
        if (!names.contains(name)) names << name;
    }
    names << "play.fill" << "antenna.radiowaves.left.and.right.slash";
    return Gallery::painted([names](QPainter& painter, const QRectF& rect, const Scheme& scheme) {
        for (int i = 0; i < names.size(); ++i) {
            const double x = rect.left() + 8 + i * 36;
            Symbols::paint(painter, QRectF(x, 8, 14, 14), names[i], Color::accentTeal());
            Symbols::paint(painter, QRectF(x, 30, 32, 32), names[i], scheme.primary);
        }
    });
}

const bool cardScenesAdded = Gallery::add({
    {"test-card-symbols", {19 * 36 + 16, 70}, symbols},
    {"test-card-drift", {cardWidth, 0}, driftStates},
    {"test-card-circularity", {cardWidth, 0}, circularity},
    {"test-card-manual", {cardWidth, 0}, manual},
    {"test-card-manual-partial", {cardWidth, 0}, manualPartial},
    {"test-card-ended-early", {cardWidth, 0}, endedEarly},
    {"test-card-running-buttons-dpad", {cardWidth, 0}, runningVisuals},
    {"test-card-running-motion", {cardWidth, 0}, motionRunning},
    {"soak-card-idle-running", {cardWidth, 0}, soakStates},
    {"soak-card-result-waiting", {cardWidth, 0}, soakEnded},
    {"soak-card-demo", {cardWidth, 0}, soakDemo},
});

} // namespace
} // namespace Tessarine
