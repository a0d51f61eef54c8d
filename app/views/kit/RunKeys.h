#pragma once
// The keys of a step that runs until the user ends it: a guided test, the wireless soak, the raw
// axis check. Escape cancels the step, and the key that started it never ends it.
//
// A step started from the keyboard was started by Space on its button, or by Return where the
// desktop's buttons take Return too. A moment later that key may come again, pressed out of
// habit or repeating because it is held; it must not end the step with a verdict. So while a
// step runs its view keeps the keyboard off its finishing button, its Return shortcuts ignore
// repeats (ReturnKeys.h), and a Return that started the step does not finish it (StartKey).
#include <QObject>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include <array>

class QAbstractButton;

namespace Tessarine {

// Which key clicked a button. Make it before connecting the button's clicked signal to the
// start of the step, so that it has noted the key when the step starts.
class StartKey : public QObject {
    Q_OBJECT

public:
    explicit StartKey(QAbstractButton* start);

    // The key that clicked the button last (Qt::Key_Space, Qt::Key_Return, …); 0 when the
    // mouse or a program clicked it, or after forget().
    int key() const { return key_; }
    // The step ended: the key no longer stands for it.
    void forget() { key_ = 0; }
    // Enables each of the Return shortcuts unless its key is the one that started the step.
    void guard(const std::array<QShortcut*, 2>& returnKeys) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int handling_ = 0; // the key whose press or release the button is handling now
    int key_ = 0;
};

// Escape, within the context given, runs the slot; a held Escape acts once, so the repeats of
// an Escape that closed a dialog never reach the window below it.
template <typename Receiver, typename Slot>
QShortcut* onEscape(QWidget* parent, Qt::ShortcutContext context, const Receiver* receiver, Slot slot) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), parent);
    shortcut->setContext(context);
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, receiver, slot);
    return shortcut;
}

} // namespace Tessarine
