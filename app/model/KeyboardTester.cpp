#include "app/model/KeyboardTester.h"

#include "app/base/Logging.h"
#include "app/model/Preferences.h"
#include "testkit/KeyboardResult.h"

namespace Tessarine {

using namespace RorozErurEvo;

KeyboardTester::KeyboardTester(Preferences& preferences, QObject* parent) : QObject(parent), preferences_(preferences) {
    layoutKind_ = preferences_.get(Settings::keyboardLayout) == QStringLiteral("iso") ? Kind::iso : Kind::ansi;
    const QString board = preferences_.get(Settings::keyboardBoard);
    if (const auto known = fromRawValue<Board>(board.toStdString()))
        board_ = *known;
    else
        qCWarning(logModel).noquote() << QStringLiteral("The keyboard board \u201C%1\u201D in the settings is none "
                                                        "Tessarine knows; the compact board applies.")
                                             .arg(board.left(64));
}

void KeyboardTester::setLayoutKind(Kind kind) {
    bool change = kind != layoutKind_;
    layoutKind_ = kind;
    preferences_.set(Settings::keyboardLayout, QString::fromStdString(rawValue(kind)));
    if (change) emit changed();
}

void KeyboardTester::setBoard(Board board) {
    bool change = board != board_;
    board_ = board;
    preferences_.set(Settings::keyboardBoard, QString::fromStdString(rawValue(board)));
    if (change) emit changed();
}

std::string KeyboardTester::inputName(int code) { return KeyboardResult::inputName(code); }

void KeyboardTester::start() {
    if (capturing_) return;
    capturing_ = true;
    emit changed();
}

void KeyboardTester::stop() {
    bool change = capturing_ || !held_.empty();
    capturing_ = false;
    held_.clear();
    if (change) emit changed();
}

void KeyboardTester::reset() {
    held_.clear();
    tested_.clear();
    events_.clear();
    rolloverKeys_.clear();
    downAt_.clear();
    repeatTimes_.clear();
    maxRollover_ = 0;
    lastKey_.reset();
    repeatDelay_.reset();
    repeatRate_.reset();
    emit changed();
}

void KeyboardTester::tick(double now) {
    if (capturing_ && escSince_ && held_.count(escCode) && now - *escSince_ >= escHoldSeconds) stop();
}

bool KeyboardTester::linuxKey(int linuxCode, bool down, bool autoRepeat, double t) {
    if (!capturing_) return false;
    // The window system fakes a release before every auto-repeated press; the key never went up.
    if (!down && autoRepeat) return true;
    return key(LinuxKeyCodes::toKeyCode(linuxCode, layoutKind_), down, autoRepeat, t);
}

bool KeyboardTester::key(int code, bool down, bool isRepeat, double t) {
    if (!capturing_) return false;
    if (!down) {
        if (code == escCode) escSince_.reset();
        record(code, false, t);
        return true;
    }
    // A press of a key that is already down is the system repeating it, whatever its flag says.
    if (isRepeat || held_.count(code)) {
        repeat(code, t);
        return true;
    }
    if (code == escCode) escSince_ = t;
    record(code, true, t);
    return true;
}

void KeyboardTester::repeat(int code, double t) {
    auto since = downAt_.find(code);
    if (since != downAt_.end()) {
        if (repeatTimes_.empty()) repeatDelay_ = t - since->second;
        repeatTimes_.push_back(t);
        if (repeatTimes_.size() >= 3) {
            double span = repeatTimes_.back() - repeatTimes_.front();
            repeatRate_ = span > 0 ? std::optional<double>(static_cast<double>(repeatTimes_.size() - 1) / span)
                                   : std::nullopt;
        }
        emit changed();
    }
    if (code == escCode && escSince_ && t - *escSince_ >= escHoldSeconds) stop();
}

void KeyboardTester::record(int code, bool down, double t) {
    if (down) {
        if (!held_.insert(code).second) return;
        tested_.insert(code);
        lastKey_ = code;
        downAt_[code] = t;
        repeatTimes_.clear();
        if (static_cast<int>(held_.size()) > maxRollover_) {
            maxRollover_ = static_cast<int>(held_.size());
            rolloverKeys_.assign(held_.begin(), held_.end());
        }
    } else {
        if (!held_.erase(code)) return;
    }
    events_.push_back(ButtonEvent{inputName(code), down, t});
    emit changed();
}

TestResult KeyboardTester::results(double chatterWindowMs, Date date) const {
    return KeyboardResult::result(KeyboardLayout::layout(layoutKind_), board_,
                                  {tested_, events_, maxRollover_, repeatRate_}, chatterWindowMs, date);
}

} // namespace Tessarine
