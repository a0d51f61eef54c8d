#include "app/model/CommandFakes.h"
#include "app/model/ModelFakes.h"

#include "support/ManualTimers.h"
#include "app/model/ExportProgress.h"
#include "app/views/kit/EmptyState.h"
#include "app/views/shell/ExportProgressView.h"
#include "app/views/shell/RootView.h"
#include "app/views/shell/Sidebar.h"
#include "app/views/shell/SidebarModel.h"
#include "app/views/shell/ToastView.h"
#include "support/HeldWorker.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

struct RootFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    ManualTimers toastTimers;
    RootView root{model, Destinations::standard(), toastTimers.factory()};

    RootFixture() {
        root.setReduceMotion(true);
        root.resize(1320, 860);
    }

    const EmptyState* placeholder() const { return qobject_cast<const EmptyState*>(root.detail()); }
    QString detailName() const { return root.detail() ? root.detail()->objectName() : QString(); }
    std::optional<std::string> toast() const { return model.toast(); }
    void settle() { QApplication::processEvents(); }
};

} // namespace

TEST_F(RootFixture, DetailFollowsTheSelection) {
    EXPECT_EQ(detailName(), "device-view"); // the model starts on the demo controller

    model.navigation().setSelection(std::nullopt);
    ASSERT_NE(placeholder(), nullptr);
    EXPECT_EQ(placeholder()->title(), "Pick a device");
    EXPECT_EQ(placeholder()->symbol(), "gamecontroller");
    EXPECT_EQ(placeholder()->description(), "Connect a controller, or try the demo controller.");

    const QModelIndex keyboard = root.sidebar().rows().indexOf(QStringLiteral("sidebar-keyboard"));
    root.sidebar().selectionModel()->select(keyboard, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(detailName(), "keyboard-tester");
    model.navigation().setSelection(SidebarItem::mouse());
    EXPECT_EQ(detailName(), "mouse-tester");
    model.navigation().setSelection(SidebarItem::batch());
    EXPECT_EQ(detailName(), "batch-view");
    model.navigation().setSelection(SidebarItem::history());
    EXPECT_EQ(detailName(), "history-view");

    model.navigation().setSelection(SidebarItem::device("gc-404"));
    ASSERT_NE(placeholder(), nullptr);
    EXPECT_EQ(placeholder()->title(), "Device disconnected");
    EXPECT_EQ(placeholder()->symbol(), "cable.connector.slash");
    EXPECT_EQ(placeholder()->description(), "Plug it back in, or pick another device on the left.");
}

TEST_F(RootFixture, AnUnpluggedDeviceLeavesItsPlaceholderUntilAnotherIsPicked) {
    bench.hid->plug(3, Fakes::tap(3, "Wheel", bench.clock));
    model.refreshHID();
    model.navigation().setSelection(SidebarItem::device("hid-3"));
    QWidget* wheelView = root.detail();
    EXPECT_EQ(detailName(), "device-view");
    // Unrelated changes keep the same view.
    model.refreshControllers();
    EXPECT_EQ(root.detail(), wheelView);

    bench.hid->unplug(3);
    model.refreshHID();
    if (model.navigation().selection() == SidebarItem::device("hid-3")) {
        ASSERT_NE(placeholder(), nullptr);
        EXPECT_EQ(placeholder()->title(), "Device disconnected");
    } else {
        // The model moved the selection itself: the detail follows it.
        EXPECT_EQ(detailName(), "device-view");
        EXPECT_NE(root.detail(), wheelView);
    }
    model.navigation().setSelection(SidebarItem::device("demo"));
    EXPECT_EQ(detailName(), "device-view");
}

TEST_F(RootFixture, ToastClearsAfterItsOwnTwoAndAHalfSeconds) {
    EXPECT_EQ(root.toast(), nullptr);
    model.setToast("Report saved");
    ASSERT_NE(root.toast(), nullptr);
    EXPECT_EQ(root.toast()->text(), "Report saved");
    EXPECT_EQ(toastTimers.interval, 2.5);
    EXPECT_EQ(toastTimers.created, 1);
    // It sits centred at the bottom, 18 pixels up.
    const QRect onRoot(root.toast()->mapTo(&root, QPoint(0, 0)), root.toast()->size());
    EXPECT_EQ(root.height() - onRoot.bottom() - 1, 18);
    EXPECT_LE(std::abs(onRoot.center().x() - root.width() / 2), 1);

    toastTimers.fire();
    EXPECT_EQ(toast(), std::nullopt);
    EXPECT_EQ(root.toast(), nullptr);
    settle(); // the spent timer goes once its callback has returned
}

TEST(RootExport, AnExportShowsItsProgressAtTheBottomWithCancelAndTheToastAboveIt) {
    // The worker holds the export until the test lets it run: it is under way meanwhile.
    auto held = std::make_unique<HeldWorker>();
    HeldWorker& worker = *held;
    Fakes::Bench bench(false, {}, nullptr, nullptr, std::move(held));
    AppModel& model = *bench.model;
    ManualTimers toastTimers;
    RootView root{model, Destinations::standard(), toastTimers.factory()};
    root.setReduceMotion(true);
    root.resize(1320, 860);
    auto chooser = std::make_shared<Fakes::Chooser>();
    model.setFileChooser(chooser);
    chooser->answer = bench.folder.filePath(QStringLiteral("all.json"));
    root.show();
    ExportProgressView& progress = root.exportProgress();
    EXPECT_TRUE(progress.isHidden());
    std::vector<RorozErurEvo::TestSession> sessions(3);
    model.exportSessions(sessions, AppModel::ExportFormat::json, "All");
    EXPECT_TRUE(progress.isHidden()) << "an export that ends soon never shows it";
    // Waited for rather than slept past: a loaded machine may turn the event loop late.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !progress.isHidden(); }, 10'000));
    EXPECT_EQ(progress.label().text(), "Exporting 0 of 3 sessions\u2026");
    EXPECT_EQ(progress.bar().value(), 0);
    EXPECT_EQ(progress.cancelButton().accessibleName(), "Cancel the export");
    const QRect panel = progress.geometry();
    EXPECT_EQ(root.height() - panel.bottom() - 1, RootView::toastBottomGap);
    EXPECT_LE(std::abs(panel.center().x() - root.width() / 2), 1);

    model.setToast("Report saved");
    ASSERT_NE(root.toast(), nullptr);
    const QRect toastOnRoot(root.toast()->mapTo(&root, QPoint(0, 0)), root.toast()->size());
    EXPECT_LT(toastOnRoot.bottom(), panel.top()) << "the toast stands above the progress";

    QTest::mouseClick(&progress.cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(progress.isHidden());
    EXPECT_EQ(model.toast(), "Export cancelled");
    const QRect back(root.toast()->mapTo(&root, QPoint(0, 0)), root.toast()->size());
    EXPECT_EQ(root.height() - back.bottom() - 1, RootView::toastBottomGap) << "back at the bottom";
    worker.release();
    bench.executor->runAll();
    EXPECT_FALSE(QFile::exists(*chooser->answer));
    EXPECT_EQ(model.toast(), "Export cancelled");
    EXPECT_EQ(ExportProgressView::text(1, 1), "Exporting 1 of 1 session\u2026");
}

// The panel reads the export's own face, not the model: counts as they come, Cancel through it.
TEST(ExportPanel, ShowsItsFacesCountsAndCancelsThroughIt) {
    int cancelled = 0;
    ExportProgress progress([&] { ++cancelled; });
    ExportProgressView view(progress, nullptr, 10);
    progress.setCount(ExportProgress::Count{0, 5000});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isHidden(); }, 10'000));
    progress.setCount(ExportProgress::Count{1200, 5000});
    EXPECT_EQ(view.label().text(), "Exporting 1200 of 5000 sessions\u2026");
    EXPECT_EQ(view.bar().value(), 240);
    QTest::mouseClick(&view.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled, 1);
    progress.setCount(std::nullopt);
    EXPECT_TRUE(view.isHidden());
    progress.cancel();
    EXPECT_EQ(cancelled, 1) << "with no export under way there is nothing to stop";
}

TEST_F(RootFixture, ANewToastGetsAFullTimeAndTheOldTimerLeavesIt) {
    model.setToast("Saved: SN-1, Before repair");
    auto first = toastTimers.fire;
    model.setToast("Listing text copied");
    EXPECT_EQ(toastTimers.created, 2);
    // The first message's time is up; it finds another text and leaves it.
    first();
    EXPECT_EQ(toast(), "Listing text copied");
    ASSERT_NE(root.toast(), nullptr);
    EXPECT_EQ(root.toast()->text(), "Listing text copied");
    // The same text again changes nothing and starts no new timer.
    model.setToast("Listing text copied");
    EXPECT_EQ(toastTimers.created, 2);
    toastTimers.fire();
    EXPECT_EQ(toast(), std::nullopt);

    // A toast the model clears itself leaves the timer nothing to do.
    model.setToast("History erased");
    auto third = toastTimers.fire;
    model.setToast(std::nullopt);
    model.setToast("Report saved");
    third();
    EXPECT_EQ(toast(), "Report saved");
    settle();
}

TEST_F(RootFixture, ToastFadesUnlessMotionIsReduced) {
    root.show();
    root.setReduceMotion(false);
    model.setToast("Report saved");
    ASSERT_NE(root.toast(), nullptr);
    model.setToast(std::nullopt);
    // Still on screen while it fades out.
    EXPECT_NE(root.toast(), nullptr);
    for (int i = 0; i < 100 && root.toast(); ++i) QTest::qWait(10);
    EXPECT_EQ(root.toast(), nullptr);

    root.setReduceMotion(true);
    model.setToast("Report saved");
    model.setToast(std::nullopt);
    EXPECT_EQ(root.toast(), nullptr);
}

TEST_F(RootFixture, SettingsOpenOnEveryRequestButNotForTheFirstValue) {
    int opened = 0;
    RootView other(model, Destinations::standard(), toastTimers.factory());
    other.openSettings = [&] { ++opened; };
    EXPECT_EQ(opened, 0);
    emit model.settingsRequestChanged();
    emit model.settingsRequestChanged();
    EXPECT_EQ(opened, 2);
}

TEST_F(RootFixture, SaveSheetOpensForTheModelsDeviceAndDismissingClearsIt) {
    root.show();
    model.navigation().setSaveSheetDevice(bench.demo());
    QDialog* sheet = root.saveSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    sheet->reject();
    EXPECT_EQ(model.navigation().saveSheetDevice(), nullptr);
    EXPECT_EQ(root.saveSheet(), nullptr);

    // The model withdrawing its request closes the sheet.
    model.navigation().setSaveSheetDevice(bench.demo());
    QPointer<QDialog> second = root.saveSheet();
    ASSERT_TRUE(second);
    model.navigation().setSaveSheetDevice(nullptr);
    EXPECT_EQ(root.saveSheet(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(second);
}

TEST_F(RootFixture, SidebarColumnKeepsItsWidthsAndHasTheFocus) {
    root.show();
    EXPECT_EQ(root.sidebar().width(), 240);
    root.split().setSizes({100, 1220});
    EXPECT_EQ(root.sidebar().width(), 210);
    root.split().setSizes({600, 720});
    EXPECT_EQ(root.sidebar().width(), 320);
    EXPECT_TRUE(root.sidebar().hasFocus() || QApplication::focusWidget() == &root.sidebar() ||
                root.focusWidget() == &root.sidebar());
}
