// Quit with a session still being written, driven as a user drives it: Ctrl+Q or closing the
// window waits, shows what it waits for after a moment, goes back on Escape or Return, quits by
// itself once the save lands, and quits anyway on the button, which names what is not done yet. A
// signal's quit shows nothing.
#include "app/model/ModelFakes.h"

#include "app/views/shell/AppMenus.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/shell/QuitGuard.h"
#include "app/views/shell/QuitWaitDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "support/HeldWorker.h"
#include "support/ManualTimers.h"
#include "support/TestLog.h"

using namespace Tessarine;

namespace {

struct GuardFixture : ::testing::Test {
    HeldWorker* disk = new HeldWorker; // the session folder's disk, answering when the test says
    Fakes::Bench bench{true, {}, nullptr, nullptr, std::unique_ptr<BackgroundWorker>(disk)};
    AppModel& model = *bench.model;
    MainWindow window{model};
    FakeClock clock{100};
    ManualTimers timers;
    QuitWait wait{model.library(), clock, timers.factory()};
    QuitGuard guard{wait, &window};

    GuardFixture() {
        window.menus().setQuit([this] { guard.quit(QuitWait::Asker::user); });
        window.show();
        window.activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(&window);
    }
    void saveDemo() {
        model.saveSession(bench.demo(), UnitRecord{"SN-4411", "Before repair", "", "", ""});
        ASSERT_FALSE(disk->held.empty());
    }
    // A moment passes; the wait shows itself when it is still waiting.
    QuitWaitDialog* afterAMoment() {
        clock.advance(QuitWait::quietSeconds);
        if (timers.fire) timers.fire();
        return guard.dialog() && guard.dialog()->isVisible() ? guard.dialog() : nullptr;
    }
    void land() {
        disk->release();
        bench.executor->runAll();
    }
    // A key as the user presses it: to whatever has the keyboard in the dialog.
    static void press(QuitWaitDialog& dialog, Qt::Key key) {
        QWidget* focus = dialog.focusWidget();
        QTest::keyClick(focus ? focus : &dialog, key);
    }
};

} // namespace

TEST_F(GuardFixture, CtrlQWaitsForTheSaveShowsItAfterAMomentAndQuitsOnceItLands) {
    saveDemo();
    QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_TRUE(window.isVisible()) << "the window stays while the save is written";
    EXPECT_EQ(guard.dialog(), nullptr) << "nothing shows before the moment";
    QuitWaitDialog* dialog = afterAMoment();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->heading().text(), QString::fromUtf8("Saving 1 session\u2026"));
    EXPECT_EQ(dialog->loss().text(), QString::fromUtf8("Quitting now loses the session \u201CSN-4411, Before repair\u201D."));
    land();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(window.isVisible()) << "quit by itself";
    EXPECT_EQ(model.library().sessions().size(), 1u);
    EXPECT_EQ(model.toast(), std::optional<std::string>("Saved: SN-4411, Before repair"));
}

TEST_F(GuardFixture, EscapeAndReturnGoBackToTheApplicationAndTheSaveGoesOn) {
    saveDemo();
    window.close();
    EXPECT_TRUE(window.isVisible()) << "closing the last window waits as Quit does";
    QuitWaitDialog* dialog = afterAMoment();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->cancelButton().hasFocus() || dialog->cancelButton().isDefault());
    press(*dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(wait.waiting());

    QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Q));
    dialog = afterAMoment();
    ASSERT_NE(dialog, nullptr);
    press(*dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible()) << "Return is Cancel: quitting anyway is never the default";
    land();
    EXPECT_TRUE(window.isVisible()) << "the save landed and nothing quit";
    EXPECT_EQ(model.library().sessions().size(), 1u);
}

TEST_F(GuardFixture, TabAndSpaceQuitAnywayTheWindowClosesAndTheLogNamesWhatIsLostOnlyOnceItIs) {
    saveDemo();
    QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Q));
    QuitWaitDialog* dialog = afterAMoment();
    ASSERT_NE(dialog, nullptr);
    TestLog::ExpectedWarnings logged("tessarine.model", QString::fromUtf8("Quit Anyway; not done yet: the session \u201CSN-4411"));
    // The disk never answers, so the shutdown's moment ends with the session lost, and says so.
    TestLog::ExpectedWarnings lost("tessarine.model", QString::fromUtf8("Quitting now loses the session \u201CSN-4411"));
    dialog->activateWindow();
    press(*dialog, Qt::Key_Tab);
    EXPECT_EQ(dialog->focusWidget(), &dialog->quitAnywayButton()) << "Tab leaves Cancel for Quit Anyway";
    press(*dialog, Qt::Key_Space);
    EXPECT_EQ(logged.count(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(lost.count(), 0) << "not before the shutdown has given the write its moment";
    model.shutdown();
    EXPECT_EQ(lost.count(), 1);
}

TEST_F(GuardFixture, ASignalWaitsWithoutAskingAndAWindowThatIsNotTheLastClosesAtOnce) {
    QWidget other;
    other.show();
    saveDemo();
    other.close();
    EXPECT_FALSE(other.isVisible()) << "another window closing is no quit";
    guard.quit(QuitWait::Asker::signal, QStringLiteral("SIGTERM"));
    clock.advance(5);
    timers.fire();
    EXPECT_EQ(guard.dialog(), nullptr) << "a signal asks nobody";
    EXPECT_TRUE(window.isVisible());
    land();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(model.library().sessions().size(), 1u);
}
