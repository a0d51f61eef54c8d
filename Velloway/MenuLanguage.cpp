#include "Velloway/MenuLanguage.h"

#include <QLocale>

namespace Velloway {

namespace MenuLanguage {

const QStringList& supported() {
    static const QStringList languages{QStringLiteral("en"), QStringLiteral("es")};
    return languages;
}

QString languageCode(const QString& tag) {
    const QString code = tag.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
    return code.isEmpty() ? tag : code;
}

QString resolve(const QStringList& declared, const QStringList& preferredLocalisations, const QStringList& userLanguages) {
    const QString fallback = supported().front();
    const bool declaresOwn = std::any_of(declared.begin(), declared.end(),
                                         [](const QString& entry) { return entry != QStringLiteral("Base"); });
    if (declaresOwn) {
        const QString code = languageCode(preferredLocalisations.isEmpty() ? fallback : preferredLocalisations.front());
        return supported().contains(code) ? code : fallback;
    }
    for (const QString& language : userLanguages) {
        const QString code = languageCode(language);
        if (supported().contains(code)) return code;
    }
    return fallback;
}

const QString& current() {
    static const QString language = resolve({}, {}, QLocale::system().uiLanguages());
    return language;
}

} // namespace MenuLanguage

namespace MenuStrings {

QString closeWindowTitle(const QString& language) {
    if (language == QStringLiteral("es")) return QStringLiteral("Cerrar ventana");
    return QStringLiteral("Close Window");
}

QString helpTitle(const QString& appName, const QString& language) {
    if (language == QStringLiteral("es")) return QStringLiteral("Ayuda de %1").arg(appName);
    return QStringLiteral("%1 Help").arg(appName);
}

} // namespace MenuStrings

} // namespace Velloway
