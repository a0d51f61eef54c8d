// The application's command line: what ends the process before a window is made, and what is
// left for Qt to read.
#include <gtest/gtest.h>

#include "app/model/StartOptions.h"

using namespace Tessarine;

namespace {

std::optional<StartOptions::Exit> read(QStringList arguments) {
    arguments.prepend(QStringLiteral("/usr/bin/tessarine"));
    return StartOptions::read(arguments, QStringLiteral("1.2.3"));
}

} // namespace

TEST(StartOptions, HelpAndVersionPrintAndEndWithZero) {
    for (const char* help : {"--help", "-h"}) {
        const auto exit = read({"-platform", "offscreen", help});
        ASSERT_TRUE(exit) << help;
        EXPECT_EQ(exit->status, 0);
        EXPECT_TRUE(exit->out.startsWith("Usage: tessarine ")) << exit->out.toStdString();
        EXPECT_TRUE(exit->out.contains("--version"));
        EXPECT_TRUE(exit->err.isEmpty());
    }
    for (const char* version : {"--version", "-v"}) {
        const auto exit = read({version});
        ASSERT_TRUE(exit) << version;
        EXPECT_EQ(exit->status, 0);
        EXPECT_EQ(exit->out, "tessarine 1.2.3\n");
    }
}

TEST(StartOptions, QtsOwnOptionsAndNoneAtAllStartTheApplication) {
    EXPECT_FALSE(read({}));
    EXPECT_FALSE(read({"-platform", "offscreen", "--style=fusion", "-reverse", "--qwindowgeometry", "800x600",
                       "-display", ":1"}));
}

TEST(StartOptions, AnythingElseEndsWithAUsageLineAndTwo) {
    struct Case {
        QStringList arguments;
        QString message;
    };
    const std::vector<Case> cases{
        {{"--colour"}, "unknown option '--colour'"},
        {{"--helpme"}, "unknown option '--helpme'"},
        {{"-reverse=yes"}, "unknown option '-reverse=yes'"},
        {{"session.json"}, "unexpected argument 'session.json'"},
        {{"-"}, "unexpected argument '-'"},
        // A value option at the end has nothing to take.
        {{"-style"}, "option '-style' needs a value"},
        // The first mistake is reported, even with --help after it.
        {{"--bogus", "--help"}, "unknown option '--bogus'"},
        // What was typed reaches the terminal escaped, as a log line would: no colour change, no
        // line of its own.
        {{"--bogus\x1b[31m\nFORGED"}, "unknown option '--bogus\\x1b[31m\\nFORGED'"},
        {{"a\rb"}, "unexpected argument 'a\\rb'"},
        {{"-style\t"}, "unknown option '-style\\t'"},
    };
    for (const Case& c : cases) {
        const auto exit = read(c.arguments);
        ASSERT_TRUE(exit) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(exit->status, 2);
        EXPECT_TRUE(exit->out.isEmpty());
        EXPECT_EQ(exit->err, "tessarine: " + c.message + "\nUsage: tessarine [--help] [--version] [Qt options]\n");
    }
}
