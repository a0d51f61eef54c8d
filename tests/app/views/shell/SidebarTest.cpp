#include "app/model/ModelFakes.h"

#include "app/views/shell/DeviceRow.h"
#include "app/views/shell/Sidebar.h"
#include "app/views/shell/SidebarModel.h"
#include "app/paint/Theme.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestResult;
using RorozErurEvo::ValueSource;
using RorozErurEvo::Verdict;
using RowType = SidebarModel::RowType;

namespace {

TestResult result(Verdict verdict) { return TestResult(TestKind::drift, "left", ValueSource::processed, verdict, "", {}, {}); }

std::shared_ptr<InputDevice> device(const std::string& id, InputDevice::Kind kind, std::optional<std::string> category,
                                    std::optional<std::string> transport) {
    return std::make_shared<InputDevice>(id, kind,
                                         RorozErurEvo::DeviceInfo{.name = "Pad " + id, .category = category, .transport = transport},
                                         std::vector<ElementInfo>{});
}

QStringList identifiers(const SidebarModel& rows) {
    QStringList list;
    for (int i = 0; i < rows.rowCount(); ++i) {
        const auto& row = rows.row(i);
        list << (row.type == RowType::header ? "# " + row.title : row.type == RowType::caption ? "caption" : row.identifier);
    }
    return list;
}

struct SidebarFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
};

} // namespace

TEST(DeviceRow, SubtitleJoinsWhatIsPresentAndTheDemoReadsBuiltInRecordings) {
    auto demo = device("demo", InputDevice::Kind::demo, "Gamepad", "USB");
    auto twin = device("demo-raw", InputDevice::Kind::demoRaw, std::nullopt, std::nullopt);
    twin->setConnected(false);
    EXPECT_EQ(DeviceRow::subtitle(*demo), "Built-in recordings");
    EXPECT_EQ(DeviceRow::subtitle(*twin), "Built-in recordings");

    auto bare = device("gc-1", InputDevice::Kind::controller, std::nullopt, std::nullopt);
    EXPECT_EQ(DeviceRow::subtitle(*bare), "");
    bare->setConnected(false);
    EXPECT_EQ(DeviceRow::subtitle(*bare), "Disconnected");

    auto wheel = device("hid-3", InputDevice::Kind::hid, "Wheel", "USB");
    wheel->setConnected(false);
    EXPECT_EQ(DeviceRow::subtitle(*wheel), "Wheel · USB · Disconnected");
    wheel->setJoystickLayer(true);
    EXPECT_EQ(DeviceRow::subtitle(*wheel), "Wheel · USB · Through the system's joystick layer · Disconnected");
    // An empty text is present, not absent: it keeps its place.
    auto odd = device("hid-4", InputDevice::Kind::hid, "", "Bluetooth");
    EXPECT_EQ(DeviceRow::subtitle(*odd), " · Bluetooth");

    EXPECT_EQ(DeviceRow::kindSymbol(InputDevice::Kind::controller), "gamecontroller");
    EXPECT_EQ(DeviceRow::kindSymbol(InputDevice::Kind::hid), "slider.horizontal.3");
    EXPECT_EQ(DeviceRow::kindSymbol(InputDevice::Kind::demoRaw), "play.circle");
    EXPECT_EQ(DeviceRow::identifier(*demo), "device-demo");
}

TEST(DeviceRow, StatusMarkShowsTheWorstVerdictOrARunningTest) {
    TestRunner::Results results;
    EXPECT_EQ(DeviceRow::statusMark(false, results), std::nullopt);
    results["a"] = result(Verdict::pass);
    EXPECT_EQ(DeviceRow::statusMark(false, results)->symbol, "checkmark.circle.fill");
    results["b"] = result(Verdict::warn);
    results["c"] = result(Verdict::warn);
    auto warn = DeviceRow::statusMark(false, results);
    EXPECT_EQ(warn->symbol, "exclamationmark.triangle.fill");
    EXPECT_EQ(warn->color, Color::warnAmber());
    EXPECT_EQ(warn->accessibilityLabel, "Warn");
    results["0"] = result(Verdict::fail); // first in order: the worst wins wherever it sits
    auto fail = DeviceRow::statusMark(false, results);
    EXPECT_EQ(fail->symbol, "xmark.octagon.fill");
    EXPECT_EQ(fail->color, Color::failRed());
    EXPECT_EQ(DeviceRow::resultVerdicts(results).size(), 4u);

    auto running = DeviceRow::statusMark(true, results);
    EXPECT_EQ(running->symbol, "record.circle");
    EXPECT_EQ(running->accessibilityLabel, "Test running");
    EXPECT_NE(running->color, Color::failRed());
    EXPECT_EQ(DeviceRow::statusMark(true, {})->symbol, "record.circle");
}

TEST_F(SidebarFixture, SectionsInOrderWithTheCaptionWhenNoHIDDeviceIsListed) {
    bench.hid->left = {Fakes::skipped("Keyboard K2 (also a keyboard or mouse)"),
                       Fakes::skipped("Wheel (couldn't be opened)")};
    model.refreshHID();
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    const SidebarModel& rows = sidebar.rows();
    EXPECT_EQ(identifiers(rows),
              (QStringList{"# Controllers", "device-demo", "# Joysticks, wheels and adapters", "caption",
                           "Keyboard K2 (also a keyboard or mouse)", "Wheel (couldn't be opened)", "# Testers",
                           "sidebar-keyboard", "sidebar-mouse", "# Bench", "sidebar-all-devices", "sidebar-history"}));
    const QModelIndex caption = rows.index(3);
    EXPECT_EQ(caption.data().toString(), "Plug in a wheel, pedals, a joystick or a USB adapter.");
    EXPECT_EQ(rows.index(1).data(SidebarModel::SubtitleRole).toString(), "Built-in recordings");

    // Only device and destination rows can be selected; skipped rows explain themselves.
    const QModelIndex skipped = rows.indexOf(QStringLiteral("Wheel (couldn't be opened)"));
    EXPECT_FALSE(rows.flags(skipped) & Qt::ItemIsSelectable);
    EXPECT_FALSE(rows.flags(caption) & Qt::ItemIsSelectable);
    EXPECT_FALSE(rows.flags(rows.index(0)) & Qt::ItemIsSelectable);
    EXPECT_TRUE(rows.flags(rows.indexOf(QStringLiteral("sidebar-mouse"))) & Qt::ItemIsSelectable);
    EXPECT_EQ(skipped.data(Qt::ToolTipRole).toString(),
              "Not opened: it also acts as a keyboard or mouse, which needs Input Monitoring. Use the Keyboard or Mouse "
              "tester for those.");
    EXPECT_EQ(skipped.data(SidebarModel::SymbolRole).toString(), "nosign");
    EXPECT_EQ(rows.indexOf(QStringLiteral("sidebar-history")).data(SidebarModel::SymbolRole).toString(),
              "clock.arrow.circlepath");
    EXPECT_EQ(rows.indexOf(QStringLiteral("sidebar-all-devices")).data().toString(), "All Devices");
}

TEST_F(SidebarFixture, DeviceListsRebuildTheRowsAndDropTheCaption) {
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    const SidebarModel& rows = sidebar.rows();
    bench.controllers->list = {Fakes::controller("gc-1", "Wireless Pad")};
    bench.hid->plug(7, Fakes::tap(7, "Flight Stick", bench.clock));
    bench.hid->left = {Fakes::skipped("Mouse M1 (also a keyboard or mouse)")};
    model.refreshControllers();
    model.refreshHID();
    EXPECT_EQ(identifiers(rows), (QStringList{"# Controllers", "device-gc-1", "device-demo",
                                              "# Joysticks, wheels and adapters", "device-hid-7",
                                              "Mouse M1 (also a keyboard or mouse)", "# Testers", "sidebar-keyboard",
                                              "sidebar-mouse", "# Bench", "sidebar-all-devices", "sidebar-history"}));
    const QModelIndex stick = rows.indexOf(QStringLiteral("device-hid-7"));
    EXPECT_EQ(stick.data().toString(), "Flight Stick");
    EXPECT_EQ(stick.data(SidebarModel::SymbolRole).toString(), "slider.horizontal.3");
    // A row is enough to give a device its runner.
    EXPECT_NE(model.deviceLists().existingRunner("hid-7"), nullptr);

    // Disconnected but still listed: the subtitle says so at once.
    bench.controllers->list.front()->setConnected(false);
    EXPECT_EQ(rows.indexOf(QStringLiteral("device-gc-1")).data(SidebarModel::SubtitleRole).toString(), "Disconnected");
}

TEST_F(SidebarFixture, StatusMarkFollowsTheRunnersResults) {
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    const SidebarModel& rows = sidebar.rows();
    const QModelIndex demo = rows.indexOf(QStringLiteral("device-demo"));
    EXPECT_EQ(demo.data(SidebarModel::StatusSymbolRole).toString(), "");
    int redraws = 0;
    QObject::connect(&rows, &QAbstractItemModel::dataChanged, [&] { ++redraws; });
    model.runner(bench.demo()).store("drift|left|processed", result(Verdict::warn));
    EXPECT_GT(redraws, 0);
    EXPECT_EQ(demo.data(SidebarModel::StatusSymbolRole).toString(), "exclamationmark.triangle.fill");
    EXPECT_EQ(demo.data(SidebarModel::StatusLabelRole).toString(), "Warn");
    EXPECT_EQ(demo.data(Qt::AccessibleTextRole).toString(), "Demo controller, Built-in recordings, Warn");
}

TEST_F(SidebarFixture, RunningMarkForAGuidedTestOrASoakRunOnThatDeviceOnly) {
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    const SidebarModel& rows = sidebar.rows();
    bench.controllers->list = {Fakes::controller("gc-1", "Wireless Pad"), Fakes::controller("gc-2", "Other Pad")};
    model.refreshControllers();
    auto mark = [&](const char* id) {
        return rows.indexOf(QString::fromLatin1(id)).data(SidebarModel::StatusSymbolRole).toString();
    };
    int redraws = 0;
    QObject::connect(&rows, &QAbstractItemModel::dataChanged, [&] { ++redraws; });
    TestRunner& demo = model.runner(bench.demo());
    demo.store("drift|left|processed", result(Verdict::fail));
    EXPECT_EQ(mark("device-demo"), "xmark.octagon.fill");
    demo.start(GuidedTest{TestKind::buttons, "", GuidedTest::Target::device(), false});
    EXPECT_EQ(mark("device-demo"), "record.circle"); // earlier results do not hide it
    const int beforeSoak = redraws;
    EXPECT_GE(beforeSoak, 2); // the result and the start each redraw the rows
    demo.cancel();
    EXPECT_EQ(mark("device-demo"), "xmark.octagon.fill");

    model.soak()->start(*bench.controllers->list[0], 5);
    EXPECT_EQ(mark("device-gc-1"), "record.circle");
    EXPECT_EQ(mark("device-gc-2"), "");
    EXPECT_GT(redraws, beforeSoak + 1); // the cancel, then the soak run
    EXPECT_EQ(rows.indexOf(QStringLiteral("device-gc-1")).data(SidebarModel::StatusLabelRole).toString(), "Test running");
    model.soak()->stop();
    EXPECT_EQ(mark("device-gc-1"), "");
}

TEST_F(SidebarFixture, SelectionFollowsTheModelBothWays) {
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    const SidebarModel& rows = sidebar.rows();
    auto selected = [&] {
        const QModelIndexList list = sidebar.selectionModel()->selectedIndexes();
        return list.isEmpty() ? QString() : list.first().data(SidebarModel::IdentifierRole).toString();
    };
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("demo"));
    EXPECT_EQ(selected(), "device-demo");

    sidebar.selectionModel()->select(rows.indexOf(QStringLiteral("sidebar-keyboard")), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::keyboard());

    model.navigation().setSelection(SidebarItem::history());
    EXPECT_EQ(selected(), "sidebar-history");

    // A device the list does not show: nothing is selected, and the model keeps its choice.
    model.navigation().setSelection(SidebarItem::device("gc-9"));
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("gc-9"));

    // Rebuilding the rows keeps the selection where it was.
    model.navigation().setSelection(SidebarItem::mouse());
    bench.controllers->list = {Fakes::controller("gc-1", "Wireless Pad")};
    model.refreshControllers();
    EXPECT_EQ(model.navigation().selection(), SidebarItem::mouse());
    EXPECT_EQ(selected(), "sidebar-mouse");
}

TEST_F(SidebarFixture, ArrowKeysStepOverRowsThatCannotBeSelected) {
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    sidebar.resize(240, 600);
    sidebar.show();
    model.navigation().setSelection(SidebarItem::device("demo"));
    sidebar.setCurrentIndex(sidebar.rows().indexOf(QStringLiteral("device-demo")));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&sidebar, &down);
    // Past the header and the caption to the first destination.
    EXPECT_EQ(model.navigation().selection(), SidebarItem::keyboard());
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(&sidebar, &up);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("demo"));
    QApplication::sendEvent(&sidebar, &up); // the header above the demo: stays
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("demo"));

    // Home and End go to the first and the last row that can be picked.
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(&sidebar, &end);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::history());
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(&sidebar, &home);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("demo"));
}

TEST_F(SidebarFixture, ModelPassesQtsChecksAndAnnouncesOnlyTheRowAndRolesThatChanged) {
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    SidebarModel& rows = sidebar.rows();
    // Fatal: a broken promise of the model stops the test where it happens.
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    bench.controllers->list = {Fakes::controller("gc-1", "Wireless Pad"), Fakes::controller("gc-2", "Other Pad")};
    model.refreshControllers();
    bench.hid->plug(7, Fakes::tap(7, "Flight Stick", bench.clock));
    model.refreshHID();

    QSignalSpy changes(&rows, &QAbstractItemModel::dataChanged);
    auto only = [&](const char* identifier, const QList<int>& roles) {
        ASSERT_EQ(changes.size(), 1) << identifier;
        const int row = rows.indexOf(QString::fromLatin1(identifier)).row();
        EXPECT_EQ(changes[0][0].value<QModelIndex>().row(), row) << identifier;
        EXPECT_EQ(changes[0][1].value<QModelIndex>().row(), row) << identifier;
        EXPECT_EQ(changes[0][2].value<QList<int>>(), roles) << identifier;
        changes.clear();
    };
    const QList<int> marks{SidebarModel::StatusSymbolRole, SidebarModel::StatusColorRole,
                           SidebarModel::StatusLabelRole, Qt::AccessibleTextRole};
    model.runner(bench.controllers->list[1]).store("drift|left|processed", result(Verdict::pass));
    only("device-gc-2", marks);
    bench.controllers->list[0]->setConnected(false);
    only("device-gc-1", {SidebarModel::SubtitleRole, Qt::AccessibleTextRole});
    auto info = bench.controllers->list[0]->info();
    info.name = "Renamed Pad";
    bench.controllers->list[0]->setInfo(info);
    only("device-gc-1", {Qt::DisplayRole, SidebarModel::SubtitleRole, Qt::AccessibleTextRole});
    EXPECT_EQ(rows.indexOf(QStringLiteral("device-gc-1")).data().toString(), "Renamed Pad");

    // A soak run may move its mark between devices: every device row hears of it, one by one.
    model.soak()->start(*bench.controllers->list[0], 5);
    ASSERT_FALSE(changes.isEmpty());
    for (const auto& change : changes) {
        EXPECT_EQ(change[0].value<QModelIndex>(), change[1].value<QModelIndex>());
        EXPECT_TRUE(rows.row(change[0].value<QModelIndex>().row()).device);
        EXPECT_EQ(change[2].value<QList<int>>(), marks);
    }
    model.soak()->stop();

    // Indexes that are not this model's rows read as nothing.
    QStringListModel other(QStringList{"a", "b"});
    EXPECT_FALSE(rows.data(QModelIndex(), Qt::DisplayRole).isValid());
    EXPECT_FALSE(rows.data(rows.index(rows.rowCount()), Qt::DisplayRole).isValid());
    EXPECT_FALSE(rows.item(other.index(1, 0)));
    EXPECT_EQ(rows.flags(other.index(1, 0)), Qt::NoItemFlags);
    bench.hid->unplug(7);
    model.refreshHID();
}

TEST_F(SidebarFixture, ClicksBesideThePickableRowsKeepTheUsersPickAndHomeEndReachBothEnds) {
    Sidebar sidebar(model.navigation(), new SidebarModel(model));
    sidebar.resize(260, 900);
    sidebar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sidebar));
    sidebar.doItemsLayout();
    const SidebarModel& rows = sidebar.rows();
    QWidget* surface = sidebar.viewport();
    auto click = [&](const QModelIndex& index, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(surface, Qt::LeftButton, modifiers, sidebar.visualRect(index).center());
    };
    auto key = [&](Qt::Key k) { QTest::keyClick(&sidebar, k); };
    click(rows.indexOf(QStringLiteral("sidebar-keyboard")));
    ASSERT_EQ(model.navigation().selection(), SidebarItem::keyboard());

    click(rows.index(0)); // the "Controllers" header
    EXPECT_EQ(model.navigation().selection(), SidebarItem::keyboard());
    click(rows.index(3)); // the empty HID section's caption
    EXPECT_EQ(model.navigation().selection(), SidebarItem::keyboard());
    const QRect last = sidebar.visualRect(rows.index(rows.rowCount() - 1));
    ASSERT_LT(last.bottom() + 20, surface->height()) << "the list leaves empty space below its rows";
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(40, last.bottom() + 20));
    QTest::mouseDClick(surface, Qt::LeftButton, {}, QPoint(40, last.bottom() + 20));
    EXPECT_EQ(model.navigation().selection(), SidebarItem::keyboard());
    click(rows.indexOf(QStringLiteral("sidebar-keyboard")), Qt::ControlModifier); // no deselecting either
    EXPECT_EQ(model.navigation().selection(), SidebarItem::keyboard());
    // A drag from the pick onto a header keeps it too.
    const QPoint from = sidebar.visualRect(rows.indexOf(QStringLiteral("sidebar-keyboard"))).center();
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QMouseEvent drag(QEvent::MouseMove, sidebar.visualRect(rows.index(0)).center(), surface->mapToGlobal(QPoint()),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &drag);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, sidebar.visualRect(rows.index(0)).center());
    EXPECT_EQ(model.navigation().selection(), SidebarItem::keyboard());

    // The keyboard carries on from the pick, not from the header last clicked.
    key(Qt::Key_Down);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::mouse());
    key(Qt::Key_Home);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("demo"));
    key(Qt::Key_End);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::history());
    key(Qt::Key_Home);
    EXPECT_EQ(model.navigation().selection(), SidebarItem::device("demo"));
    click(rows.indexOf(QStringLiteral("sidebar-all-devices")));
    EXPECT_EQ(model.navigation().selection(), SidebarItem::batch());
}
