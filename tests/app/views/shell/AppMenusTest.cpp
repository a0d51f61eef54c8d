#include "app/model/ModelFakes.h"

#include "app/model/GuidedTests.h"
#include "app/model/TestRunner.h"
#include "app/views/shell/AboutPanel.h"
#include "app/views/shell/AppMenus.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/shell/MoreApps.h"
#include "app/views/kit/LinkOpener.h"
#include "app/views/shell/RootView.h"
#include "app/views/settings/SettingsWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "support/TestLog.h"

using namespace Tessarine;

namespace {

struct MenuFixture : ::testing::Test {
    Fakes::Bench bench;
    AppModel& model = *bench.model;
    MainWindow window{model};

    MenuFixture() {
        window.show();
        window.activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(&window);
    }
    QAction* item(const char* name) { return window.menus().action(QString::fromLatin1(name)); }
    void press(QKeyCombination keys) { QTest::keySequence(&window, QKeySequence(keys)); }
};

} // namespace

TEST_F(MenuFixture, EveryItemWithItsShortcut) {
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"menu-save-session", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"menu-export-pdf", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"menu-copy-listing", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_C)},
        {"menu-print", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"menu-close-window", QKeySequence(Qt::CTRL | Qt::Key_W)},
        {"menu-quit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"menu-settings", QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {"menu-tab-1", QKeySequence(Qt::CTRL | Qt::Key_1)},
        {"menu-tab-2", QKeySequence(Qt::CTRL | Qt::Key_2)},
        {"menu-tab-3", QKeySequence(Qt::CTRL | Qt::Key_3)},
        {"menu-stop-test", QKeySequence(Qt::CTRL | Qt::Key_Period)},
    };
    for (const auto& [name, keys] : shortcuts) {
        ASSERT_NE(item(name), nullptr) << name;
        EXPECT_EQ(item(name)->shortcut(), keys) << name;
    }
    for (const char* name : {"menu-help", "menu-more-apps", "menu-check-updates", "menu-about"})
        EXPECT_NE(item(name), nullptr) << name;
    EXPECT_EQ(item("menu-help")->text(), "Tessarine Help");
    EXPECT_EQ(item("menu-about")->text(), "About Tessarine");
}

TEST_F(MenuFixture, EnabledStatesFollowTheModel) {
    EXPECT_TRUE(item("menu-save-session")->isEnabled());
    EXPECT_FALSE(item("menu-export-pdf")->isEnabled());
    EXPECT_FALSE(item("menu-export-all-csv")->isEnabled());

    model.runner(bench.demo()).setResults({{"drift|Left Thumbstick|processed",
                                            RorozErurEvo::TestResult(RorozErurEvo::TestKind::drift, "Left Thumbstick",
                                                                     RorozErurEvo::ValueSource::processed,
                                                                     RorozErurEvo::Verdict::pass, "fine", {}, {})}});
    EXPECT_TRUE(item("menu-export-pdf")->isEnabled());
    EXPECT_TRUE(item("menu-copy-listing")->isEnabled());

    model.navigation().setSelection(SidebarItem::keyboard());
    EXPECT_FALSE(item("menu-save-session")->isEnabled());
    EXPECT_FALSE(item("menu-tab-2")->isEnabled());
    EXPECT_FALSE(item("menu-export-pdf")->isEnabled());
}

TEST_F(MenuFixture, CtrlSOpensTheSaveSheetForTheSelectedDevice) {
    press(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(model.navigation().saveSheetDevice(), bench.demo());
    ASSERT_NE(window.root().saveSheet(), nullptr);
    window.root().saveSheet()->reject();
}

TEST_F(MenuFixture, CtrlPeriodStopsTheRunningTestWithoutAResult) {
    TestRunner& runner = model.runner(bench.demo());
    runner.start(GuidedTest{RorozErurEvo::TestKind::drift, "Left stick", GuidedTest::Target::stick("Left Thumbstick"),
                            false});
    ASSERT_TRUE(runner.hasActiveTest());
    const auto spokenBefore = model.announcer().spoken().size();
    press(Qt::CTRL | Qt::Key_Period);
    EXPECT_FALSE(runner.hasActiveTest());
    EXPECT_TRUE(runner.results().empty());
    EXPECT_EQ(model.announcer().spoken().size(), spokenBefore);
    press(Qt::CTRL | Qt::Key_Period); // nothing running: nothing happens
    EXPECT_FALSE(runner.hasActiveTest());
}

TEST_F(MenuFixture, CtrlTwoShowsRawHidOnce) {
    QSignalSpy tabs(&model.navigation(), &Navigation::tabChanged);
    press(Qt::CTRL | Qt::Key_2);
    press(Qt::CTRL | Qt::Key_2);
    EXPECT_EQ(model.navigation().tab(), DetailTab::raw);
    EXPECT_EQ(tabs.count(), 1);
}

TEST_F(MenuFixture, CtrlWClosesTheMainWindowWhileSettingsKeepTheApplication) {
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    item("menu-settings")->trigger();
    ASSERT_TRUE(window.settings().isVisible());
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    item("menu-close-window")->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.settings().isVisible());
    EXPECT_EQ(lastClosed.count(), 0);
    window.settings().close();
}

TEST(AboutPanel, Credits) {
    const QString credits = AboutPanel::credits();
    EXPECT_TRUE(credits.startsWith("A test bench for game controllers and other input devices: live view, guided "
                                   "pass/fail tests, saved sessions per unit, before/after comparison and repair "
                                   "reports.\n\nPrivacy: everything stays on this computer."));
    EXPECT_TRUE(credits.contains(" No data is collected.\n\nTessarine measures how the controls respond."));
    EXPECT_TRUE(credits.endsWith(" Not affiliated with Sony, Microsoft or Nintendo."));
}

TEST(LinkFailure, HelpAndCatalogueLinksSayWhenNoBrowserTookTheAddress) {
    TestLog::ExpectedWarnings logged("tessarine.views", "could not open");
    Fakes::Bench bench{false};
    QMainWindow window;
    QList<QUrl> asked;
    AppMenus::Hooks hooks;
    hooks.helpPage = QUrl(QStringLiteral("https://example.com/help"));
    hooks.openUrl = [&](const QUrl& url) {
        asked << url;
        return false; // a desktop without a browser
    };
    AppMenus menus(*bench.model, window, hooks);
    menus.action("menu-help")->trigger();
    ASSERT_EQ(asked.size(), 1);
    QPointer<QMessageBox> alert = window.findChild<QMessageBox*>(linkFailureName);
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->text(), "Couldn't open the page");
    EXPECT_TRUE(alert->informativeText().endsWith("\nhttps://example.com/help"));
    alert->findChild<QPushButton*>("link-failure-copy")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "https://example.com/help");
    alert->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alert);

    // The catalogue's rows go the same way.
    MoreAppsView catalogue([&](const QUrl& url) {
        asked << url;
        return false;
    });
    catalogue.show();
    const auto rows = catalogue.findChildren<QAbstractButton*>(); // the catalogue's rows
    ASSERT_FALSE(rows.isEmpty());
    rows.at(0)->click();
    ASSERT_EQ(asked.size(), 2);
    alert = catalogue.findChild<QMessageBox*>(linkFailureName);
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->informativeText().endsWith(asked.back().toString()));

    // A link the desktop takes says nothing.
    EXPECT_TRUE(openLink(&window, QUrl(QStringLiteral("https://example.com/")), [](const QUrl&) { return true; }));
    EXPECT_EQ(window.findChildren<QMessageBox*>().size(), 0);
    EXPECT_EQ(logged.count(), 2);
}
