#pragma once
// Writing a whole file so that a reader sees the old contents or the new, never part of them:
// a temporary file in the same folder, flushed, then renamed over the old one.
#include <QByteArray>
#include <QString>

#include <optional>

namespace Tessarine::AtomicFile {

// Absent on success; else the system's description of what went wrong.
std::optional<QString> write(const QString& path, const QByteArray& data);

} // namespace Tessarine::AtomicFile
