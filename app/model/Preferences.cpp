#include "app/model/Preferences.h"

#include <QFile>
#include <QLocale>
#include <QMetaObject>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>

#include "app/base/Logging.h"
#include "app/model/SettingsWriter.h"
#include "testkit/BoundedFile.h"
#include "testkit/ControlCharacters.h"
#include "testkit/SettingsIni.h"

#include <charconv>
#include <cmath>
#include <string>

namespace Tessarine {

namespace SettingsIni = RorozErurEvo::SettingsIni;
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

// UTF-8 as a QString with a byte order mark at its start kept: QString::fromUtf8 drops one, and
// the reader hands over what QSettings reads, "\uFEFF" included.
QString fromUtf8(const std::string& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

// The file's value as an entry of its text: byte strings stay bytes, everything else is written
// as the text it reads back as (booleans as "true" and "false", numbers in their shortest form).
SettingsIni::Entry entry(const QString& key, const QVariant& value) {
    SettingsIni::Entry e{key.toStdString(), {}, false};
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
        auto contents = SettingsIni::read(*content.text);
        values_ = values(contents);
        kept_ = std::move(contents.kept);
        tellRefused(contents.refused, contents.refusedLines);
    } else if (!content.missing) {
        loadFailure_ = QStringLiteral("\u201C") + writer_->path() + QStringLiteral("\u201D: ") +
                       QString::fromStdString(content.error);
    }
    QObject::connect(writer_.get(), &SettingsWriter::failed, writer_.get(), [this](const QString& cause) {
        if (onSaveFailed) onSaveFailed(cause);
    });
}

// Each of the earliest lines not understood goes to the log, and the number of the others; the
// user is told of the first of them, and of how many more there are, once.
void SettingsPreferences::tellRefused(const std::vector<SettingsIni::Refusal>& refused, std::size_t refusedLines) {
    if (refused.empty()) return;
    const QString file = QStringLiteral("the settings file \u201C") + writer_->path() + QStringLiteral("\u201D");
    const auto line = [&](const SettingsIni::Refusal& r) {
        // A key's line break or escape sequence is shown, in the toast as in the log.
        const QString key = r.key.empty() ? QString()
                                          : QStringLiteral(" (key \u201C") +
                                                QString::fromStdString(RorozErurEvo::ControlCharacters::escaped(r.key)) +
                                                QStringLiteral("\u201D)");
        return QStringLiteral("line %1 of %2%3: %4").arg(r.line).arg(file, key, QString::fromStdString(r.cause));
    };
    for (const auto& r : refused)
        qCWarning(logModel).noquote() << QStringLiteral("Couldn't read %1; it stays in the file as it is").arg(line(r));
    const std::size_t more = refusedLines - 1;
    if (refusedLines > refused.size())
        qCWarning(logModel).noquote() << QStringLiteral("Couldn't read %1 more lines of %2 after line %3; they stay in "
                                                        "the file as they are")
                                             .arg(refusedLines - refused.size())
                                             .arg(file)
                                             .arg(refused.back().line);
    unreadLines_ = QStringLiteral("Couldn't read %1").arg(line(refused.front())) +
                   (more == 0 ? QStringLiteral(". It stays in the file as it is, unused.")
                    : more == 1
                        ? QStringLiteral(", nor 1 more line. They stay in the file as they are, unused.")
                        : QStringLiteral(", nor %1 more lines. They stay in the file as they are, unused.").arg(more));
}

SettingsPreferences::~SettingsPreferences() = default;

QVariantMap SettingsPreferences::values(const SettingsIni::Contents& contents) {
    QVariantMap values;
    for (const auto& entry : contents.entries) {
        const QString key = fromUtf8(entry.key);
        if (entry.bytes) values.insert(key, QByteArray::fromStdString(entry.value));
        else values.insert(key, fromUtf8(entry.value));
    }
    return values;
}

QVariantMap SettingsPreferences::values(std::string_view text) { return values(SettingsIni::read(text)); }

QByteArray SettingsPreferences::text(const QVariantMap& values, const std::vector<SettingsIni::KeptLines>& kept) {
    std::vector<SettingsIni::Entry> entries;
    entries.reserve(static_cast<std::size_t>(values.size()));
    for (auto it = values.cbegin(); it != values.cend(); ++it) entries.push_back(entry(it.key(), it.value()));
    return QByteArray::fromStdString(SettingsIni::write(std::move(entries), kept));
}

void SettingsPreferences::setValue(const QString& key, const QVariant& value) {
    // A NUL never reaches a setting: the file could not give it back (SettingsIni).
    if (value.typeId() == QMetaType::QString) values_.insert(key, QString(value.toString()).remove(QChar(0)));
    else values_.insert(key, value);
    save();
}

void SettingsPreferences::remove(const QString& key) {
    values_.remove(key);
    save();
}

void SettingsPreferences::save() {
    static_assert(maxFileBytes == 1024 * 1024, "the texts below name the bound");
    if (loadFailure_) return; // what could not be read is not written over
    QByteArray whole = text(values_, kept_);
    if (static_cast<std::uintmax_t>(whole.size()) > maxFileBytes) {
        QStringList foreign;
        for (auto it = values_.cbegin(); it != values_.cend(); ++it)
            if (!Settings::declared(it.key())) foreign << it.key();
        if (!foreign.isEmpty()) {
            for (const QString& key : foreign) values_.remove(key);
            qCWarning(logModel).noquote() << QStringLiteral("The settings would pass the 1 MB their file is read at: "
                                                            "dropped %1 keys that are no setting of Tessarine: %2")
                                                 .arg(foreign.size())
                                                 .arg(foreign.join(QStringLiteral(", ")).left(200));
            whole = text(values_, kept_);
        }
    }
    if (static_cast<std::uintmax_t>(whole.size()) > maxFileBytes) {
        const QString cause = QStringLiteral("they would make \u201C") + writer_->path() +
                              QStringLiteral("\u201D larger than 1 MB, more than it is read at; it keeps the "
                                             "settings saved before");
        // Logged at once, as the writer logs a failed write: at Quit no event loop is left to
        // tell it. Told from the event loop, as a failed write is, never from inside the setter.
        SettingsWriter::logFailure(cause);
        QMetaObject::invokeMethod(
            writer_.get(), [writer = writer_.get(), cause] { emit writer->failed(cause); }, Qt::QueuedConnection);
        return;
    }
    writer_->save(std::move(whole));
}

} // namespace Tessarine
