#include "app/model/CommandFakes.h"

#include "app/views/shell/AppMenus.h"
#include "app/views/shell/LiveRegion.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/shell/RootView.h"
#include "app/views/settings/SettingsWindow.h"
#include "app/views/shell/ToastView.h"

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

struct WindowFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    MainWindow window{model};
};

} // namespace

TEST_F(WindowFixture, MainWindowOpensAtItsDefaultSizeAndNeverBelowItsMinimum) {
    EXPECT_EQ(window.objectName(), "main");
    EXPECT_EQ(window.windowTitle(), "Tessarine");
    window.show();
    EXPECT_EQ(window.centralWidget(), &window.root());
    EXPECT_EQ(window.size(), QSize(1320, 860));
    window.resize(800, 500);
    EXPECT_GE(window.root().width(), 1000);
    EXPECT_GE(window.root().height(), 660);
    window.close();
}

TEST_F(WindowFixture, ToastIsDrawnOnScreenAboveTheDetail) {
    window.root().setReduceMotion(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    model.setToast("Saved: SN-4411, Before repair");
    ASSERT_NE(window.root().toast(), nullptr);
    QTest::qWait(20);
    const QRect area(window.root().toast()->mapTo(&window, QPoint(0, 0)), window.root().toast()->size());
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window.winId()).toImage().copy(area);
    // The text is dark on the light capsule: some of the toast's pixels are far darker than the window.
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) dark += qGray(shot.pixel(x, y)) < 100;
    EXPECT_GT(dark, 30);
    window.close();
}

TEST_F(WindowFixture, SettingsWindowStandsAloneAndRemembersItsTab) {
    SettingsWindow& settings = window.settings();
    EXPECT_EQ(settings.parent(), nullptr);
    EXPECT_TRUE(settings.isWindow());
    EXPECT_EQ(settings.tab(), "thresholds");
    settings.setTab("display");
    EXPECT_EQ(bench.defaults->string("settingsTab"), QStringLiteral("display"));
    EXPECT_EQ(SettingsWindow(*bench.defaults).tab(), "display");

    // A request from the model opens it.
    EXPECT_FALSE(settings.isVisible());
    emit model.settingsRequestChanged();
    EXPECT_TRUE(settings.isVisible());
    settings.close();
}

TEST_F(WindowFixture, SettingsOpenWhollyOnTheScreenOfTheMainWindow) {
    window.show();
    const QRect screen = window.screen()->availableGeometry();
    SettingsWindow& settings = window.settings();
    // Where it was left last time reaches past the bottom of the screen.
    settings.move(screen.left(), screen.bottom() - 100);
    emit model.settingsRequestChanged();
    ASSERT_TRUE(settings.isVisible());
    EXPECT_TRUE(screen.contains(settings.frameGeometry())) << settings.frameGeometry().y();
    settings.close();

    // A place wholly on the screen is kept when it opens again.
    const QPoint kept = screen.topLeft() + QPoint(12, 8);
    settings.move(kept);
    emit model.settingsRequestChanged();
    EXPECT_EQ(settings.pos(), kept);
    settings.close();
}

TEST(SettingsWindow, PlacedOverTheMainWindowAsFarAsTheScreenAllows) {
    const QSize size(SettingsWindow::width, SettingsWindow::height);
    const QMargins frame(1, 30, 1, 1);
    const QRect screen(0, 0, 1600, 1000);
    // Centred, frame and all, over a main window in the middle of the screen.
    const QRect centred = SettingsWindow::placement(size, frame, QRect(200, 100, 1200, 800), screen);
    EXPECT_EQ(centred.marginsAdded(frame).center(), QRect(200, 100, 1200, 800).center());
    // A main window low on the screen: the settings end at the screen's bottom edge.
    const QRect low = SettingsWindow::placement(size, frame, QRect(300, 700, 1000, 800), screen);
    EXPECT_EQ(low.marginsAdded(frame).bottom(), screen.bottom());
    EXPECT_TRUE(screen.contains(low.marginsAdded(frame)));
    // On a second screen to the right, and on one smaller than the window: its top-left corner.
    const QRect right(1600, 0, 1280, 1024);
    EXPECT_TRUE(right.contains(SettingsWindow::placement(size, frame, QRect(1700, 50, 900, 700), right).marginsAdded(frame)));
    const QRect tiny(0, 0, 600, 500);
    EXPECT_EQ(SettingsWindow::placement(size, frame, QRect(0, 0, 600, 500), tiny).marginsAdded(frame).topLeft(),
              QPoint(0, 0));
}

TEST_F(WindowFixture, AnnouncementsReachTheLiveRegion) {
    window.show();
    model.announce("Left stick: Drift at rest started. Let go of the stick.");
    EXPECT_EQ(window.liveRegion().text(), "Left stick: Drift at rest started. Let go of the stick.");
    EXPECT_EQ(model.announcer().spoken().size(), 1);
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&window.liveRegion());
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), "Left stick: Drift at rest started. Let go of the stick.");
    window.close();
}

TEST_F(WindowFixture, ClosingTheMainWindowKeepsTheApplicationWhileSettingsAreOpen) {
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    bool quitEarly = false;
    window.show();
    window.settings().showWindow();
    QTimer::singleShot(0, [&] { window.close(); });
    QTimer::singleShot(50, [&] {
        quitEarly = lastClosed.count() > 0;
        window.settings().close();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(5000);
    const int status = QApplication::exec(); // ends when the last window closes
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(quitEarly);
    EXPECT_EQ(lastClosed.count(), 1);
}

TEST_F(WindowFixture, PrintReportPrintsTheSelectedDevicesResults) {
    auto renderer = std::make_shared<Fakes::Renderer>();
    model.setReportRenderer(renderer);
    model.runner(bench.demo()).store("drift|Left Stick|processed",
                                     Fakes::someResult(RorozErurEvo::TestKind::drift, "Left Stick"));
    QAction* print = window.menus().action(QStringLiteral("menu-print"));
    ASSERT_TRUE(print->isEnabled());
    print->trigger();
    EXPECT_EQ(renderer->printed, 1);
}
