#pragma once
// The user defaults. The application keeps them in QSettings (organisation "com.quenlow",
// application "Tessarine"); tests use the in-memory store. An INI file gives every value back as
// text, so values are read through the typed readers below rather than trusted as stored.
#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace Tessarine {

class Preferences {
public:
    virtual ~Preferences() = default;
    // An invalid QVariant when the key is absent.
    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;

    // Typed readers: absent when the key is missing or its value is not of the type.
    std::optional<bool> boolean(const QString& key) const;
    std::optional<double> number(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;

    void setBoolean(const QString& key, bool value) { setValue(key, value); }
    void setNumber(const QString& key, double value) { setValue(key, value); }
    void setString(const QString& key, const QString& value) { setValue(key, value); }
    void setData(const QString& key, const QByteArray& value) { setValue(key, value); }
};

// The user's settings file (~/.config/com.quenlow/Tessarine.conf).
class SettingsPreferences final : public Preferences {
public:
    SettingsPreferences();
    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

private:
    std::unique_ptr<QSettings> settings_;
};

// A store that lives only as long as the object: for tests and models that do not persist.
class MemoryPreferences final : public Preferences {
public:
    QVariant value(const QString& key) const override { return values_.value(key); }
    void setValue(const QString& key, const QVariant& value) override { values_.insert(key, value); }
    void remove(const QString& key) override { values_.remove(key); }
    const QVariantMap& values() const { return values_; }

private:
    QVariantMap values_;
};

} // namespace Tessarine
