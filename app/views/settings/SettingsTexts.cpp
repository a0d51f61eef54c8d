#include "app/views/settings/SettingsTexts.h"

#include <QDir>
#include <QLocale>

#include <cmath>

#include "testkit/Fmt.h"

namespace Tessarine::SettingsTexts {

QString familyLabel(ControllerFamily family, const RorozErurEvo::FamilyProfiles& profiles) {
    if (family == ControllerFamily::generic) return QStringLiteral("Your thresholds (other devices)");
    QString label = QString::fromStdString(title(family));
    if (profiles.isCustom(family)) label += QStringLiteral(" (changed)");
    return label;
}

QString sticksHeader(ControllerFamily editing) {
    if (editing == ControllerFamily::generic) return QStringLiteral("Sticks");
    return QStringLiteral("Sticks (") + QString::fromStdString(shortTitle(editing)) + QStringLiteral(")");
}

QString restoreTitle(ControllerFamily editing) {
    if (editing == ControllerFamily::generic) return QStringLiteral("Restore Defaults");
    return QStringLiteral("Restore Typical ") + QString::fromStdString(shortTitle(editing)) + QStringLiteral(" Profile");
}

double rounded(double value, int digits) {
    const double scale = std::pow(10.0, digits);
    const double scaled = value * scale;
    // Past 2^52 every double is whole already; scaling further only overflows.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 0x1p52) return value;
    return std::round(scaled) / scale;
}

QString numberText(double value, int digits) {
    return QString::fromStdString(RorozErurEvo::Fmt::trim(rounded(value, digits), digits));
}

double percentShown(double fraction) {
    const double tenths = fraction * 1000;
    if (!std::isfinite(tenths) || std::fabs(tenths) >= 0x1p52) return fraction * 100;
    return std::round(tenths) / 10;
}

double percentStored(double typed) { return typed / 100; }

QString negativeRefusal(const QString& shown) {
    return QStringLiteral("Couldn't save ") + shown + QStringLiteral(": a limit can't be negative.");
}

QString orderRefusal(const QString& warn, const QString& fail, RorozErurEvo::LimitOrder::Worse worse) {
    if (worse == RorozErurEvo::LimitOrder::Worse::above)
        return QStringLiteral("Couldn't save: warn ") + warn + QStringLiteral(" lies above fail ") + fail +
               QStringLiteral(". Higher is worse here, so warn can be at most fail.");
    return QStringLiteral("Couldn't save: warn ") + warn + QStringLiteral(" lies below fail ") + fail +
           QStringLiteral(". Lower is worse here, so warn can be at least fail.");
}

QString unreadableRefusal(const QString& typed) {
    return QStringLiteral("Couldn't save \"") + typed.trimmed() + QStringLiteral("\": not a number.");
}

std::optional<double> parseNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    // Group separators are refused: "1,500" must not read as fifteen hundred where the comma is
    // the decimal separator, nor "1.500" where it is the point.
    for (QLocale locale : {QLocale::c(), QLocale()}) {
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = locale.toDouble(trimmed, &ok);
        if (ok) {
            if (!std::isfinite(value)) return std::nullopt;
            return value;
        }
    }
    return std::nullopt;
}

QString trailText(double seconds) { return QString::fromStdString(RorozErurEvo::Fmt::trim(seconds, 1)) + QStringLiteral(" s"); }

QString privacyStorage(const QString& sessionsFolder, const QString& home) {
    QString shown = QDir::cleanPath(sessionsFolder);
    const QString base = QDir::cleanPath(home);
    if (!base.isEmpty() && base != QStringLiteral("/") && shown.startsWith(base + QLatin1Char('/')))
        shown = QStringLiteral("~") + shown.mid(base.size());
    return QStringLiteral("Everything stays on this computer. Saved sessions are plain JSON files in ") + shown +
           QStringLiteral(". Nothing is collected or sent anywhere.");
}

QString privacyInputs() {
    return QStringLiteral(
        "Tessarine goes online only to look for updates. It reads game controllers through SDL and raw HID "
        "(joysticks, game pads, wheels and pedals only, never keyboards or mice), and the keyboard and mouse "
        "testers use only the keys and clicks sent to its own window, so it needs no special input permission.");
}

} // namespace Tessarine::SettingsTexts
