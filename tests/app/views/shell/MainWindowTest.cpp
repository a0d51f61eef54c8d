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
