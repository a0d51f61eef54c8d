#pragma once
// Reading a logo picture: through the bounded reader, so that a pipe or a device in its place
// hangs nobody and a huge file takes no memory, then decoded from memory. The window reads the
// report logo with it, off the main thread, and the report tool the picture it is given.
#include <QImage>
#include <QString>

#include <cstdint>

namespace Tessarine::LogoFile {

// Largest logo file read, bytes: a camera's photo is a few megabytes.
inline constexpr std::uintmax_t maxBytes = 32u * 1024 * 1024;

struct Picture {
    QImage image;         // null when it could not be read
    QString error;        // why not: "not a regular file", "larger than 32 MB", the system's or the decoder's words
    bool missing = false; // there is no file at the path
    bool decoded = false; // the file was read, and `error` is the decoder's: it holds no picture
};

// Any thread.
Picture read(const QString& path);

} // namespace Tessarine::LogoFile
