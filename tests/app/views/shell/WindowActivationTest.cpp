// A later launch's token brings the window forward: what the X11 startup id says, the message
// that ends the launch's feedback, and the window shown whatever the platform takes.
#include "app/views/shell/WindowActivation.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Tessarine;

TEST(WindowActivation, TheStartupIdGivesTheLaunchTimeAndTheMessageThatEndsIt) {
    using WindowActivation::launchTime;
    // As desktops make them: a launcher's own scheme, then the time of the click.
    EXPECT_EQ(launchTime("gnome-shell-1234-host-tessarine-0_TIME81922883"), 81922883u);
    EXPECT_EQ(launchTime("host;1700000000;123456;5678_TIME4294967295"), 4294967295u);
    // "_TIME" that is not a time at the end: no time to weigh.
    for (const char* none : {"", "8f5c0a1e-uuid-token", "x_TIME", "x_TIME12a", "x_TIME0", "x_TIME4294967296",
                             "x_TIME-5", "x_TIME99999999999"})
        EXPECT_FALSE(launchTime(none)) << none;

    using WindowActivation::removeMessage;
    EXPECT_EQ(removeMessage("host;1;2;3_TIME9"), "remove: ID=host;1;2;3_TIME9");
    // Quoted where a blank, a quote or a backslash would end or change the value.
    EXPECT_EQ(removeMessage(R"(my id "x"\y)"), R"(remove: ID="my id \"x\"\\y")");
}

TEST(WindowActivation, AMinimisedWindowComesBackShownAndTheTokenIsNotLeftBehind) {
    qunsetenv("XDG_ACTIVATION_TOKEN");
    QWidget window;
    window.resize(300, 200);
    window.setWindowState(Qt::WindowMinimized);
    WindowActivation::activate(window, QStringLiteral("a-token"), QStringLiteral("an-id_TIME5"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
    // No program the application starts later inherits a token spent on this.
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
}
