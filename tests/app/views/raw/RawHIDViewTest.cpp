#include "app/model/ModelFakes.h"
#include "support/HIDDescriptors.h"

#include "app/model/AxisCheckRecorder.h"
#include "app/model/TestRunner.h"
#include "app/devices/JoystickTap.h"
#include "app/devices/RawDevice.h"
#include "app/views/raw/AxisCheck.h"
#include "app/views/raw/AxisEditors.h"
#include "app/views/raw/ElementTable.h"
#include "app/views/kit/EmptyState.h"
#include "app/views/raw/RawHIDTexts.h"
#include "app/views/raw/RawHIDView.h"
#include "StrayKeys.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <climits>
#include <cmath>

#include <gtest/gtest.h>

using namespace Tessarine;
namespace T = Tessarine::RawHIDTexts;

namespace {

const QString dash = QStringLiteral("\u2013");

ElementInfo axis(std::string id, std::optional<int> page, std::optional<int> min, std::optional<int> max) {
    ElementInfo e;
    e.id = std::move(id);
    e.name = e.id;
    e.kind = ElementInfo::Kind::axis;
    e.page = page;
    e.usage = 0x30;
    e.logicalMin = min;
    e.logicalMax = max;
    return e;
}

std::vector<StickPair> pairs(std::initializer_list<std::string> ids) {
    std::vector<StickPair> out;
    for (const auto& id : ids) out.push_back(StickPair{id, id, "a", "b"});
    return out;
}

} // namespace

TEST(RawHIDTexts, CellsWriteMissingValuesAsDashesAndUsagesInHex) {
    auto x = axis("x", 1, 0, 255);
    EXPECT_EQ(T::usage(x), "01:30");
    x.page = 0xFF00;
    x.usage = std::nullopt;
    EXPECT_EQ(T::usage(x), "FF00:00");

    EXPECT_EQ(T::value(nullptr), dash);
    EXPECT_EQ(T::seen(nullptr), dash);
    EXPECT_EQ(T::jitter(nullptr), dash);
    EXPECT_EQ(T::rate(nullptr, 0), dash);

    RawLive live{.value = std::nullopt, .minSeen = 3, .maxSeen = std::nullopt, .jitter = 0, .rate = std::nullopt};
    EXPECT_EQ(T::value(&live), dash);
    EXPECT_EQ(T::seen(&live), dash);
    EXPECT_EQ(T::jitter(&live), "0");
    EXPECT_EQ(T::rate(&live, 0), dash);
    live = {.value = -7, .minSeen = -9, .maxSeen = 12, .jitter = 4, .rate = 250.4};
    EXPECT_EQ(T::value(&live), "-7");
    EXPECT_EQ(T::seen(&live), "-9\u202612");
    EXPECT_EQ(T::rate(&live, 0), "250 Hz");
}

TEST(RawHIDTexts, RowValueSaysNoneAndLeavesAMissingRangeEmpty) {
    RawLive live;
    EXPECT_EQ(T::rowValue(axis("x", 1, 0, 255), &live), "value none, range 0\u2026255, jitter 0 counts");
    EXPECT_EQ(T::rowValue(axis("x", 1, std::nullopt, 255), nullptr), "value none, range , jitter 0 counts");
    live.value = 128;
    live.jitter = 3;
    EXPECT_EQ(T::rowValue(axis("x", 1, 0, 255), &live), "value 128, range 0\u2026255, jitter 3 counts");
}

TEST(RawHIDTexts, BarIsEmptyForANarrowRangeAndClampedOtherwise) {
    EXPECT_EQ(T::barFraction(5, 5, 5), 0);
    EXPECT_EQ(T::barFraction(std::nullopt, 0, 255), 0);
    EXPECT_DOUBLE_EQ(T::barFraction(0, -1, 1), 0.5);
    EXPECT_EQ(T::barFraction(300, 0, 255), 1);
    EXPECT_EQ(T::barFraction(-3, 0, 255), 0);
    // The span of the widest 32-bit range does not overflow.
    EXPECT_DOUBLE_EQ(T::barFraction(INT_MAX, INT_MIN, INT_MAX), 1);
    EXPECT_NEAR(T::barFraction(0, INT_MIN, INT_MAX), 0.5, 1e-9);
}

TEST(RawHIDTexts, ACentredHatSwitchFillsNoBar) {
    ElementInfo hat;
    hat.isHat = true;
    hat.logicalMin = 0;
    hat.logicalMax = 7;
    RawLive live;
    live.value = 8; // outside the range: the hat's null state, centred
    EXPECT_EQ(T::barValue(hat, &live), std::nullopt);
    live.value = 7;
    EXPECT_EQ(T::barValue(hat, &live), 7);
    // Another element past its range still shows a full bar.
    ElementInfo axis = hat;
    axis.isHat = false;
    live.value = 300;
    EXPECT_EQ(T::barValue(axis, &live), 300);
    EXPECT_EQ(T::barValue(axis, nullptr), std::nullopt);
}

TEST(RawHIDTexts, ReportsNeedTwoReportsForARate) {
    EXPECT_EQ(T::reports(T::reportRate({})), "Reports: quiet (nothing moving)");
    EXPECT_EQ(T::reports(T::reportRate({10.0})), "Reports: quiet (nothing moving)");
    EXPECT_EQ(T::reports(T::reportRate({10.0, 10.004, 10.008})), "Reports: 250 Hz");
    // Millisecond stamps that two reports share tell only a floor, in the table too.
    EXPECT_EQ(T::reports(T::reportRate({10.0, 10.0, 10.001, 10.001, 10.002}, 0.001)),
              "Reports: \u2265 1,000 reports/s (the system times events to the millisecond)");
    RawLive floor;
    floor.rate = 1000;
    floor.rateAtLeast = true;
    EXPECT_EQ(T::rate(&floor, 0.001), "\u2265 1,000 reports/s");
    EXPECT_EQ(T::rateTip(&floor, 0.001), "\u2265 1,000 reports/s (the system times events to the millisecond)");
    floor.rateAtLeast = false;
    EXPECT_EQ(T::rate(&floor, 0.001), "1000 Hz");
    EXPECT_EQ(T::rateTip(&floor, 0.001), "");
    EXPECT_EQ(T::rate(nullptr, 0.001), "\u2013");

    // A joystick layer keeps one stamp per millisecond however many reports came in it: stamps
    // one step apart tell a floor, and so does any element whose values share their stamps.
    std::vector<double> everyStep;
    for (int i = 0; i <= 1000; ++i) everyStep.push_back(10.0 + i * 0.001);
    EXPECT_EQ(T::reports(T::reportRate(everyStep, 0.001)),
              "Reports: \u2265 1,000 reports/s (the system times events to the millisecond)");
    std::vector<double> everyFourth;
    for (int i = 0; i <= 250; ++i) everyFourth.push_back(10.0 + i * 0.004);
    EXPECT_EQ(T::reports(T::reportRate(everyFourth, 0.001)), "Reports: 250 Hz");
    RawLive shared;
    shared.rate = 1000;
    shared.rateAtLeast = true;
    EXPECT_EQ(T::reports(T::reportRate(everyFourth, 0.001, {{"e1", RawLive{}}, {"e2", shared}})),
              "Reports: \u2265 1,000 reports/s (the system times events to the millisecond)");
}

TEST(RawHIDTexts, IdentitySkipsMissingParts) {
    RorozErurEvo::DeviceInfo info{.name = "Pad"};
    EXPECT_EQ(T::identity(info), "");
    info.vendor = "Maker";
    info.vendorID = 0x045E;
    info.productID = 0x28E;
    info.transport = "USB";
    EXPECT_EQ(T::identity(info), "Maker \u00B7 VID 045E \u00B7 PID 028E \u00B7 USB");
}

TEST(RawHIDTexts, NextPairNumberIgnoresBadSuffixesAndNeverOverflows) {
    EXPECT_EQ(T::nextPairNumber({}), 1);
    EXPECT_EQ(T::nextPairNumber(pairs({"pair-2", "pair-7"})), 8);
    EXPECT_EQ(T::nextPairNumber(pairs({"pair-", "pair-x", "pair-3b", "pair--4", "pair-2"})), 3);
    EXPECT_EQ(T::nextPairNumber(pairs({"pair-99999999999999999999", "pair-4"})), 5);
    EXPECT_EQ(T::nextPairNumber(pairs({"pair-9223372036854775807", "pair-1", "pair-2"})), 3);
    EXPECT_EQ(T::nextPairNumber(pairs({"pair-1", "pair-3"})), 4);
}

namespace {

// A model over fakes and raw HID devices built from real-looking report descriptors.
class RawFixture : public ::testing::Test {
protected:
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    std::vector<std::shared_ptr<HIDTap>> taps;

    std::shared_ptr<InputDevice> device(const HIDTestDescriptors::Bytes& bytes, const std::string& name) {
        auto tap = std::make_shared<HIDTap>(taps.size() + 1, "/dev/hidraw9", RorozErurEvo::DeviceInfo{.name = name},
                                            RorozErurEvo::HIDDescriptor::parse(bytes), bench.clock);
        taps.push_back(tap);
        auto d = std::make_shared<InputDevice>("hid-" + std::to_string(taps.size()), InputDevice::Kind::hid,
                                               tap->info(), tap->elements(), tap->capture());
        d->onPairsChanged = [tap](const std::vector<StickPair>& p) { tap->setPairs(p); };
        return d;
    }

    // One joystick report: six axes, the hat and the first byte of buttons.
    void joystickReport(HIDTap& tap, std::uint8_t x, std::uint8_t y = 128, std::uint8_t hat = 8) {
        std::vector<std::uint8_t> r{x, y, 128, 128, 128, 128, hat, 0, 0};
        tap.inputReport(r, bench.clock.now());
    }

    void frame(InputDevice& d) { d.update(bench.clock.now(), 1.5); }

    static const ElementTable::Row* row(const ElementTable& table, const std::string& name) {
        for (const auto& r : table.rows())
            if (r.element.name == name) return &r;
        return nullptr;
    }
};

} // namespace

TEST_F(RawFixture, WithoutARawDeviceTheTabSaysWhy) {
    RawHIDView view(nullptr, bench.demo(), model.deviceLists(), model.settings(), model.clock());
    auto* empty = view.findChild<EmptyState*>();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->title(), "No raw HID view for this controller");
    EXPECT_EQ(empty->symbol(), "cable.connector");
    EXPECT_TRUE(empty->description().contains("hidraw"));
    EXPECT_EQ(view.table(), nullptr);
}

TEST_F(RawFixture, TableListsEveryElementWithAUsagePageAndFollowsTheDevice) {
    auto pad = device(HIDTestDescriptors::joystick, "Gamepad");
    pad->applyPairs(HIDTap::defaultPairs(pad->elements()));
    RawHIDView view(pad, pad, model.deviceLists(), model.settings(), model.clock());
    const ElementTable& table = *view.table();

    // Sticks made from pairs have no usage page and are left out; the hat and buttons are in.
    size_t withPage = 0;
    for (const auto& e : pad->elements()) withPage += e.page.has_value();
    ASSERT_EQ(table.rows().size(), withPage);
    for (const auto& r : table.rows()) EXPECT_NE(r.element.kind, ElementInfo::Kind::stick);
    const auto* x = &table.rows().front();
    EXPECT_EQ(x->usage->text(), "01:30");
    EXPECT_EQ(x->range->text(), "0\u2026255");
    EXPECT_EQ(x->value->text(), dash);
    EXPECT_EQ(x->seen->text(), dash);
    EXPECT_TRUE(std::any_of(table.rows().begin(), table.rows().end(), [](const auto& r) { return r.element.isHat; }));
    EXPECT_EQ(view.reports()->text(), "Reports: quiet (nothing moving)");

    for (int i = 0; i < 5; ++i) {
        bench.clock.advance(0.004);
        joystickReport(*taps[0], std::uint8_t(100 + i));
    }
    frame(*pad);
    EXPECT_EQ(x->value->text(), "104");
    EXPECT_EQ(x->seen->text(), "100\u2026104");
    EXPECT_EQ(x->jitter->text(), "4");
    EXPECT_EQ(x->bar->value(), 104);
    EXPECT_EQ(x->access->accessibleName(), QString::fromStdString(x->element.name));
    EXPECT_EQ(x->access->accessibleValue(), "value 104, range 0\u2026255, jitter 4 counts");
    EXPECT_EQ(view.reports()->text(), "Reports: 250 Hz");

    // A frame or a change of pairs keeps the rows; Reset Min/Max narrows Seen to the value.
    QLabel* before = x->name;
    pad->applyPairs({});
    frame(*pad);
    EXPECT_EQ(table.rows().front().name, before);
    QTest::mouseClick(view.resetButton(), Qt::LeftButton);
    frame(*pad);
    EXPECT_EQ(table.rows().front().seen->text(), "104\u2026104");

    // A second later the device is quiet again.
    bench.clock.advance(1.5);
    frame(*pad);
    EXPECT_EQ(view.reports()->text(), "Reports: quiet (nothing moving)");
}

TEST_F(RawFixture, BarOfAnElementWithoutRangeOrWithAnEmptyRange) {
    auto pad = device(HIDTestDescriptors::joystick, "Gamepad");
    pad->setElements({axis("flat", 1, 7, 7), axis("open", 1, std::nullopt, std::nullopt), axis("nopage", std::nullopt, 0, 1)});
    ElementTable table(pad);
    ASSERT_EQ(table.rows().size(), 2u);
    EXPECT_EQ(table.rows()[1].bar->min(), 0);
    EXPECT_EQ(table.rows()[1].bar->max(), 1);
    EXPECT_EQ(table.rows()[1].range->text(), "");
    pad->capture()->recordRaw("flat", 7, bench.clock.now());
    frame(*pad);
    EXPECT_EQ(table.rows()[0].bar->value(), 7);
    EXPECT_EQ(T::barFraction(table.rows()[0].bar->value(), 7, 7), 0);
}

TEST_F(RawFixture, AddingRemovingAndEditingSticks) {
    auto pad = device(HIDTestDescriptors::joystick, "Gamepad");
    StickPairsEditor editor(pad);
    ASSERT_TRUE(editor.addButton()->isEnabled());
    QTest::mouseClick(editor.addButton(), Qt::LeftButton);
    auto axes = T::candidateAxes(pad->elements());
    ASSERT_EQ(pad->stickPairs().size(), 1u);
    EXPECT_EQ(pad->stickPairs()[0], (StickPair{"pair-1", "Stick 1", axes[0].id, axes[1].id, true, ElementInfo::Role::other}));
    EXPECT_TRUE(pad->element("pair-1").has_value());
    EXPECT_EQ(taps[0]->pairs(), pad->stickPairs());

    pad->applyPairs({StickPair{"pair-2", "A", axes[0].id, axes[1].id}, StickPair{"pair-7", "B", axes[2].id, axes[3].id}});
    editor.addStick();
    EXPECT_EQ(pad->stickPairs().back().id, "pair-8");
    EXPECT_EQ(pad->stickPairs().back().name, "Stick 8");

    // The row's pickers and checkbox write through the device, the same axis twice included.
    const auto& row = editor.rows().at("pair-2");
    EXPECT_EQ(row.x->currentData().toString().toStdString(), axes[0].id);
    row.y->setCurrentIndex(0);
    EXPECT_EQ(pad->stickPairs()[0].y, axes[0].id);
    EXPECT_EQ(pad->stickPairs()[0].x, axes[0].id);
    editor.rows().at("pair-2").flip->setChecked(true);
    EXPECT_TRUE(pad->stickPairs()[0].invertY);

    EXPECT_EQ(editor.rows().at("pair-7").remove->accessibleName(), "Remove B");
    QTest::mouseClick(editor.rows().at("pair-7").remove, Qt::LeftButton);
    EXPECT_FALSE(pad->element("pair-7").has_value());
    EXPECT_EQ(pad->stickPairs().size(), 2u);
    EXPECT_EQ(editor.rows().count("pair-7"), 0u);

    // A write to a pair that is gone changes nothing.
    editor.setX("pair-7", axes[3].id);
    EXPECT_EQ(pad->stickPairs().size(), 2u);
}

TEST_F(RawFixture, ADeviceWithFewerThanTwoAxesCannotAddAStick) {
    auto keys = device(HIDTestDescriptors::keyboard, "Keyboard");
    StickPairsEditor editor(keys);
    EXPECT_FALSE(editor.addButton()->isEnabled());
    editor.addStick();
    EXPECT_TRUE(keys->stickPairs().empty());

    AxisRolesEditor roles(keys);
    EXPECT_FALSE(roles.noAxes()->isHidden());
    EXPECT_EQ(roles.noAxes()->text(), "This device has no axes.");
    EXPECT_TRUE(roles.pickers().empty());
}

TEST_F(RawFixture, RolesAreWrittenAndNoneRemovesTheEntry) {
    auto wheel = device(HIDTestDescriptors::wheel, "Wheel");
    AxisRolesEditor editor(wheel);
    ASSERT_EQ(editor.pickers().size(), wheel->analogAxes().size());
    ASSERT_EQ(editor.pickers().size(), 3u);
    EXPECT_TRUE(editor.noAxes()->isHidden());
    const std::string brake = wheel->analogAxes()[2].id;
    QComboBox* picker = editor.pickers().at(brake);
    EXPECT_EQ(picker->accessibleName(), "Role for " + QString::fromStdString(wheel->analogAxes()[2].name));
    EXPECT_EQ(picker->count(), 5);
    picker->setCurrentIndex(2);
    EXPECT_EQ(wheel->axisRoles().at(brake), RorozErurEvo::AxisRole::pedal);
    picker->setCurrentIndex(0);
    EXPECT_EQ(wheel->axisRoles().count(brake), 0u);
    // A role set elsewhere shows in the picker.
    wheel->setAxisRoles({{brake, RorozErurEvo::AxisRole::throttle}});
    EXPECT_EQ(picker->currentText(), "Throttle or slider");
}

TEST_F(RawFixture, AxisCheckRecordsFromRestValuesWhenTheAxisNeverMoved) {
    auto pad = device(HIDTestDescriptors::joystick, "Gamepad");
    TestRunner& runner = model.runner(pad);
    AxisCheck check(pad, runner, model.settings(), model.clock());
    check.setWaitMilliseconds(1);
    auto axes = T::candidateAxes(pad->elements());
    ASSERT_EQ(check.axisID(), axes[0].id);
    EXPECT_TRUE(check.measureButton()->isEnabled());
    EXPECT_TRUE(check.resultBox()->isHidden());

    joystickReport(*taps[0], 128);
    bench.clock.advance(1);
    QTest::mouseClick(check.measureButton(), Qt::LeftButton);
    EXPECT_EQ(check.phase(), AxisCheck::Phase::rest);
    // Nothing reported during the rest: the tracker's last value stands in.
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.phase() == AxisCheck::Phase::range; }));
    EXPECT_EQ(check.restValues(), std::vector<int>{128});
    QTest::mouseClick(check.doneButton(), Qt::LeftButton);
    EXPECT_EQ(check.phase(), AxisCheck::Phase::idle);
    auto result = runner.result(AxisCheckRecorder::test(axes[0].name));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(TestRunner::resultKey(*result), "axisNoise|" + axes[0].name + "|raw");
    EXPECT_FALSE(check.resultBox()->isHidden());

    // The result follows the picker.
    check.picker()->setCurrentIndex(1);
    EXPECT_TRUE(check.resultBox()->isHidden());
}

TEST_F(RawFixture, AxisCheckSweepAndItsEndings) {
    auto pad = device(HIDTestDescriptors::joystick, "Gamepad");
    TestRunner& runner = model.runner(pad);
    auto axes = T::candidateAxes(pad->elements());
    {
        AxisCheck check(pad, runner, model.settings(), model.clock());
        check.show();
        QApplication::setActiveWindow(&check);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&check));
        check.setWaitMilliseconds(1);
        check.measureAtRest();
        for (int i = 0; i < 3; ++i) joystickReport(*taps[0], std::uint8_t(127 + i));
        ASSERT_TRUE(QTest::qWaitFor([&] { return check.phase() == AxisCheck::Phase::range; }));
        EXPECT_EQ(check.restValues(), (std::vector<int>{127, 128, 129}));
        bench.clock.advance(0.1);
        joystickReport(*taps[0], 0);
        joystickReport(*taps[0], 255);
        QTest::keyClick(check.doneButton(), Qt::Key_Return);
        EXPECT_EQ(check.phase(), AxisCheck::Phase::idle);
        auto result = runner.result(AxisCheckRecorder::test(axes[0].name));
        ASSERT_TRUE(result.has_value());
    }
    runner.setResults({});

    // Closed during the wait: no call back, nothing recorded.
    {
        auto* check = new AxisCheck(pad, runner, model.settings(), model.clock());
        check->setWaitMilliseconds(1);
        check->measureAtRest();
        delete check;
        QTest::qWait(20);
        EXPECT_TRUE(runner.results().empty());
    }

    // The axis vanished during the wait: back to idle, nothing recorded.
    {
        AxisCheck check(pad, runner, model.settings(), model.clock());
        check.setWaitMilliseconds(1);
        check.measureAtRest();
        pad->setElements({});
        ASSERT_TRUE(QTest::qWaitFor([&] { return check.phase() == AxisCheck::Phase::idle; }));
        EXPECT_TRUE(runner.results().empty());
        EXPECT_FALSE(check.measureButton()->isHidden());
    }
}

TEST_F(RawFixture, AxisCheckStepsIgnoreTheKeyThatStartedThemAndEscapeCancels) {
    auto pad = device(HIDTestDescriptors::joystick, "Gamepad");
    TestRunner& runner = model.runner(pad);
    AxisCheck check(pad, runner, model.settings(), model.clock());
    check.show();
    check.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&check));
    check.setWaitMilliseconds(1);
    const auto toRange = [&] {
        check.measureButton()->setFocus();
        StrayKeys::press(Qt::Key_Space);
        EXPECT_NE(check.phase(), AxisCheck::Phase::idle);
        return QTest::qWaitFor([&] { return check.phase() == AxisCheck::Phase::range; });
    };

    // Space on "Measure at Rest", then again a few seconds later, or held: the range step
    // waits for its Done.
    ASSERT_TRUE(toRange());
    EXPECT_NE(QApplication::focusWidget(), check.doneButton());
    StrayKeys::press(Qt::Key_Space);
    StrayKeys::hold(Qt::Key_Space, 5);
    StrayKeys::send(true, Qt::Key_Return, true);
    EXPECT_EQ(check.phase(), AxisCheck::Phase::range);

    // Escape ends the step with nothing recorded, in the range step and during the rest.
    StrayKeys::press(Qt::Key_Escape);
    EXPECT_EQ(check.phase(), AxisCheck::Phase::idle);
    check.setWaitMilliseconds(60000);
    check.measureButton()->setFocus();
    StrayKeys::press(Qt::Key_Space);
    ASSERT_EQ(check.phase(), AxisCheck::Phase::rest);
    StrayKeys::press(Qt::Key_Escape);
    EXPECT_EQ(check.phase(), AxisCheck::Phase::idle);
    EXPECT_TRUE(runner.results().empty());

    // A fresh Return, the check started by another key, finishes the range step.
    check.setWaitMilliseconds(1);
    ASSERT_TRUE(toRange());
    StrayKeys::press(Qt::Key_Return);
    EXPECT_EQ(check.phase(), AxisCheck::Phase::idle);
    EXPECT_FALSE(runner.results().empty());
}

TEST_F(RawFixture, AxisCheckWithoutAxesCannotStart) {
    auto keys = device(HIDTestDescriptors::keyboard, "Keyboard");
    AxisCheck check(keys, model.runner(keys), model.settings(), model.clock());
    EXPECT_EQ(check.picker()->count(), 0);
    EXPECT_FALSE(check.measureButton()->isEnabled());
    check.measureAtRest();
    EXPECT_EQ(check.phase(), AxisCheck::Phase::idle);
}

TEST_F(RawFixture, AScreenReaderHearsWhichStickEachAxisPickerBelongsTo) {
    auto pad = device(HIDTestDescriptors::joystick, "Gamepad");
    StickPairsEditor editor(pad);
    auto axes = T::candidateAxes(pad->elements());
    ASSERT_GE(axes.size(), 4u);
    pad->applyPairs({StickPair{"pair-1", "Stick 1", axes[0].id, axes[1].id},
                     StickPair{"pair-2", "Stick 2", axes[2].id, axes[3].id}});
    // Qt on Linux reads a combo box by its current axis; what it is for comes through the label
    // relation.
    auto label = [](QComboBox* box) {
        const auto labels = QAccessible::queryAccessibleInterface(box)->relations(QAccessible::Label);
        return labels.size() == 1 ? labels[0].first->text(QAccessible::Name) : QStringLiteral("%1 labels").arg(labels.size());
    };
    EXPECT_EQ(label(editor.rows().at("pair-1").x), "Stick 1 X axis");
    EXPECT_EQ(label(editor.rows().at("pair-2").x), "Stick 2 X axis");
    EXPECT_EQ(label(editor.rows().at("pair-2").y), "Stick 2 Y axis");
    EXPECT_EQ(editor.rows().at("pair-2").y->accessibleName(), "Stick 2 Y axis");

    // A pair renamed in place is heard by its new name.
    pad->applyPairs({StickPair{"pair-1", "Stick 1", axes[0].id, axes[1].id},
                     StickPair{"pair-2", "Right stick", axes[2].id, axes[3].id}});
    EXPECT_EQ(label(editor.rows().at("pair-2").y), "Right stick Y axis");
    EXPECT_EQ(editor.rows().at("pair-2").remove->accessibleName(), "Remove Right stick");
}

namespace {

// The number of a rate text such as "Reports: 1,234 Hz".
double hertzIn(const QString& text) {
    QString digits;
    for (QChar c : text)
        if (c.isDigit() || c == QLatin1Char('.')) digits += c;
    return digits.toDouble();
}

} // namespace

// A joystick read through the system's joystick layer: every event is one report of the whole
// joystick, stamped to the millisecond. The header counts reports, not the values each report
// writes (an axis and the stick it makes with its neighbour), and the element column follows
// the same rule.
TEST_F(RawFixture, AJoystickLayerDeviceReadsTheReportsItSent) {
    const JoystickDescription description{
        .instance = 3, .name = "Stick", .axes = RorozErurEvo::JoystickLayout::numberedAxes(2), .hats = 0, .buttons = 2};
    JoystickTap joystick(3, 1, description, bench.clock);
    auto stick = makeRawDevice("js-1", joystick.tap());
    stick->setStampResolution(JoystickTap::stampResolution);
    ASSERT_FALSE(stick->stickPairs().empty()); // X and Y make a stick, written with every move of X
    RawHIDView view(stick, stick, model.deviceLists(), model.settings(), model.clock());
    const ElementTable::Row& x = view.table()->rows().front();
    const double start = bench.clock.now();
    int moves = 0;
    auto move = [&](double t) { // X to a new value at t
        bench.clock.set(t);
        joystick.axisMoved(0, static_cast<std::int16_t>(-30000 + ++moves % 1000 * 50), t);
    };

    // X moves every 4 ms for a second and a half.
    for (int i = 1; i <= 375; ++i) move(start + i * 0.004);
    frame(*stick);
    EXPECT_EQ(view.reports()->text(), "Reports: 250 Hz");
    EXPECT_EQ(x.rate->text(), "250 Hz");

    // 400 a second, stamped to the whole millisecond: 2 and 3 ms apart in turn.
    const double ms = std::ceil(bench.clock.now() * 1000) + 1000;
    for (int i = 0; i <= 600; ++i) move((ms + std::floor(i * 2.5)) / 1000);
    frame(*stick);
    EXPECT_NEAR(hertzIn(view.reports()->text()), 400, 400 * 0.05) << view.reports()->text().toStdString();
    EXPECT_NEAR(hertzIn(x.rate->text()), 400, 400 * 0.05) << x.rate->text().toStdString();

    // Two events in every millisecond: the stamps cannot tell two reports from one report's
    // values, and the texts say only what they can.
    const double later = bench.clock.now() + 2;
    for (int i = 0; i <= 1500; ++i) {
        move(later + i * 0.001);
        move(later + i * 0.001 + 0.00002);
    }
    frame(*stick);
    const QString floor = QStringLiteral("\u2265 1,000 reports/s (the system times events to the millisecond)");
    EXPECT_EQ(view.reports()->text(), QStringLiteral("Reports: ") + floor);
    EXPECT_EQ(x.rate->text(), "\u2265 1,000 reports/s");
    EXPECT_EQ(x.rate->toolTip(), floor);

    // Two reports in every millisecond, stamped alike as the joystick layer stamps them: the
    // device's stamps show one a millisecond, which is a floor, not a figure.
    const double after = bench.clock.now() + 2;
    for (int i = 0; i <= 1500; ++i) {
        move(after + i * 0.001);
        move(after + i * 0.001);
    }
    frame(*stick);
    EXPECT_EQ(view.reports()->text(), QStringLiteral("Reports: ") + floor);
    EXPECT_EQ(x.rate->text(), "\u2265 1,000 reports/s");
}
