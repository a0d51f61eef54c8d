#pragma once
// Return and the keypad's Enter both confirm: a view that finishes something on Return takes
// both keys, within the context given (a shortcut acts only while its parent is visible and
// enabled).
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace Tessarine {

template <typename Receiver, typename Slot>
void onReturnKeys(QWidget* parent, Qt::ShortcutContext context, const Receiver* receiver, Slot slot) {
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), parent);
        shortcut->setContext(context);
        QObject::connect(shortcut, &QShortcut::activated, receiver, slot);
    }
}

} // namespace Tessarine
