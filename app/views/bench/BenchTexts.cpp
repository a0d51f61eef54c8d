#include "app/views/bench/BenchTexts.h"

#include "app/model/UnitRecord.h"
#include "app/paint/Theme.h"

namespace Tessarine::BenchTexts {

using namespace RorozErurEvo;

const QStringList& stagePresets() {
    static const QStringList presets = [] {
        QStringList list;
        for (const char* preset : Tessarine::stagePresets) list.append(QString::fromUtf8(preset));
        return list;
    }();
    return presets;
}

QStringList stageOptions(const QString& current) {
    QStringList options = stagePresets();
    if (!options.contains(current)) options.append(current);
    return options;
}

QString resultsHeading(int count) {
    if (count == 0) return QStringLiteral("No results yet. Run a test below.");
    return count == 1 ? QStringLiteral("1 result:") : QStringLiteral("%1 results:").arg(count);
}

QString verdictCount(int count, Verdict verdict) {
    return QStringLiteral("%1 %2").arg(count).arg(VerdictStyle::word(verdict));
}

QString limitsText(const std::string& label) { return QStringLiteral("Limits: ") + QString::fromStdString(label); }

QString familyMenuText(ControllerFamily family) {
    return QStringLiteral("Family: ") + QString::fromStdString(shortTitle(family));
}

QString familyMenuName(ControllerFamily family) {
    return QStringLiteral("Controller family, ") + QString::fromStdString(title(family));
}

const std::array<ControllerFamily, 6>& families() {
    static constexpr std::array all{ControllerFamily::xbox,   ControllerFamily::playStation,
                                    ControllerFamily::nintendoSwitch, ControllerFamily::n64,
                                    ControllerFamily::gameCube, ControllerFamily::generic};
    return all;
}

QString benchCaption(const QString& scopeNote) {
    return scopeNote + QStringLiteral(" Thresholds and family profiles are starting points, not manufacturer specs; "
                                      "change them in Settings.");
}

QString reportName(const std::string& unitKey, const std::string& label) {
    return QString::fromStdString(unitKey + " " + label);
}

QString buttonValue(bool pressed, int count) {
    return (pressed ? QStringLiteral("pressed, ") : QString()) + QStringLiteral("pressed %1 times").arg(count);
}

QString liveCaption(Source source) {
    switch (source) {
    case Source::raw:
        return QStringLiteral("Raw values from the device. Pick other axes as sticks in the Raw HID tab.");
    case Source::processedWithRawPartner:
        return QStringLiteral("These are the system's processed values, which may hide a little drift inside its "
                              "deadzone. Switch to Raw HID above for the device's own numbers.");
    case Source::plain: break;
    }
    return {};
}

} // namespace Tessarine::BenchTexts
