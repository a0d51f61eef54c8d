#pragma once
// The language of the module's own two menu titles: English or Spanish.
#include <QString>
#include <QStringList>

namespace Velloway {

namespace MenuLanguage {
// Languages the module has texts for, in order; the first is the fallback.
const QStringList& supported();
// An application that declares its own translations gets the module's titles in the language of
// its first preferred one (English when it names none); otherwise the user's preferred languages
// decide, in the user's order. Tags are reduced to their language code ("es-MX" → "es").
QString resolve(const QStringList& declared, const QStringList& preferredLocalisations, const QStringList& userLanguages);
// The language for this process, computed once: the application declares no translations of
// its own, so the user's preferred languages decide.
const QString& current();
// "es" of "es-MX", "es_MX" or "es".
QString languageCode(const QString& tag);
} // namespace MenuLanguage

namespace MenuStrings {
QString closeWindowTitle(const QString& language = MenuLanguage::current());
// "<app> Help".
QString helpTitle(const QString& appName, const QString& language = MenuLanguage::current());
} // namespace MenuStrings

} // namespace Velloway
