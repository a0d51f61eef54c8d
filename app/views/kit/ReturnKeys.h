#pragma once
// Return and the keypad's Enter both confirm: a view that finishes something on Return takes
// both keys, within the context given (a shortcut acts only while its parent is visible and
// enabled). One press acts once: the repeats of a held key do nothing, so a key held a moment
// too long never confirms what the first press opened.
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include <array>

namespace Tessarine {

// The shortcuts made, Return's first.
template <typename Receiver, typename Slot>
std::array<QShortcut*, 2> onReturnKeys(QWidget* parent, Qt::ShortcutContext context, const Receiver* receiver,
                                       Slot slot) {
    std::array<QShortcut*, 2> made{};
    const int keys[] = {Qt::Key_Return, Qt::Key_Enter};
    for (size_t i = 0; i < made.size(); ++i) {
        auto* shortcut = new QShortcut(QKeySequence(keys[i]), parent);
        shortcut->setContext(context);
        shortcut->setAutoRepeat(false);
        QObject::connect(shortcut, &QShortcut::activated, receiver, slot);
        made[i] = shortcut;
    }
    return made;
}

} // namespace Tessarine
