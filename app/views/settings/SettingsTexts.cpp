#include "app/views/settings/SettingsTexts.h"

#include <QDir>

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
