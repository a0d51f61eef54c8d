#include "app/model/SettingsSchema.h"

#include <QSet>

namespace Tessarine::Settings {

namespace {

// Made on first use, so the declarations may enter their keys in any order while the program starts.
QSet<QString>& keys() {
    static QSet<QString> all;
    return all;
}

} // namespace

void declare(const char* key) { keys().insert(QString::fromLatin1(key)); }

bool declared(const QString& key) { return keys().contains(key); }

} // namespace Tessarine::Settings
