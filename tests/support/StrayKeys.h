#pragma once
// Keys sent where the keyboard is, as the window system delivers them: shortcuts first, then the
// widget with the focus. A held key arrives as its first press followed by repeats.
#include <QApplication>
#include <QTest>
#include <QWidget>

namespace Tessarine::StrayKeys {

inline void send(bool down, int key, bool repeat) {
    if (QWidget* focus = QApplication::focusWidget())
        QTest::simulateEvent(focus, down, key, Qt::NoModifier, QString(), repeat);
}

// One press and release of the key.
inline void press(int key) {
    send(true, key, false);
    send(false, key, false);
}

// The key held down: its press, `repeats` repeated presses (each after a repeated release, as X
// sends them), then its release.
inline void hold(int key, int repeats) {
    send(true, key, false);
    for (int i = 0; i < repeats; ++i) {
        send(false, key, true);
        send(true, key, true);
    }
    send(false, key, false);
}

} // namespace Tessarine::StrayKeys
