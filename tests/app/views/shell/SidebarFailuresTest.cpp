// A source that cannot read reaches the user in the sidebar, not only the log.
#include "app/model/ModelFakes.h"

#include "app/devices/ControllerSource.h"
#include "app/model/SystemSources.h"
#include "app/views/shell/Sidebar.h"
#include "app/views/shell/SidebarModel.h"
#include "support/TestLog.h"
#include "tests/support/FakeControllerBackend.h"

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

QStringList titles(const SidebarModel& rows) {
    QStringList list;
    for (int i = 0; i < rows.rowCount(); ++i) list << rows.row(i).title;
    return list;
}

} // namespace

TEST(SidebarFailures, AControllerServiceThatFailsToStartShowsItsReasonInTheControllerSection) {
    auto backend = std::make_shared<FakeControllerBackend>();
    auto watcher = std::make_unique<ControllerWatcher>(backend);
    Fakes::Bench bench(false, {}, nullptr, std::make_unique<ControllerWatcherSource>(std::move(watcher)));
    bench.model->start(true);
    Sidebar sidebar(bench.model->navigation(), new SidebarModel(*bench.model));
    const SidebarModel& rows = sidebar.rows();
    EXPECT_FALSE(titles(rows).join('\n').contains("can't be read"));

    backend->fail("No such device (joystick subsystem)");
    const QModelIndex caption = rows.indexOf(QStringLiteral("sidebar-controllers-failed"));
    ASSERT_TRUE(caption.isValid());
    EXPECT_EQ(caption.data().toString(), "Game controllers can't be read: No such device (joystick subsystem)");
    EXPECT_EQ(caption.row(), 1) << "directly under the Controllers header";
    EXPECT_FALSE(rows.flags(caption) & Qt::ItemIsSelectable);
    EXPECT_EQ(bench.model->deviceLists().controllerFailure(), "No such device (joystick subsystem)");
    // The demo controller still works without the service.
    EXPECT_TRUE(rows.indexOf(QStringLiteral("device-demo")).isValid());
}

TEST(SidebarFailures, ARefusedHidrawNodePointsToTheUdevRuleAndOtherCausesSayTheirReason) {
    Fakes::Bench bench(false);
    bench.hid->left = {
        Fakes::skipped("Wheel (couldn't be opened)", SkippedHID::Why::openFailed, "Permission denied", true),
        Fakes::skipped("Stick (couldn't be opened)", SkippedHID::Why::openFailed, "No such device"),
        Fakes::skipped("Pad (couldn't be opened)", SkippedHID::Why::noDescriptor),
    };
    bench.model->refreshHID();
    Sidebar sidebar(bench.model->navigation(), new SidebarModel(*bench.model));
    const SidebarModel& rows = sidebar.rows();

    const QString refused = rows.indexOf(QStringLiteral("Wheel (couldn't be opened)")).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(refused.startsWith("Couldn't open /dev/hidraw9: Permission denied."));
    EXPECT_TRUE(refused.contains("udev rule")) << refused.toStdString();
    EXPECT_TRUE(refused.contains("README"));
    EXPECT_FALSE(refused.contains("keyboard or mouse"));

    EXPECT_EQ(rows.indexOf(QStringLiteral("Stick (couldn't be opened)")).data(Qt::ToolTipRole).toString(),
              "Couldn't open /dev/hidraw9: No such device.");
    EXPECT_EQ(rows.indexOf(QStringLiteral("Pad (couldn't be opened)")).data(Qt::ToolTipRole).toString(),
              "/dev/hidraw9 opened, but its report descriptor couldn't be read.");
}

TEST(SidebarFailures, RawHIDReadingThatStoppedReplacesTheEmptyCaption) {
    Fakes::Bench bench(false);
    Sidebar sidebar(bench.model->navigation(), new SidebarModel(*bench.model));
    const SidebarModel& rows = sidebar.rows();
    EXPECT_TRUE(titles(rows).contains(SidebarModel::emptyCaption));

    bench.hid->failed = "Invalid argument";
    bench.model->refreshHID();
    EXPECT_FALSE(titles(rows).contains(SidebarModel::emptyCaption));
    const QModelIndex caption = rows.indexOf(QStringLiteral("sidebar-hid-failed"));
    ASSERT_TRUE(caption.isValid());
    EXPECT_EQ(caption.data().toString(), "Raw HID reading stopped: Invalid argument");
    EXPECT_EQ(rows.index(caption.row() - 1).data().toString(), "Joysticks, wheels and adapters");
}
