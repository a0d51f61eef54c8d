#include "app/base/Logging.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/TestLog.h"

using namespace Tessarine;

TEST(TestLog, OurWarningsFailATestThatDidNotExpectThemAndOthersPassThrough) {
    EXPECT_NONFATAL_FAILURE(qCWarning(logHID, "node vanished"), "unexpected warning [tessarine.devices.hid] node vanished");
    EXPECT_NONFATAL_FAILURE(qCCritical(logModel, "disk full"), "[tessarine.model] disk full");
    qCInfo(logSDL, "controller connected");     // information is not a failure
    qWarning("a warning of another library"); // nor is a warning outside our categories

    TestLog::ExpectedWarnings expected("tessarine.devices.hid", "vanished");
    qCWarning(logHID, "node vanished");
    EXPECT_NONFATAL_FAILURE(qCWarning(logHID, "something else"), "something else");
    EXPECT_NONFATAL_FAILURE(qCWarning(logSDL, "node vanished"), "node vanished");
    EXPECT_EQ(expected.count(), 1);
}

// Whatever category logs it and however it is put together, a message with a newline or an
// escape sequence from outside reaches the log as one line that shows them.
TEST(LogEscaping, ControlCharactersInAnyMessageReachTheLogEscaped) {
    TestLog::CapturedMessages model("tessarine.model");
    TestLog::CapturedMessages hid("tessarine.devices.hid");
    const QString name = QStringLiteral("Pad\n[tessarine.model] Quitting\x1b[2J\u0085");
    qCInfo(logHID, "%s opened", name.toUtf8().constData());
    qCDebug(logModel).noquote() << "file" << name;
    qCInfo(logModel, "plain: caf\u00E9 \\n");
    EXPECT_EQ(hid.messages(), QStringList{QStringLiteral("Pad\\n[tessarine.model] Quitting\\x1b[2J\\u0085 opened")});
    EXPECT_EQ(model.messages(), (QStringList{QStringLiteral("file Pad\\n[tessarine.model] Quitting\\x1b[2J\\u0085"),
                                             QStringLiteral("plain: caf\u00E9 \\n")}));
}
