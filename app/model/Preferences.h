#pragma once
// The user defaults. The application keeps them in its settings file
// (~/.config/com.quenlow/Tessarine.conf, INI text); tests use the in-memory store. The file gives
// every value back as text, so values are read through the typed readers below rather than
// trusted as stored. Every setting is declared in SettingsSchema.h and read and written through
// get and set.
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/SettingsSchema.h"
#include "app/model/SettingsWriter.h"
#include "testkit/Json.h"
#include "testkit/SettingsIni.h"

namespace Tessarine {


class Preferences {
public:
    virtual ~Preferences() = default;
    // An invalid QVariant when the key is absent.
    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;

    // Called on the main thread with the cause when the store could not keep what was set.
    std::function<void(const QString& cause)> onSaveFailed;
    // Why the stored settings could not be read at all (the file is a pipe, a device, a folder
    // or far too big), naming the file; absent when they were read or simply are not there yet.
    // The standard settings then apply, and the store never writes over what it could not read.
    virtual std::optional<QString> loadFailure() const { return std::nullopt; }
    // The first line of the stored settings that could not be read, naming the file, the line and
    // the cause, and how many more there are; absent when every line was read. Such lines stay in
    // the file as they are.
    virtual std::optional<QString> unreadLines() const { return std::nullopt; }

    // Typed readers: absent when the key is missing or its value is not of the type.
    std::optional<bool> boolean(const QString& key) const;
    std::optional<double> number(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;
    // Typed writers by key, for stores seeded by hand; the application writes through set().
    void setBoolean(const QString& key, bool value) { setValue(key, value); }
    void setNumber(const QString& key, double value) { setValue(key, value); }
    void setString(const QString& key, const QString& value) { setValue(key, value); }
    void setData(const QString& key, const QByteArray& value) { setValue(key, value); }

    // The declared settings: the stored value, or the fallback when it is absent, of another type
    // or an empty text.
    bool get(const Settings::Setting<bool>& setting) const { return boolean(setting.name()).value_or(setting.fallback); }
    double get(const Settings::Setting<double>& setting) const {
        return number(setting.name()).value_or(setting.fallback);
    }
    QString get(const Settings::Setting<QString>& setting) const;
    void set(const Settings::Setting<bool>& setting, bool value) { setValue(setting.name(), value); }
    void set(const Settings::Setting<double>& setting, double value) { setValue(setting.name(), value); }
    void set(const Settings::Setting<QString>& setting, const QString& value) { setValue(setting.name(), value); }

    // A stored record: its value, or the fallback with `failure` saying why the stored one
    // could not be read (absent when the key is simply missing).
    template <class T> struct Loaded {
        T value;
        std::optional<std::string> failure;
    };
    template <class T> Loaded<T> get(const Settings::Record<T>& record) const {
        const auto bytes = data(record.name());
        if (!value(record.name()).isValid()) return {record.fallback(), std::nullopt};
        if (!bytes) return {record.fallback(), "the stored value is not text"};
        try {
            return {T::fromJson(RorozErurEvo::Json::parse(bytes->toStdString())), std::nullopt};
        } catch (const std::exception& error) {
            return {record.fallback(), error.what()};
        }
    }
    // False, writing nothing, when the record cannot be encoded (a number that is not finite).
    template <class T> bool set(const Settings::Record<T>& record, const T& value) {
        try {
            setValue(record.name(), QByteArray::fromStdString(RorozErurEvo::Json::dump(value.toJson())));
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
};

// The user's settings file (~/.config/com.quenlow/Tessarine.conf). Read once when made, through
// the bounded reader, so a pipe or a device in its place cannot hold up the start; such a file,
// or one too big to be settings, is refused (loadFailure says why) and never written over: the
// changes of that run stay in memory. Otherwise every change is kept in memory at once and the
// whole file is then written again off the main thread by a SettingsWriter, so a slow, locked or
// full disk never holds up the window. A write that fails keeps the last good file and reports
// its cause through onSaveFailed.
//
// The file is never written larger than it is read (maxFileBytes), so no change can make the
// settings unreadable at the next start: a text that would pass the bound first loses the keys
// that are no declared setting (SettingsSchema.h), and if it is still too large it is not
// written, the file keeps the settings saved before, and onSaveFailed says why; every failed
// save is logged as it happens, at Quit too. A line of the file that is not read
// (SettingsIni::read) is logged with its cause when the file is read (past the first few, only
// their number is), said once by unreadLines(), and written back as it stood at every save: a hand
// edit this reader does not understand is never lost.
class SettingsPreferences final : public Preferences {
public:
    // `writer` null: the standard one over the standard file.
    // Largest settings file read, bytes: the settings take a few kilobytes, and a shop's every
    // family profile still fits many times over.
    static constexpr std::uintmax_t maxFileBytes = 1024 * 1024;

    explicit SettingsPreferences(std::unique_ptr<SettingsWriter> writer = nullptr);
    ~SettingsPreferences() override;
    QVariant value(const QString& key) const override { return values_.value(key); }
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;
    std::optional<QString> loadFailure() const override { return loadFailure_; }
    std::optional<QString> unreadLines() const override { return unreadLines_; }
    // The standard settings file's path (where QSettings keeps com.quenlow / Tessarine in the
    // user's scope), worked out without opening anything.
    static QString standardPath();
    // Every value of a settings file's contents, as text (bytes for a byte string).
    static QVariantMap values(const RorozErurEvo::SettingsIni::Contents& contents);
    static QVariantMap values(std::string_view text);
    // The whole text the file is written as to hold `values`, and the lines kept as they stood;
    // each value reads back as its text (a byte string as its bytes), by values() and by
    // QSettings alike.
    static QByteArray text(const QVariantMap& values, const std::vector<RorozErurEvo::SettingsIni::KeptLines>& kept = {});
    SettingsWriter& writer() { return *writer_; }

private:
    void save();
    void tellRefused(const std::vector<RorozErurEvo::SettingsIni::Refusal>& refused, std::size_t refusedLines);

    QVariantMap values_;
    std::vector<RorozErurEvo::SettingsIni::KeptLines> kept_;
    std::unique_ptr<SettingsWriter> writer_;
    std::optional<QString> loadFailure_;
    std::optional<QString> unreadLines_;
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
