// A thread blocked in a system call that never returns is left behind instead of joined.
#include "app/base/WorkerThread.h"

#include <QTemporaryDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

using namespace Tessarine;

TEST(WorkerThread, AThreadThatEndsIsJoinedAndOneStuckInOpenIsLeftBehind) {
    WorkerThread quick([] {});
    EXPECT_TRUE(quick.join(std::chrono::seconds(10)));
    EXPECT_FALSE(quick.joinable());
    EXPECT_TRUE(quick.join(std::chrono::milliseconds(0))) << "a second join has nothing to wait for";

    QTemporaryDir dir;
    const QByteArray pipe = QFile::encodeName(dir.filePath("pipe"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    // Opening a pipe for reading waits for a writer: the thread cannot end before the test
    // opens the other side.
    auto ended = std::make_shared<std::promise<void>>();
    auto end = ended->get_future();
    const int before = WorkerThread::leftBehind();
    {
        WorkerThread stuck([pipe, ended] {
            const int fd = ::open(pipe.constData(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
            ended->set_value();
        });
        EXPECT_FALSE(stuck.join(std::chrono::milliseconds(50)));
        EXPECT_FALSE(stuck.joinable());
    } // destroying a thread left behind does not wait for it either
    EXPECT_EQ(WorkerThread::leftBehind(), before + 1);

    // The writer comes; the thread left behind ends on its own.
    const int writer = ::open(pipe.constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    end.wait();
    ::close(writer);
}
