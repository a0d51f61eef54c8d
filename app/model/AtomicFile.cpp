#include "app/model/AtomicFile.h"

#include <QSaveFile>

namespace Tessarine::AtomicFile {

std::optional<QString> write(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(data) != data.size()) {
        QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

} // namespace Tessarine::AtomicFile
