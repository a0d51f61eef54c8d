#include "app/model/AtomicFile.h"

#include <QFile>

#include "testkit/AtomicFile.h"

namespace Tessarine::AtomicFile {

std::optional<QString> write(const QString& path, const QByteArray& data) {
    const QByteArray local = QFile::encodeName(path);
    const auto failure = RorozErurEvo::AtomicFile::write(std::string(local.constData(), static_cast<std::size_t>(local.size())),
                                                         std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    if (!failure) return std::nullopt;
    return QString::fromStdString(*failure);
}

} // namespace Tessarine::AtomicFile
