// The main of every Qt test program: the Qt application class it needs (chosen by the build) on
// the offscreen platform, so no display is needed, and warnings of our own logging categories
// failing the test that did not expect them. Messages reach the tests' handler as the
// application's log gets them: with their control characters escaped.
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "TestLog.h"
#include "app/base/LogEscaping.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TESSARINE_TEST_APPLICATION app(argc, argv);
    Tessarine::TestLog::install();
    Tessarine::LogEscaping::install();
    return RUN_ALL_TESTS();
}
