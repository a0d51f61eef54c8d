// The main window opens wholly on a screen: a laptop's, one narrower than its preferred width,
// and after a place kept from a larger monitor; and still wholly once the window manager's real
// frame turns out larger than the one assumed.
#include "app/views/kit/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace Tessarine;
using WindowPlacement::place;

namespace {

const QSize preferred(1320, 885); // the main window's first size with its menu bar
const QSize minimum(1000, 685);
const QMargins frame(4, 40, 4, 4);

// Whole on the screen's free area, frame and all, and never below the minimum.
void expectFits(const QRect& geometry, const QRect& available) {
    EXPECT_TRUE(available.contains(geometry.marginsAdded(frame)))
        << geometry.x() << "," << geometry.y() << " " << geometry.width() << "x" << geometry.height();
    EXPECT_GE(geometry.width(), minimum.width());
    EXPECT_GE(geometry.height(), minimum.height());
}

} // namespace

TEST(WindowPlacement, TheFirstWindowFitsTheScreenItOpensOn) {
    // A 1366 × 768 laptop with a 32-pixel panel at the top.
    const QRect laptop(0, 32, 1366, 736);
    const QRect first = place(std::nullopt, preferred, minimum, frame, {laptop}, 0);
    expectFits(first, laptop);
    // As wide as it wants, as tall as the screen allows.
    EXPECT_EQ(first.width(), preferred.width());
    EXPECT_EQ(first.height(), laptop.height() - frame.top() - frame.bottom());

    // 1280 × 1000: narrower than the window wants; as tall as it wants, centred.
    const QRect narrow(0, 0, 1280, 1000);
    const QRect onNarrow = place(std::nullopt, preferred, minimum, frame, {narrow}, 0);
    expectFits(onNarrow, narrow);
    EXPECT_EQ(onNarrow.width(), narrow.width() - frame.left() - frame.right());
    EXPECT_EQ(onNarrow.height(), preferred.height());
    EXPECT_EQ(onNarrow.marginsAdded(frame).center().y(), narrow.center().y());

    // A large screen: the preferred size, centred on the screen the window opens on.
    const QRect left(0, 0, 1920, 1080), right(1920, 0, 2560, 1440);
    const QRect onRight = place(std::nullopt, preferred, minimum, frame, {left, right}, 1);
    EXPECT_EQ(onRight.size(), preferred);
    EXPECT_EQ(onRight.marginsAdded(frame).center(), right.center());

    // A screen smaller than the minimum: the minimum, its top-left corner on the screen.
    const QRect tiny(0, 0, 800, 600);
    const QRect onTiny = place(std::nullopt, preferred, minimum, frame, {tiny}, 0);
    EXPECT_EQ(onTiny.size(), minimum);
    EXPECT_EQ(onTiny.marginsAdded(frame).topLeft(), tiny.topLeft());
}

TEST(WindowPlacement, APlaceKeptFromALargerScreenComesBackWholeOnASmallerOne) {
    const QRect laptop(0, 0, 1366, 768);
    // Kept on a 1920 × 1080 monitor: large, towards its lower right.
    const QRect kept(560, 300, 1800, 1000);
    const QRect back = place(kept, preferred, minimum, frame, {laptop}, 0);
    expectFits(back, laptop);
    EXPECT_EQ(back.marginsAdded(frame).size(), laptop.size());

    // Kept on a second monitor that is gone: back on the first screen, its size kept where it fits.
    const QRect gone(2000, 100, 1100, 700);
    const QRect fromGone = place(gone, preferred, minimum, frame, {laptop}, 0);
    expectFits(fromGone, laptop);
    EXPECT_EQ(fromGone.size(), gone.size());

    // Kept on a second monitor that is there: it stays where it was.
    const QRect second(1366, 0, 1920, 1080);
    EXPECT_EQ(place(gone, preferred, minimum, frame, {laptop, second}, 0), gone);

    // Hanging off an edge of its screen: moved on, its size kept.
    const QRect hanging(-300, 600, 1100, 700);
    const QRect moved = place(hanging, preferred, minimum, frame, {laptop, second}, 0);
    expectFits(moved, laptop);
    EXPECT_EQ(moved.size(), hanging.size());

    // A hand-edited size below the minimum opens at the minimum.
    EXPECT_EQ(place(QRect(10, 50, 300, 200), preferred, minimum, frame, {laptop}, 0).size(), minimum);
}

TEST(WindowPlacement, AWindowWhoseRealFrameReachesPastTheScreenIsPlacedAgainWithIt) {
    using WindowPlacement::refit;
    const QRect laptop(0, 0, 1366, 768);
    // A thin title bar and a thicker bottom edge: the assumed frame's bottom is 1 pixel short.
    const QMargins real(1, 20, 1, 5);
    const std::optional<QRect> kept = QRect(560, 300, 1800, 1000); // from a 1920 × 1080 monitor
    for (const std::optional<QRect>& saved : {std::optional<QRect>(), kept}) {
        const QRect assumed = WindowPlacement::opening(saved, preferred, minimum, frame, {laptop}, 0);
        ASSERT_FALSE(laptop.contains(assumed.marginsAdded(real)));
        const std::optional<QRect> again = refit(assumed, real, saved, preferred, minimum, {laptop}, 0);
        ASSERT_TRUE(again);
        // Wholly on the screen, and as tall as the real frame lets it be: no row is left unused.
        EXPECT_TRUE(laptop.contains(again->marginsAdded(real)));
        EXPECT_EQ(again->marginsAdded(real).top(), laptop.top());
        EXPECT_EQ(again->marginsAdded(real).bottom(), laptop.bottom());
    }

    // A window that fits with its real frame stays where it is, though rows are unused: a frame
    // smaller than assumed, none (no window manager), or a place on the second screen.
    // The place it was fitted to comes back as it was kept: the assumed frame would not have it fit.
    const QRect fitted = *refit(place(kept, preferred, minimum, frame, {laptop}, 0), real, kept, preferred, minimum, {laptop}, 0);
    EXPECT_EQ(WindowPlacement::opening(fitted, preferred, minimum, frame, {laptop}, 0), fitted);
    EXPECT_FALSE(refit(fitted, real, fitted, preferred, minimum, {laptop}, 0));
    // Kept where no window manager framed it, it is fitted once the frame is known.
    EXPECT_EQ(WindowPlacement::opening(laptop, preferred, minimum, frame, {laptop}, 0), laptop);
    EXPECT_EQ(refit(laptop, real, laptop, preferred, minimum, {laptop}, 0), laptop.marginsRemoved(real));

    const QRect first = place(std::nullopt, preferred, minimum, frame, {laptop}, 0);
    for (const QMargins& fits : {QMargins(2, 30, 2, 2), QMargins()})
        EXPECT_FALSE(refit(first, fits, std::nullopt, preferred, minimum, {laptop}, 0));
    const QRect second(1366, 0, 1920, 1080);
    const QRect there(1500, 100, 1100, 700);
    EXPECT_FALSE(refit(there, real, there, preferred, minimum, {laptop, second}, 0));
    // A screen smaller than the minimum holds no placing that fits: the window is left alone.
    const QRect tiny(0, 0, 800, 600);
    const QRect onTiny = place(std::nullopt, preferred, minimum, frame, {tiny}, 0);
    EXPECT_FALSE(refit(onTiny, frame, std::nullopt, preferred, minimum, {tiny}, 0));
}

TEST(WindowPlacement, TheKeptTextReadsBackAndAnythingElseIsPassedOver) {
    using WindowPlacement::Saved;
    for (const Saved& saved : {Saved{QRect(-1200, 40, 1320, 724), false}, Saved{QRect(0, 0, 1910, 1050), true}})
        EXPECT_EQ(WindowPlacement::fromText(WindowPlacement::text(saved)), saved);
    EXPECT_EQ(WindowPlacement::text({QRect(23, 40, 1320, 724), true}), "23,40,1320,724,maximized");
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "a,2,3,4", "1,2,0,4", "1,2,3,-4", "1,2,3,4,minimized",
                            "1, 2, 3, 4x", "1,2,3,99999999"})
        EXPECT_FALSE(WindowPlacement::fromText(QString::fromLatin1(bad))) << bad;
}

TEST(WindowPlacement, AWindowTakesItsPlaceAndGivesItBack) {
    // The offscreen screen is smaller than the window's first size: the window fills it.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(screen.width(), 1320);
    QWidget window;
    window.setMinimumSize(500, 400);
    window.resize(1320, 860);
    WindowPlacement::restore(window, std::nullopt);
    EXPECT_EQ(window.geometry(), screen);

    WindowPlacement::restore(window, WindowPlacement::Saved{QRect(100, 50, 600, 500), true});
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
    const WindowPlacement::Saved kept = WindowPlacement::current(window);
    EXPECT_TRUE(kept.maximized);
}

TEST(WindowPlacement, AShownWindowIsFittedToTheFrameItWasGiven) {
    // No frame is assumed offscreen, so the window first fills the screen; the platform frames it
    // as it shows, 2 pixels every way.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.setMinimumSize(300, 200);
    window.resize(1320, 860);
    WindowPlacement::restore(window, std::nullopt);
    EXPECT_EQ(window.geometry(), screen);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QMargins drawn = WindowPlacement::frameOf(window);
    ASSERT_FALSE(drawn.isNull());
    EXPECT_EQ(window.frameGeometry(), screen);
    EXPECT_EQ(window.geometry(), screen.marginsRemoved(drawn));
    window.close();

    // A window that fits with its frame is not moved, nor one that opens maximised.
    for (const bool maximized : {false, true}) {
        QWidget fits;
        fits.setMinimumSize(300, 200);
        const QRect kept(screen.topLeft() + QPoint(40, 60), QSize(300, 200));
        WindowPlacement::restore(fits, WindowPlacement::Saved{kept, maximized});
        fits.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&fits));
        if (!maximized) {
            EXPECT_EQ(fits.geometry(), kept);
        }
        EXPECT_EQ(fits.isMaximized(), maximized);
        fits.close();
    }
}
