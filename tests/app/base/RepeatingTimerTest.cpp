#include "app/base/RepeatingTimer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>

using namespace Tessarine;

TEST(QtRepeatingTimer, FiresRepeatedlyOnTheEventLoopUntilDestroyed) {
    QEventLoop loop;
    int fired = 0;
    auto timer = QtRepeatingTimer::factory()();
    timer->start(0.008, [&] {
        if (++fired == 3) loop.quit();
    });
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit); // a hung timer fails instead of hanging
    loop.exec();
    EXPECT_EQ(fired, 3);

    timer.reset();
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(fired, 3);
}
