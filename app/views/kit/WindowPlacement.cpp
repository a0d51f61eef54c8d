#include "app/views/kit/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

#include "app/base/Logging.h"

namespace Tessarine::WindowPlacement {

namespace {

const QString maximizedWord = QStringLiteral("maximized");

// The area two rectangles share, pixels.
long long overlap(const QRect& a, const QRect& b) {
    const QRect shared = a.intersected(b);
    return shared.isEmpty() ? 0 : static_cast<long long>(shared.width()) * shared.height();
}

// The screens' free areas, and which of them `window` is on (before it is shown: opens on).
struct Screens {
    std::vector<QRect> areas;
    std::size_t first = 0;
};

Screens screensOf(const QWidget& window) {
    Screens screens;
    const QScreen* on = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == on) screens.first = screens.areas.size();
        screens.areas.push_back(screen->availableGeometry());
    }
    return screens;
}

// Whether `rect` lies wholly on one of the screens.
bool onAScreen(const QRect& rect, const std::vector<QRect>& screens) {
    return std::any_of(screens.begin(), screens.end(), [&rect](const QRect& screen) { return screen.contains(rect); });
}

QSize minimumOf(const QWidget& window) { return window.minimumSizeHint().expandedTo(window.minimumSize()); }

const QString frameFitName = QStringLiteral("frame-fit");

// Places a window again, once, when it is first exposed: by then a window manager has framed it,
// and the frame it drew may be larger than the one assumed. A child of the window, gone once it
// has looked.
class FrameFit final : public QObject {
public:
    FrameFit(QWidget& window, std::optional<QRect> saved, QSize preferred)
        : QObject(&window), window_(window), saved_(saved), preferred_(preferred) {
        setObjectName(frameFitName);
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QWindow* handle = window_.windowHandle();
        // The native window exists once the widget is shown; exposed, it is on the screen.
        if (watched == &window_ && event->type() == QEvent::Show && handle) {
            handle->installEventFilter(this);
        } else if (handle && watched == handle && event->type() == QEvent::Expose && handle->isExposed()) {
            window_.removeEventFilter(this);
            handle->removeEventFilter(this);
            fit();
            deleteLater();
        }
        return false;
    }

private:
    void fit() {
        // The window manager fits a maximised or full-screen window itself.
        if (window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
        const QMargins frame = frameOf(window_);
        const Screens screens = screensOf(window_);
        const QRect geometry = window_.geometry();
        const auto better = refit(geometry, frame, saved_, preferred_, minimumOf(window_), screens.areas, screens.first);
        if (!better) return;
        qCInfo(logViews, "the window's frame (%d, %d, %d, %d pixels left, top, right, bottom) reached past the "
                         "screen at %d,%d %dx%d; placed again at %d,%d %dx%d",
               frame.left(), frame.top(), frame.right(), frame.bottom(), geometry.x(), geometry.y(), geometry.width(),
               geometry.height(), better->x(), better->y(), better->width(), better->height());
        window_.setGeometry(*better);
    }

    QWidget& window_;
    std::optional<QRect> saved_;
    QSize preferred_;
};

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

QMargins frameOf(const QWidget& window) {
    const QRect inner = window.geometry(), outer = window.frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
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

QRect opening(const std::optional<QRect>& saved, QSize preferred, QSize minimum, QMargins assumed,
              const std::vector<QRect>& screens, std::size_t first) {
    const bool kept = saved && onAScreen(*saved, screens);
    return place(saved, preferred, minimum, kept ? QMargins() : assumed, screens, first);
}

std::optional<QRect> refit(QRect geometry, QMargins frame, const std::optional<QRect>& saved, QSize preferred,
                           QSize minimum, const std::vector<QRect>& screens, std::size_t first) {
    if (screens.empty() || onAScreen(geometry.marginsAdded(frame), screens)) return std::nullopt;
    const QRect again = place(saved, preferred, minimum, frame, screens, first);
    return again == geometry ? std::nullopt : std::optional(again);
}

void restore(QWidget& window, const std::optional<Saved>& saved) {
    // A window placed twice before it shows is fitted for the second place only.
    delete window.findChild<QObject*>(frameFitName, Qt::FindDirectChildrenOnly);
    const Screens screens = screensOf(window);
    const std::optional<QRect> from = saved ? std::optional(saved->geometry) : std::nullopt;
    const QSize preferred = window.size();
    window.setGeometry(opening(from, preferred, minimumOf(window), assumedFrame(), screens.areas, screens.first));
    if (saved && saved->maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    else
        new FrameFit(window, from, preferred);
}

Saved current(const QWidget& window) {
    // The size and place it goes back to when it is no longer maximised.
    const bool maximized = window.isMaximized();
    return {maximized || window.isFullScreen() ? window.normalGeometry() : window.geometry(), maximized};
}

} // namespace Tessarine::WindowPlacement
