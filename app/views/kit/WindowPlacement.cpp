#include "app/views/kit/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace Tessarine::WindowPlacement {

namespace {

const QString maximizedWord = QStringLiteral("maximized");

// The area two rectangles share, pixels.
long long overlap(const QRect& a, const QRect& b) {
    const QRect shared = a.intersected(b);
    return shared.isEmpty() ? 0 : static_cast<long long>(shared.width()) * shared.height();
}

} // namespace

QString text(const Saved& saved) {
    const QRect& g = saved.geometry;
    QString out = QStringLiteral("%1,%2,%3,%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    if (saved.maximized) out += QLatin1Char(',') + maximizedWord;
    return out;
}

std::optional<Saved> fromText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4 && !(parts.size() == 5 && parts[4] == maximizedWord)) return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        // Far past any screen: not a place this program wrote.
        if (!ok || std::abs(numbers[i]) > 100000) return std::nullopt;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0) return std::nullopt;
    return Saved{QRect(numbers[0], numbers[1], numbers[2], numbers[3]), parts.size() == 5};
}

QMargins assumedFrame() {
    // An X11 window manager's frame, or on Wayland the compositor's or Qt's own title bar, lies
    // outside the window's geometry; a window drawn offscreen has none.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return {};
    // Pixels: a title bar as tall as the common desktops' (from 24 to 37) and thin borders.
    return {4, 40, 4, 4};
}

QRect moveInto(QRect outer, QRect available) {
    // Right and bottom edges first, then left and top, so that the top-left corner wins when
    // the rectangle is larger than the area.
    if (outer.right() > available.right()) outer.moveRight(available.right());
    if (outer.bottom() > available.bottom()) outer.moveBottom(available.bottom());
    if (outer.left() < available.left()) outer.moveLeft(available.left());
    if (outer.top() < available.top()) outer.moveTop(available.top());
    return outer;
}

QRect place(const std::optional<QRect>& saved, QSize preferred, QSize minimum, QMargins frame,
            const std::vector<QRect>& screens, std::size_t first) {
    if (screens.empty()) return QRect(saved ? saved->topLeft() : QPoint(), (saved ? saved->size() : preferred).expandedTo(minimum));
    first = std::min(first, screens.size() - 1);
    std::size_t on = first;
    if (saved) {
        // The screen holding most of the saved frame; none: it has gone.
        long long most = 0;
        const QRect outer = saved->marginsAdded(frame);
        for (std::size_t i = 0; i < screens.size(); ++i) {
            if (const long long shared = overlap(outer, screens[i]); shared > most) {
                most = shared;
                on = i;
            }
        }
    }
    const QRect available = screens[on];
    // The largest size whose frame fits the screen, then never below the minimum.
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = (saved ? saved->size() : preferred).boundedTo(room).expandedTo(minimum);
    QRect outer(QPoint(), size.grownBy(frame));
    if (saved)
        outer.moveTopLeft(saved->marginsAdded(frame).topLeft());
    else
        outer.moveCenter(available.center());
    return moveInto(outer, available).marginsRemoved(frame);
}

void restore(QWidget& window, const std::optional<Saved>& saved) {
    std::vector<QRect> screens;
    std::size_t first = 0;
    const QScreen* opensOn = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == opensOn) first = screens.size();
        screens.push_back(screen->availableGeometry());
    }
    const QSize minimum = window.minimumSizeHint().expandedTo(window.minimumSize());
    const std::optional<QRect> from = saved ? std::optional(saved->geometry) : std::nullopt;
    window.setGeometry(place(from, window.size(), minimum, assumedFrame(), screens, first));
    if (saved && saved->maximized) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

Saved current(const QWidget& window) {
    // The size and place it goes back to when it is no longer maximised.
    const bool maximized = window.isMaximized();
    return {maximized || window.isFullScreen() ? window.normalGeometry() : window.geometry(), maximized};
}

} // namespace Tessarine::WindowPlacement
