#include "app/report/LogoFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "testkit/BoundedFile.h"

namespace Tessarine::LogoFile {

Picture read(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    auto content = RorozErurEvo::BoundedFile::read(std::string(local.constData(), static_cast<std::size_t>(local.size())),
                                                   maxBytes);
    if (!content.text) return Picture{QImage(), QString::fromStdString(content.error), content.missing, false};
    QByteArray bytes = QByteArray::fromStdString(*content.text);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) return Picture{QImage(), reader.errorString(), false, true};
    return Picture{std::move(image), QString(), false, true};
}

} // namespace Tessarine::LogoFile
