#include "app/model/ModelFakes.h"
#include "support/TestLog.h"

#include "app/model/KeyboardTester.h"
#include "app/model/MouseTester.h"
#include "app/views/testers/KeyCapture.h"
#include "app/views/testers/KeyboardDrawing.h"
#include "app/views/testers/KeyboardTesterView.h"
#include "app/views/testers/MousePad.h"
#include "app/views/testers/MouseTesterView.h"
#include "app/views/testers/TesterSaveDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <cmath>

#include <gtest/gtest.h>

#include "testkit/ChatterAnalysis.h"

using namespace Tessarine;

namespace {

// Linux key codes, as the kernel numbers them.
constexpr int keyA = 30;
constexpr int keyS = 31;
constexpr int key102nd = 86;

struct TesterFixture : ::testing::Test {
    Fakes::Bench bench;
    AppModel& model = *bench.model;

    template <typename T> T* find(QWidget& root, const char* name) {
        return root.findChild<T*>(QString::fromLatin1(name));
    }
    QString text(QWidget& root, const char* name) { return find<QLabel>(root, name)->text(); }

    // The session files in the data folder.
    QStringList sessionFiles() const {
        return QDir(model.sessionsFolder()).entryList({QStringLiteral("*.json")}, QDir::Files);
    }
    QJsonObject onlySession() const {
        QStringList files = sessionFiles();
        if (files.size() != 1) return {};
        QFile file(QDir(model.sessionsFolder()).filePath(files.front()));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
};

struct KeyboardScreen : TesterFixture {
    QMainWindow window;
    KeyboardTesterView* view =
        new KeyboardTesterView(model.keyboard(), model.settings(), model, model.clock());
    KeyboardTester& tester = model.keyboard();

    KeyboardScreen() {
        window.setCentralWidget(view);
        window.resize(1100, 760);
        window.show();
    }

    // A key event as X11 or Wayland delivers it: native scan code = evdev code + 8, the server's
    // time stamp in milliseconds; it arrives when the model's clock reads `arrival`.
    void key(QWidget* target, QEvent::Type type, int linuxCode, quint64 stampMs, double arrival,
             bool autoRepeat = false, int qtKey = Qt::Key_unknown, Qt::KeyboardModifiers modifiers = {}) {
        bench.clock.set(arrival);
        QKeyEvent event(type, qtKey, modifiers, quint32(linuxCode + 8), 0, 0, QString(), autoRepeat);
        event.setTimestamp(stampMs);
        QApplication::sendEvent(target, &event);
    }
    void press(int code, quint64 ms, double arrival, bool repeat = false) {
        key(view, QEvent::KeyPress, code, ms, arrival, repeat);
    }
    void release(int code, quint64 ms, double arrival, bool repeat = false) {
        key(view, QEvent::KeyRelease, code, ms, arrival, repeat);
    }
    // A key held from 10 s on the server's clock (200 s of uptime) and released at 10.6 s, which
    // X11 repeats at 10.5, 10.53 and 10.56 s: each repeat a fake release and press with one time
    // stamp, both flagged.
    void holdWithX11Repeats(int code) {
        press(code, 10000, 200.0);
        for (quint64 ms : {10500, 10530, 10560}) {
            release(code, ms, 200.0 + (ms - 10000) / 1000.0, true);
            press(code, ms, 200.0 + (ms - 10000) / 1000.0, true);
        }
        release(code, 10600, 200.6);
    }
};

} // namespace

TEST_F(KeyboardScreen, StartsEmptyAndCapturesOnlyWhileStarted) {
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 0 of 74 required keys");
    EXPECT_EQ(text(*view, "keyboard-held"), "none");
    EXPECT_EQ(text(*view, "keyboard-repeat"), "hold a key to measure");
    EXPECT_EQ(text(*view, "keyboard-chatter"), "none");

    press(keyA, 1000, 100.0);
    EXPECT_TRUE(tester.tested().empty()); // capture is off: the key goes to the window as usual
    EXPECT_FALSE(view->capture().installed());

    QTest::mouseClick(find<QPushButton>(*view, "keyboard-start"), Qt::LeftButton);
    EXPECT_TRUE(tester.capturing());
    EXPECT_TRUE(view->capture().installed());
    press(keyA, 1100, 100.1);
    EXPECT_EQ(text(*view, "keyboard-held"), "1: A");
    release(keyA, 1150, 100.15);
    view->capture().flush();
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 1 of 74 required keys");
    EXPECT_EQ(view->drawing().accessibleValue(), "1 of 74 required keys tested");

    QTest::mouseClick(find<QPushButton>(*view, "keyboard-stop"), Qt::LeftButton);
    EXPECT_FALSE(tester.capturing());
    EXPECT_FALSE(view->capture().installed());
}

TEST_F(KeyboardScreen, X11AndWaylandRepeatsGiveDelayAndRateWithoutChatter) {
    tester.start();
    holdWithX11Repeats(keyA);
    EXPECT_EQ(text(*view, "keyboard-repeat"), "33.3 per second, after 0.5 s");

    // Wayland: repeats carry the time of the original press; they are timed by their arrival.
    press(keyS, 20000, 300.0);
    for (double arrival : {300.4, 300.45, 300.5}) press(keyS, 20000, arrival, true);
    release(keyS, 20600, 300.6);
    view->capture().flush();
    ASSERT_TRUE(tester.repeatDelay());
    EXPECT_NEAR(*tester.repeatDelay(), 0.4, 1e-6);
    EXPECT_NEAR(*tester.repeatRate(), 20.0, 1e-6);
    EXPECT_EQ(text(*view, "keyboard-chatter"), "none");
    EXPECT_EQ(tester.events().size(), 4u); // two presses, two releases
}

TEST_F(KeyboardScreen, AnUnflaggedReleaseAndPressWithOneTimeIsARepeat) {
    tester.start();
    press(keyA, 5000, 100.0);
    // The X server's repeat pairs, which Qt did not recognise as such.
    for (quint64 ms : {5500, 5540, 5580}) {
        release(keyA, ms, 100.0 + (ms - 5000) / 1000.0);
        press(keyA, ms, 100.0 + (ms - 5000) / 1000.0);
    }
    EXPECT_EQ(text(*view, "keyboard-held"), "1: A");
    release(keyA, 5700, 100.7);
    // A real release reaches the tester once no press pairs with it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return tester.held().empty(); }, 5000));
    EXPECT_EQ(text(*view, "keyboard-held"), "none");
    EXPECT_EQ(text(*view, "keyboard-repeat"), "25 per second, after 0.5 s");
    EXPECT_EQ(text(*view, "keyboard-chatter"), "none");
    EXPECT_EQ(tester.events().size(), 2u);
}

TEST_F(KeyboardScreen, AReleaseAndPressTwentyMillisecondsApartIsChatter) {
    tester.start();
    press(keyA, 1000, 100.0);
    release(keyA, 1100, 100.1);
    press(keyA, 1120, 100.12);
    release(keyA, 1200, 100.2);
    EXPECT_EQ(text(*view, "keyboard-chatter"), "A 1×");
    EXPECT_EQ(view->drawing().state().chatter, (std::set<int>{0}));
}

TEST_F(KeyboardScreen, Iso102ndKeyIsTheLessGreaterKeyBesideLeftShift) {
    QComboBox* picker = find<QComboBox>(*view, "keyboard-layout");
    picker->setCurrentIndex(1);
    EXPECT_EQ(tester.layoutKind(), RorozErurEvo::KeyboardLayout::Kind::iso);
    EXPECT_EQ(bench.defaults->string(QStringLiteral("keyboardLayout")), "iso");
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 0 of 75 required keys");

    tester.start();
    press(key102nd, 1000, 100.0);
    EXPECT_EQ(text(*view, "keyboard-held"), "1: < > key");
    EXPECT_EQ(view->drawing().state().held, (std::set<int>{50}));

    // The tester's layout changed elsewhere (the settings window) shows here too.
    tester.setLayoutKind(RorozErurEvo::KeyboardLayout::Kind::ansi);
    EXPECT_EQ(picker->currentIndex(), 0);
    // On the US board it is no key of the board, and still the < > key.
    tester.reset();
    press(key102nd, 1200, 100.2);
    release(key102nd, 1300, 100.3);
    view->capture().flush();
    EXPECT_EQ(text(*view, "keyboard-other-keys"), "< > key 1×");
}

namespace {
// The keys of a full-size PC board beyond the main block, and the right-hand modifiers, by Linux
// key code: the navigation block with its arrows, the keypad, right Ctrl and right Super.
const std::vector<int> boardKeys{99, 70, 119, 110, 102, 104, 111, 107, 109, 103, 105, 108, 106, 69, 98, 55,
                                 74, 71, 72, 73, 78, 75, 76, 77, 79, 80, 81, 96, 82, 83, 97, 126};
constexpr int keyInsert = 110, keyKeypad1 = 79, keyEnd = 107, keyPause = 119, keyUp = 103, keyMenu = 127;
} // namespace

TEST_F(KeyboardScreen, TheBoardPickerChoosesTheKeysDrawnCountedAndListedApart) {
    auto* picker = find<QComboBox>(*view, "keyboard-board");
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->accessibleName(), "Board");
    QStringList items;
    for (int i = 0; i < picker->count(); ++i) items << picker->itemText(i);
    EXPECT_EQ(items, (QStringList{"Compact (laptop)", "Tenkeyless", "Full-size"}));
    EXPECT_EQ(picker->currentText(), "Compact (laptop)");
    EXPECT_TRUE(text(*view, "keyboard-optional-note").startsWith("Dashed keys (Left Super, Right Super, Menu, Right Ctrl)"));

    tester.start();
    for (int code : {keyInsert, keyKeypad1, keyUp, keyMenu}) {
        press(code, 1000, 1.0);
        release(code, 1050, 1.05);
    }
    view->capture().flush();
    // The arrows are on a compact board, Menu counts apart once pressed; Insert and the keypad are beyond it.
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 1 of 74 required keys + 1 optional");
    EXPECT_EQ(text(*view, "keyboard-other-keys"), "Insert 1×, Keypad 1 1×");
    const int compactWidth = view->drawing().maximumWidth();

    // Picked by keyboard, as a user would: the picker has focus and the Down key moves it on.
    picker->setFocus();
    tester.stop();
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(tester.board(), RorozErurEvo::KeyboardBoard::tenkeyless);
    EXPECT_EQ(bench.defaults->string(QStringLiteral("keyboardBoard")), "tenkeyless");
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 2 of 83 required keys + 1 optional");
    EXPECT_EQ(text(*view, "keyboard-other-keys"), "Keypad 1 1×");
    EXPECT_TRUE(text(*view, "keyboard-optional-note").startsWith("Dashed keys (Left Super, Right Super, Menu, Print Screen) "));
    EXPECT_EQ(view->drawing().board(), RorozErurEvo::KeyboardBoard::tenkeyless);
    EXPECT_EQ(view->drawing().maximumWidth(), compactWidth);

    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 3 of 100 required keys + 1 optional");
    EXPECT_EQ(text(*view, "keyboard-other-keys"), "none");
    EXPECT_GT(view->drawing().maximumWidth(), compactWidth);

    // The board changed elsewhere shows here too.
    tester.setBoard(RorozErurEvo::KeyboardBoard::compact);
    EXPECT_EQ(picker->currentIndex(), 0);
}

TEST_F(KeyboardScreen, EveryKeyOfAFullSizeBoardIsDrawnCountedAndHeldTogether) {
    tester.setBoard(RorozErurEvo::KeyboardBoard::fullSize);
    tester.start();
    quint64 ms = 1000;
    for (int code : boardKeys) {
        ms += 10;
        press(code, ms, double(ms) / 1000);
    }
    EXPECT_EQ(tester.maxRollover(), int(boardKeys.size()));
    EXPECT_TRUE(text(*view, "keyboard-held").startsWith("32: Right Ctrl, "));
    for (const char* name : {"Print Screen", "Insert", "Keypad Enter", "Right Super", "Up arrow"})
        EXPECT_TRUE(text(*view, "keyboard-held").contains(QString::fromUtf8(name))) << name;
    for (int code : boardKeys) {
        ms += 10;
        release(code, ms, double(ms) / 1000);
    }
    view->capture().flush();
    // Right Super and Print Screen are pressed, so they count apart; Menu and left Super are not.
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 30 of 100 required keys + 2 optional");
    EXPECT_EQ(text(*view, "keyboard-other-keys"), "none");
    // Each of them is a key of the drawing, shown tested.
    std::set<int> drawn;
    for (const auto& cap : KeyboardGeometry::caps(RorozErurEvo::KeyboardLayout::ansi(), RorozErurEvo::KeyboardBoard::fullSize, 40))
        drawn.insert(cap.key.code);
    for (int code : view->drawing().state().tested) EXPECT_TRUE(drawn.count(code)) << code;
    EXPECT_EQ(view->drawing().state().tested.size(), boardKeys.size());
}

TEST_F(KeyboardScreen, NewKeysRepeatAndChatterLikeAnyOther) {
    tester.start();
    holdWithX11Repeats(keyInsert);
    EXPECT_EQ(text(*view, "keyboard-repeat"), "33.3 per second, after 0.5 s");
    // Keypad 1 bounces: a release and a press 20 ms apart.
    press(keyKeypad1, 11000, 201.0);
    release(keyKeypad1, 11100, 201.1);
    press(keyKeypad1, 11120, 201.12);
    release(keyKeypad1, 11200, 201.2);
    view->capture().flush();
    EXPECT_EQ(text(*view, "keyboard-chatter"), "Keypad 1 1×");
    EXPECT_EQ(view->drawing().state().chatter, (std::set<int>{RorozErurEvo::LinuxKeyCodes::lifted(keyKeypad1)}));
}

TEST_F(KeyboardScreen, KeypadKeysAreTheSameKeysWithNumLockOnOrOffAndApartFromTheNavigationBlock) {
    tester.setBoard(RorozErurEvo::KeyboardBoard::fullSize);
    tester.start();
    // With NumLock on Keypad 1 types "1"; with it off it moves to the end, like the End key.
    key(view, QEvent::KeyPress, keyKeypad1, 1000, 100.0, false, Qt::Key_1, Qt::KeypadModifier);
    key(view, QEvent::KeyRelease, keyKeypad1, 1050, 100.05, false, Qt::Key_1, Qt::KeypadModifier);
    key(view, QEvent::KeyPress, keyKeypad1, 1200, 100.2, false, Qt::Key_End, Qt::KeypadModifier);
    key(view, QEvent::KeyRelease, keyKeypad1, 1250, 100.25, false, Qt::Key_End, Qt::KeypadModifier);
    key(view, QEvent::KeyPress, keyEnd, 1400, 100.4, false, Qt::Key_End);
    key(view, QEvent::KeyRelease, keyEnd, 1450, 100.45, false, Qt::Key_End);
    // Ctrl+Pause is Break and Alt+Print is SysRq: the same keys. Some keyboards report Break apart.
    key(view, QEvent::KeyPress, keyPause, 1600, 100.6, false, Qt::Key_Pause, Qt::ControlModifier);
    key(view, QEvent::KeyRelease, keyPause, 1650, 100.65, false, Qt::Key_Pause, Qt::ControlModifier);
    key(view, QEvent::KeyPress, 411, 1800, 100.8);
    key(view, QEvent::KeyRelease, 411, 1850, 100.85);
    key(view, QEvent::KeyPress, 99, 2000, 101.0, false, Qt::Key_SysReq, Qt::AltModifier);
    key(view, QEvent::KeyRelease, 99, 2050, 101.05, false, Qt::Key_SysReq, Qt::AltModifier);
    view->capture().flush();
    using RorozErurEvo::LinuxKeyCodes::lifted;
    EXPECT_EQ(tester.tested(), (std::set<int>{lifted(99), lifted(keyKeypad1), lifted(keyEnd), lifted(keyPause)}));
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 3 of 100 required keys + 1 optional");
    EXPECT_EQ(text(*view, "keyboard-chatter"), "none");
}

TEST_F(KeyboardScreen, KeysTheDrawingLacksAreListedWithTheirPresses) {
    tester.start();
    for (quint64 ms : {1000, 1500}) { // F13, twice
        press(183, ms, ms / 1000.0);
        release(183, ms + 50, ms / 1000.0 + 0.05);
    }
    press(464, 2000, 2.0); // Fn, which a keyboard reports only where the window system passes it on
    view->capture().flush();
    EXPECT_EQ(text(*view, "keyboard-other-keys"), "F13 2×, Fn 1×");
    EXPECT_EQ(text(*view, "keyboard-held"), "1: Fn");
    EXPECT_EQ(text(*view, "keyboard-progress"), "Keys tested: 0 of 74 required keys");
    EXPECT_EQ(tester.maxRollover(), 1);
    EXPECT_TRUE(view->findChild<QLabel*>(QStringLiteral("keyboard-other-keys"))->isVisible());
}

TEST_F(KeyboardScreen, ShortcutsArePausedWhileCapturing) {
    auto* quit = new QAction(&window);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    window.addAction(quit);
    int fired = 0;
    QObject::connect(quit, &QAction::triggered, [&] { ++fired; });
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    tester.start();
    QTest::keyClick(view, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(fired, 0);

    tester.stop();
    QTest::keyClick(view, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
}

TEST_F(KeyboardScreen, KeysOfAnotherWindowAreNotCaptured) {
    QWidget other;
    other.show();
    tester.start();
    key(&other, QEvent::KeyPress, keyA, 1000, 100.0);
    EXPECT_TRUE(tester.tested().empty());
}

TEST_F(KeyboardScreen, SaveAsksForTheUnitAndNamesTheDeviceAfterTheLayout) {
    model.settings().setDefaultTechnician("Robin");
    tester.start();
    press(keyA, 1000, 100.0);
    release(keyA, 1050, 100.05);
    QTest::mouseClick(find<QPushButton>(*view, "keyboard-save"), Qt::LeftButton);
    // The unit is asked first, offered as the tester's name and selected, so a serial replaces it.
    auto* dialog = view->findChild<TesterSaveDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_EQ(dialog->unitField()->text(), "Keyboard (US (ANSI))");
    // The prefilled field hides its placeholder: a visible label names it, as its accessible name does.
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("tester-unit-label"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "Unit (serial or ticket #)");
    EXPECT_EQ(label->buddy(), dialog->unitField());
    EXPECT_EQ(dialog->unitField()->accessibleName(), label->text());
    EXPECT_EQ(dialog->unitField()->selectedText(), "Keyboard (US (ANSI))");
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog->unitField());
    QTest::keyClicks(dialog->unitField(), "KB-77");
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    bench.executor->runAll(); // the file is written off the main thread
    EXPECT_EQ(model.toast(), "Saved to History: KB-77");
    QJsonObject session = onlySession();
    EXPECT_EQ(session["unit"].toString(), "KB-77");
    EXPECT_EQ(session["label"].toString(), "Tested");
    EXPECT_EQ(session["technician"].toString(), "Robin");
    EXPECT_EQ(session["device"].toObject()["name"].toString(), "Keyboard (US (ANSI))");
}

TEST_F(TesterFixture, AFailedSaveShowsTheLibrarysError) {
    KeyboardTesterView view(model.keyboard(), model.settings(), model, model.clock());
    // The session folder's place is taken by a file, so nothing can be written there.
    QDir().rmdir(model.sessionsFolder());
    QFile blocker(model.sessionsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TestLog::ExpectedWarnings logged("tessarine.model", QString::fromUtf8("Couldn't save the session \u201CKeyboard"));
    QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("keyboard-save")), Qt::LeftButton);
    QTest::mouseClick(view.findChild<TesterSaveDialog*>()->saveButton(), Qt::LeftButton);
    bench.executor->runAll();
    EXPECT_EQ(logged.count(), 1);
    ASSERT_TRUE(model.toast());
    EXPECT_TRUE(QString::fromStdString(*model.toast()).startsWith("Couldn't save the session: "));
}

namespace {

struct MouseScreen : TesterFixture {
    MouseTesterView view{model.mouse(), model.settings(), model, model.clock()};
    MousePad& pad = view.pad();
    MouseTester& tester = model.mouse();

    MouseScreen() {
        view.resize(900, 640);
        view.show();
    }

    void mouse(QEvent::Type type, Qt::MouseButton button, quint64 ms) {
        bench.clock.set(100.0 + ms / 1000.0);
        QMouseEvent event(type, QPointF(50, 50), QPointF(50, 50), QPointF(50, 50), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        event.setTimestamp(ms);
        QApplication::sendEvent(&pad, &event);
    }
    void wheel(QPoint pixels, QPoint angle, quint64 ms) {
        bench.clock.set(100.0 + ms / 1000.0);
        QWheelEvent event(QPointF(50, 50), QPointF(50, 50), pixels, angle, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        event.setTimestamp(ms);
        QApplication::sendEvent(&pad, &event);
    }
};

} // namespace

TEST_F(MouseScreen, ADoubleClickSoonAfterAReleaseIsOneChatter) {
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, 1000);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 1010);
    mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, 1050); // the second press, as Qt sends it
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 1060);
    EXPECT_EQ(tester.counts().at(0), 2);
    EXPECT_EQ(text(view, "mouse-count-0"), "2");
    auto chatter = RorozErurEvo::ChatterAnalysis::analyze(tester.events(), model.thresholds().mouseChatterMs);
    EXPECT_EQ(RorozErurEvo::ChatterAnalysis::total(chatter), 1);
    EXPECT_EQ(pad.accessibleValue(), "Clicks: Left 2, Right 0, Middle 0, Back (4) 0, Forward (5) 0");
}

TEST_F(MouseScreen, ARightClickCountsAndOpensNoMenu) {
    EXPECT_EQ(pad.contextMenuPolicy(), Qt::PreventContextMenu);
    mouse(QEvent::MouseButtonPress, Qt::RightButton, 1000);
    mouse(QEvent::MouseButtonRelease, Qt::RightButton, 1100);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(50, 50), pad.mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(&pad, &menu);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(tester.counts().at(1), 1);
}

TEST_F(MouseScreen, WheelNotchesAndSmoothScrolling) {
    for (quint64 ms : {1000, 1050, 1100}) wheel({}, {0, 120}, ms);
    // A high-resolution wheel sends a notch in parts.
    wheel({}, {0, -60}, 1150);
    wheel({}, {0, -60}, 1160);
    EXPECT_EQ(text(view, "mouse-steps"), "Steps up: 3   down: 1");
    EXPECT_EQ(view.findChild<QWidget*>(QStringLiteral("mouse-reversals"))->accessibleName(),
              "1 reversal (a step the wrong way)");
    EXPECT_FALSE(view.findChild<QLabel*>(QStringLiteral("mouse-smooth"))->isVisible());

    wheel({0, 14}, {0, 0}, 2000); // a touchpad: pixels only
    EXPECT_EQ(tester.smoothScrolls(), 1);
    EXPECT_EQ(text(view, "mouse-steps"), "Steps up: 3   down: 1");
    EXPECT_TRUE(view.findChild<QLabel*>(QStringLiteral("mouse-smooth"))->isVisible());
}

TEST_F(MouseScreen, ASixthButtonIsInTheResultButNotTheButtonsBox) {
    mouse(QEvent::MouseButtonPress, Qt::ExtraButton3, 1000);
    mouse(QEvent::MouseButtonRelease, Qt::ExtraButton3, 1100);
    EXPECT_EQ(tester.counts().at(5), 1);
    EXPECT_EQ(view.findChild<QLabel*>(QStringLiteral("mouse-count-5")), nullptr);
    EXPECT_FALSE(pad.accessibleValue().contains("Button 6"));
    auto result = tester.results(model.thresholds().mouseChatterMs);
    bool named = false;
    for (const auto& line : result.details) named = named || line.find("Button 6") != std::string::npos;
    for (const auto& measure : result.measures) named = named || measure.label.find("Button 6") != std::string::npos;
    EXPECT_TRUE(named);
}

// Moves stamped to the whole millisecond, as the window system stamps them, read the rate the
// mouse sent; a mouse whose moves mostly share their millisecond is told only as a floor. The
// moves of the last case arrive in bunches, late, as on a loaded machine: their stamps, not
// their arrival, make the rate.
TEST_F(MouseScreen, MovesStampedToTheMillisecondReadTheRateTheMouseSent) {
    const auto* label = view.findChild<QLabel*>(QStringLiteral("mouse-rate"));
    ASSERT_NE(label, nullptr);
    const QString floor = QStringLiteral("\u2265 1,000 reports/s (the system times events to the millisecond)");
    const auto hertz = [&] { // the number in "About 1,234 Hz while moving"
        QString digits;
        for (QChar c : label->text())
            if (c.isDigit()) digits += c;
        return digits.toDouble();
    };
    quint64 base = 10'000;
    const auto moves = [&](double perSecond, int bunch) {
        tester.reset();
        base += 10'000;
        const int count = static_cast<int>(perSecond * 1.5);
        for (int i = 0; i < count; ++i) {
            const quint64 ms = base + static_cast<quint64>(std::floor(i * 1000.0 / perSecond));
            // Arrival: at the stamp, or with the end of its bunch.
            const int last = std::min(count - 1, (i / bunch + 1) * bunch - 1);
            const quint64 arrival = base + static_cast<quint64>(std::floor(last * 1000.0 / perSecond));
            bench.clock.set(100.0 + arrival / 1000.0);
            QMouseEvent event(QEvent::MouseMove, QPointF(50, 50 + i % 7), QPointF(50, 50 + i % 7),
                              QPointF(50, 50 + i % 7), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            event.setTimestamp(ms);
            QApplication::sendEvent(&pad, &event);
        }
    };
    for (double perSecond : {400.0, 500.0, 800.0}) {
        moves(perSecond, 1);
        EXPECT_TRUE(label->text().startsWith(QStringLiteral("About "))) << label->text().toStdString();
        EXPECT_NEAR(hertz(), perSecond, perSecond * 0.05) << label->text().toStdString();
    }
    moves(2000, 1);
    EXPECT_TRUE(label->text() == floor || std::abs(hertz() - 2000) <= 100) << label->text().toStdString();
    moves(500, 25);
    EXPECT_NEAR(hertz(), 500, 25) << label->text().toStdString();
}

TEST_F(MouseScreen, MotionCompressionIsOffOnlyWhileShown) {
    EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
    view.hide();
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
    view.show();
    EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents));
}

TEST_F(MouseScreen, HoldCheckCountsUpAndSavesAsMouse) {
    QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("mouse-hold-start")), Qt::LeftButton);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, 1000);
    // The text follows the clock at the next refresh, without any event from the mouse.
    bench.clock.set(103.5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(view, "mouse-holding") == "Holding… 2.5 of 5 s"; }, 5000));
    bench.clock.set(109.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(view, "mouse-holding") == "Holding… 5 of 5 s"; }, 5000));

    QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("mouse-save")), Qt::LeftButton);
    QPointer<TesterSaveDialog> dialog = view.findChild<TesterSaveDialog*>();
    ASSERT_TRUE(dialog);
    QTest::keyClick(dialog->unitField(), Qt::Key_Escape);
    EXPECT_TRUE(sessionFiles().isEmpty()) << "Escape saves nothing";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dialog);

    QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("mouse-save")), Qt::LeftButton);
    dialog = view.findChild<TesterSaveDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->unitField()->selectedText(), "Mouse");
    QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
    bench.executor->runAll();
    EXPECT_EQ(model.toast(), "Saved to History: Mouse");
    EXPECT_EQ(onlySession()["unit"].toString(), "Mouse");
    EXPECT_EQ(onlySession()["device"].toObject()["name"].toString(), "Mouse");
}
