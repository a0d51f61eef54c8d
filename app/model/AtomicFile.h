#pragma once
// The atomic file writer (testkit/AtomicFile.h) for Qt's paths and bytes.
#include <QByteArray>
#include <QString>

#include <optional>

namespace Tessarine::AtomicFile {

// Absent on success; else "could not … “<path>”: <the system's description>".
std::optional<QString> write(const QString& path, const QByteArray& data);

} // namespace Tessarine::AtomicFile
