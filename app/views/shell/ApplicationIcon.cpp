#include "app/views/shell/ApplicationIcon.h"

#include <QPixmap>
#include <QPointer>
#include <QStandardPaths>

#include <memory>
#include <set>

#include "app/base/Logging.h"
#include "app/model/BackgroundWorker.h"
#include "testkit/BoundedFile.h"
#include "testkit/IconThemeLookup.h"

namespace Tessarine::ApplicationIcon {

namespace {

// An icon image above this is not an icon.
constexpr std::uintmax_t maxImageBytes = 8 * 1024 * 1024;

// The package's own sizes, where no theme has the icon.
constexpr int packageSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

std::filesystem::path localPath(const QString& path) {
    const QByteArray local = path.toLocal8Bit();
    return std::string(local.constData(), static_cast<std::size_t>(local.size()));
}

std::vector<std::filesystem::path> localPaths(const QStringList& paths) {
    std::vector<std::filesystem::path> out;
    // Folders inside the program's resources are not on disk; the application keeps no icons there.
    for (const QString& path : paths)
        if (!path.startsWith(u':')) out.push_back(localPath(path));
    return out;
}

QImage decode(const std::filesystem::path& path) {
    const auto content = RorozErurEvo::BoundedFile::read(path, maxImageBytes);
    if (!content.text) {
        qCWarning(logModel).noquote() << "could not read the window icon" << QString::fromStdString(path.string())
                                      << "-" << QString::fromStdString(content.error);
        return {};
    }
    QImage image = QImage::fromData(QByteArray::fromStdString(*content.text));
    if (image.isNull())
        qCWarning(logModel).noquote() << "could not decode the window icon" << QString::fromStdString(path.string());
    return image;
}

} // namespace

Where current() {
    Where where;
    where.theme = QIcon::themeName();
    where.fallbackTheme = QIcon::fallbackThemeName();
    where.themeFolders = QIcon::themeSearchPaths();
    where.fallbackFolders = QIcon::fallbackSearchPaths();
    return where;
}

Found find(const QString& name, const Where& where) {
    RorozErurEvo::IconThemeLookup::Search search;
    search.name = name.toStdString();
    search.theme = where.theme.toStdString();
    search.fallbackTheme = where.fallbackTheme.toStdString();
    search.themeFolders = localPaths(where.themeFolders);
    search.fallbackFolders = localPaths(where.fallbackFolders);
    // Counted whether or not the toolkit can draw them: a theme that has the icon only as SVG is
    // left to the toolkit's own lookup below, which then decides as it always does.
    search.svg = true;
    const auto files = RorozErurEvo::IconThemeLookup::find(search);
    Found found;
    if (!files.empty()) {
        // The window system is handed the icon at each nominal size the theme lists; a scalable
        // image is drawn by the toolkit in a size no fixed image covers.
        std::set<int> fixedSizes;
        for (const auto& file : files)
            if (!file.scalable) fixedSizes.insert(file.size);
        for (const auto& file : files)
            if (file.scalable && !fixedSizes.contains(file.size)) {
                found.askToolkit = true;
                return found;
            }
        for (const auto& file : files)
            if (!file.scalable)
                if (QImage image = decode(file.path); !image.isNull()) found.images.push_back(std::move(image));
        return found;
    }
    for (int size : packageSizes) {
        const QString path = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                    QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(name));
        if (path.isEmpty()) continue;
        if (QImage image = decode(localPath(path)); !image.isNull()) found.images.push_back(std::move(image));
    }
    return found;
}

QIcon make(const QString& name, const Found& found) {
    if (found.askToolkit) return QIcon::fromTheme(name);
    QIcon icon;
    for (const QImage& image : found.images) icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

void lookUp(const QString& name, BackgroundWorker& worker, QObject* context, std::function<void(const QIcon&)> take) {
    QPointer<QObject> receiver(context);
    worker.run([name, where = current(), receiver, take = std::move(take)] {
        auto found = std::make_shared<Found>(find(name, where));
        QMetaObject::invokeMethod(
            receiver.data(),
            [name, found, take, receiver] {
                if (receiver) take(make(name, *found));
            },
            Qt::QueuedConnection);
    });
}

} // namespace Tessarine::ApplicationIcon
