#pragma once
// The keyboard tester: which keys are down and which have ever been pressed, the press and
// release log, rollover, the key-repeat delay and rate, and the Esc hold that ends capture.
// Events come from the tester screen with explicit times (seconds of uptime), so the model is
// driven without a window in tests.
#include <QObject>

#include <optional>
#include <set>
#include <vector>

#include "testkit/Date.h"
#include "testkit/KeyboardLayout.h"
#include "testkit/Samples.h"
#include "testkit/TestResult.h"

namespace Tessarine {

class Preferences;

class KeyboardTester : public QObject {
    Q_OBJECT
public:
    using Kind = RorozErurEvo::KeyboardLayout::Kind;
    using Board = RorozErurEvo::KeyboardBoard;
    static constexpr int escCode = 53;
    static constexpr double escHoldSeconds = 1.5; // holding Esc this long ends capture

    explicit KeyboardTester(Preferences& preferences, QObject* parent = nullptr);

    Kind layoutKind() const { return layoutKind_; }
    // Every assignment writes "keyboardLayout", also one that keeps the kind.
    void setLayoutKind(Kind kind);
    // The size of board the result expects; every assignment writes "keyboardBoard".
    Board board() const { return board_; }
    void setBoard(Board board);

    bool capturing() const { return capturing_; }
    const std::set<int>& held() const { return held_; }
    const std::set<int>& tested() const { return tested_; }
    const std::vector<RorozErurEvo::ButtonEvent>& events() const { return events_; }
    int maxRollover() const { return maxRollover_; }
    const std::vector<int>& rolloverKeys() const { return rolloverKeys_; }
    std::optional<int> lastKey() const { return lastKey_; }
    std::optional<double> repeatDelay() const { return repeatDelay_; }
    std::optional<double> repeatRate() const { return repeatRate_; }

    void start();
    void stop();
    void reset();
    void tick(double now);

    // A key event as Linux reports it (evdev code), mapped onto the layout in use. An auto-repeat
    // release is ignored; an auto-repeat press, or a press of a key that is already down, is a
    // repeat. Returns whether the event was taken (capture on).
    bool linuxKey(int linuxCode, bool down, bool autoRepeat, double t);
    // The same for a key already in the layout's codes.
    bool key(int code, bool down, bool isRepeat, double t);
    void record(int code, bool down, double t);

    RorozErurEvo::TestResult results(double chatterWindowMs,
                                     RorozErurEvo::Date date = RorozErurEvo::Dates::now()) const;

    static std::string inputName(int code);

signals:
    void changed();

private:
    void repeat(int code, double t);

    Preferences& preferences_;
    Kind layoutKind_ = Kind::ansi;
    Board board_ = Board::compact;
    bool capturing_ = false;
    std::set<int> held_;
    std::set<int> tested_;
    std::vector<RorozErurEvo::ButtonEvent> events_;
    int maxRollover_ = 0;
    std::vector<int> rolloverKeys_;
    std::optional<int> lastKey_;
    std::optional<double> repeatDelay_;
    std::optional<double> repeatRate_;
    std::map<int, double> downAt_;
    std::vector<double> repeatTimes_;
    std::optional<double> escSince_;
};

} // namespace Tessarine
