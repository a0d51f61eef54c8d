#pragma once
// A folder whose entries cannot be removed while this lives: immutable for root (who may remove
// anything from a read-only folder), read-only for anyone else. ok() says whether that worked.
#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Tessarine::TestFiles {

class Unremovable {
public:
    explicit Unremovable(const QString& folder) : path_(folder.toLocal8Bit()) {
        if (geteuid() == 0) immutable_ = setImmutable(true);
        else ok_ = ::chmod(path_.constData(), 0555) == 0;
        ok_ = ok_ || immutable_;
    }
    ~Unremovable() {
        if (immutable_) setImmutable(false);
        else ::chmod(path_.constData(), 0755);
    }
    bool ok() const { return ok_; }

private:
    bool setImmutable(bool on) {
        const int fd = ::open(path_.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }
    QByteArray path_;
    bool immutable_ = false;
    bool ok_ = false;
};

} // namespace Tessarine::TestFiles
