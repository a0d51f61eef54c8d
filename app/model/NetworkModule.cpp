#include "app/model/NetworkModule.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace Tessarine::NetworkModule {

QStringList files(const QString& programFolder) {
    return {programFolder + QLatin1Char('/') + QLatin1String(fileName),
            programFolder + QStringLiteral("/../lib/tessarine/") + QLatin1String(fileName)};
}

FeedFetcherFactory factory(QStringList files) {
    return [files = std::move(files)]() -> MadeFetcher {
        using Make = FeedFetcher* (*)();
        for (const QString& file : files) {
            if (!QFileInfo::exists(file)) continue;
            // Never unloaded: a fetcher's code and its network threads live in it.
            QLibrary library(QFileInfo(file).canonicalFilePath());
            const auto make = reinterpret_cast<Make>(library.resolve(entry));
            // The loader's text names the file and why ("Cannot load library …: (… invalid ELF header)").
            if (!make) return {nullptr, library.errorString()};
            return {std::unique_ptr<FeedFetcher>(make()), {}};
        }
        return {nullptr, QStringLiteral("%1 is missing (looked for %2)")
                             .arg(QLatin1String(fileName), files.join(QStringLiteral(", ")))};
    };
}

FeedFetcherFactory factory() { return factory(files(QCoreApplication::applicationDirPath())); }

} // namespace Tessarine::NetworkModule
