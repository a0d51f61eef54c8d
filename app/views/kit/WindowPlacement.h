#pragma once
// Where the main window opens: wholly on a screen, whatever its size. The first start opens it
// at its preferred size where the screen's free area (without panels and docks) holds it, and
// smaller where it does not, never below the window's minimum; later starts bring back the size
// and place it had when the application quit, moved and shrunk onto the screen it was on, or
// onto the first screen when that one has gone (a laptop undocked from a larger monitor).
//
// The choice is made of plain rectangles (place, below) so that it is tested without a screen.
// Geometries are without the window's frame, as Qt's are; the frame's margins are added where a
// window must fit. Before a window is shown its frame is not known, and a frame is assumed; once
// the window manager has framed the shown window, a window whose real frame does not lie wholly
// on the screen is placed again with it (refit), and one that fits stays where it is.
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

class QWidget;

namespace Tessarine::WindowPlacement {

// A window's place as the settings keep it ("x,y,width,height", then ",maximized" when it was).
struct Saved {
    QRect geometry;
    bool maximized = false;
    bool operator==(const Saved&) const = default;
};
QString text(const Saved& saved);
// Absent for text that is not a place (hand-edited, or from a build that wrote something else).
std::optional<Saved> fromText(const QString& text);

// The frame a window manager draws round a window, as far as it is known before the window has
// one: a title bar and thin borders.
QMargins assumedFrame();

// The frame `window` has now: the margins of its frame geometry round its geometry. None before
// the window is shown, and none where no window manager frames it.
QMargins frameOf(const QWidget& window);

// Moves `outer` wholly into `available`; where it is larger, its top-left corner stays on it.
QRect moveInto(QRect outer, QRect available);

// The geometry a window opens at. `screens` are the screens' free areas, `first` the index of
// the one a new window opens on. Without `saved`: `preferred`, shrunk to fit, centred on the
// first screen. With it: the saved size and place, on the screen it overlaps most (else the
// first), shrunk to fit and moved wholly onto it. Never below `minimum`.
QRect place(const std::optional<QRect>& saved, QSize preferred, QSize minimum, QMargins frame,
            const std::vector<QRect>& screens, std::size_t first);

// Where a window opens, before its frame is known: where `place` puts it with the `assumed`
// frame; but a saved place that lies wholly on a screen is kept as it is (it fitted with the
// frame drawn when it was kept, whatever the assumed one), to be fitted once that is known.
QRect opening(const std::optional<QRect>& saved, QSize preferred, QSize minimum, QMargins assumed,
              const std::vector<QRect>& screens, std::size_t first);

// Where a window that `opening` put at `geometry` goes once its real `frame` is known: nowhere
// when the real frame already lies wholly on one of the screens, so that a window that fits never
// moves; else where `place` puts it with the real frame, from the same `saved`, `preferred` and
// `minimum`.
std::optional<QRect> refit(QRect geometry, QMargins frame, const std::optional<QRect>& saved, QSize preferred,
                           QSize minimum, const std::vector<QRect>& screens, std::size_t first);

// Sets `window`'s geometry (and maximised state) before it is first shown: `saved`, brought onto
// a screen, or its first place at its present size. When the window is first exposed, framed by
// then, it is placed again if its real frame does not lie wholly on the screen; not when it opens
// maximised, which the window manager fits. Main thread.
void restore(QWidget& window, const std::optional<Saved>& saved);
// `window`'s place to keep: its size and place when not maximised, and whether it is.
Saved current(const QWidget& window);

} // namespace Tessarine::WindowPlacement
