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
