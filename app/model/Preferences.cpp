#include "app/model/Preferences.h"

#include <QFile>
#include <QLocale>
#include <QStandardPaths>

#include "app/model/SettingsWriter.h"
#include "testkit/BoundedFile.h"
#include "testkit/SettingsText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace Tessarine {

namespace SettingsText = RorozErurEvo::SettingsText;
namespace BoundedFile = RorozErurEvo::BoundedFile;

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

QString Preferences::get(const Settings::Setting<QString>& setting) const {
    const auto stored = string(setting.name());
    return stored && !stored->isEmpty() ? *stored : setting.fallback;
}

namespace {

// The file's value as an entry of its text: byte strings stay bytes, everything else is written
// as the text it reads back as (booleans as "true" and "false", numbers in their shortest form).
SettingsText::Entry entry(const QString& key, const QVariant& value) {
    SettingsText::Entry e{key.toStdString(), {}, false};
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        e.value = value.toByteArray().toStdString();
        e.bytes = true;
        break;
    case QMetaType::Bool:
        e.value = value.toBool() ? "true" : "false";
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        // Locale-free, like the readers.
        e.value = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest).toStdString();
        break;
    default:
        e.value = value.toString().toStdString();
    }
    return e;
}

} // namespace

QString SettingsPreferences::standardPath() {
    // QSettings itself would read the file just to say where it is.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/com.quenlow/Tessarine.conf");
}

SettingsPreferences::SettingsPreferences(std::unique_ptr<SettingsWriter> writer) : writer_(std::move(writer)) {
    if (!writer_) writer_ = std::make_unique<SettingsWriter>(standardPath());
    // Reading takes no lock: only writing does, and writing goes through the writer.
    const QByteArray local = QFile::encodeName(writer_->path());
    const auto content =
        BoundedFile::read(std::string(local.constData(), static_cast<std::size_t>(local.size())), maxFileBytes);
    if (content.text) {
        values_ = values(*content.text);
    } else if (!content.missing) {
        loadFailure_ = QStringLiteral("\u201C") + writer_->path() + QStringLiteral("\u201D: ") +
                       QString::fromStdString(content.error);
    }
    QObject::connect(writer_.get(), &SettingsWriter::failed, writer_.get(), [this](const QString& cause) {
        if (onSaveFailed) onSaveFailed(cause);
    });
}

SettingsPreferences::~SettingsPreferences() = default;

QVariantMap SettingsPreferences::values(std::string_view text) {
    QVariantMap values;
    for (auto& entry : SettingsText::read(text)) {
        const QString key = QString::fromStdString(entry.key);
        if (entry.bytes) values.insert(key, QByteArray::fromStdString(entry.value));
        else values.insert(key, QString::fromStdString(entry.value));
    }
    return values;
}

QByteArray SettingsPreferences::text(const QVariantMap& values) {
    std::vector<SettingsText::Entry> entries;
    entries.reserve(static_cast<std::size_t>(values.size()));
    for (auto it = values.cbegin(); it != values.cend(); ++it) entries.push_back(entry(it.key(), it.value()));
    return QByteArray::fromStdString(SettingsText::write(std::move(entries)));
}

void SettingsPreferences::setValue(const QString& key, const QVariant& value) {
    values_.insert(key, value);
    save();
}

void SettingsPreferences::remove(const QString& key) {
    values_.remove(key);
    save();
}

void SettingsPreferences::save() {
    if (loadFailure_) return; // what could not be read is not written over
    writer_->save(text(values_));
}

} // namespace Tessarine
