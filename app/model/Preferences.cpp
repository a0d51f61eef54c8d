#include "app/model/Preferences.h"

#include <charconv>
#include <cmath>
#include <string>

namespace Tessarine {

std::optional<bool> Preferences::boolean(const QString& key) const {
    QVariant v = value(key);
    if (!v.isValid()) return std::nullopt;
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    // The INI store writes booleans as the words true and false.
    if (v.typeId() == QMetaType::QString) {
        if (v.toString() == QLatin1String("true")) return true;
        if (v.toString() == QLatin1String("false")) return false;
    }
    return std::nullopt;
}

std::optional<double> Preferences::number(const QString& key) const {
    QVariant v = value(key);
    if (!v.isValid()) return std::nullopt;
    double result = 0;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        result = v.toDouble();
        break;
    case QMetaType::QString: {
        // Locale-free: the settings file is shared by every locale the user may switch to.
        std::string text = v.toString().trimmed().toStdString();
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
        if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
        break;
    }
    default:
        return std::nullopt;
    }
    if (!std::isfinite(result)) return std::nullopt;
    return result;
}

std::optional<QString> Preferences::string(const QString& key) const {
    QVariant v = value(key);
    if (!v.isValid() || v.typeId() != QMetaType::QString) return std::nullopt;
    return v.toString();
}

std::optional<QByteArray> Preferences::data(const QString& key) const {
    QVariant v = value(key);
    if (!v.isValid()) return std::nullopt;
    if (v.typeId() == QMetaType::QByteArray) return v.toByteArray();
    if (v.typeId() == QMetaType::QString) return v.toString().toUtf8();
    return std::nullopt;
}

SettingsPreferences::SettingsPreferences()
    : settings_(std::make_unique<QSettings>(QStringLiteral("com.quenlow"), QStringLiteral("Tessarine"))) {}

QVariant SettingsPreferences::value(const QString& key) const { return settings_->value(key); }

void SettingsPreferences::setValue(const QString& key, const QVariant& value) { settings_->setValue(key, value); }

void SettingsPreferences::remove(const QString& key) { settings_->remove(key); }

} // namespace Tessarine
