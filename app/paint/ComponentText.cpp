#include "app/paint/ComponentText.h"

#include "testkit/Fmt.h"
#include "testkit/SoakResult.h"
#include "testkit/TouchpadAnalysis.h"

namespace Tessarine::ComponentText {

namespace Fmt = RorozErurEvo::Fmt;

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

QString percentOf(double fraction) { return text(Fmt::trim(fraction * 100, 1)) + "%"; }

// A readout number with its sign: "+" from 0.05 on, so what rounds to 0 shows no sign.
QString signedPercent(double fraction) {
    const double p = fraction * 100;
    return (p >= 0.05 ? "+" : "") + text(Fmt::trim(p, 1)) + "%";
}

// Degrees in a radian, to the precision the readout shows.
constexpr double degreesPerRadian = 57.3;

} // namespace

QString stickPlotValue(const std::optional<StickSample>& sample, bool pressed, bool showRaw) {
    if (!sample) return QStringLiteral("No reading yet");
    QString value;
    if (showRaw && sample->raw)
        value = QStringLiteral("raw x %1, y %2").arg(sample->raw->x).arg(sample->raw->y);
    else
        value = "x " + percentOf(sample->x) + ", y " + percentOf(sample->y) + ", " + percentOf(sample->radius()) +
                " from center";
    if (pressed) value += QStringLiteral(", pressed");
    return value;
}

QStringList stickReadout(const std::optional<StickSample>& sample, bool showRaw) {
    if (showRaw && sample && sample->raw)
        return {QStringLiteral("x %1").arg(sample->raw->x), QStringLiteral("y %1").arg(sample->raw->y)};
    const double x = sample ? sample->x : 0, y = sample ? sample->y : 0;
    const double r = sample ? sample->radius() : 0;
    return {"x " + signedPercent(x), "y " + signedPercent(y), "r " + percentOf(r)};
}

QString triggerValue(double value, std::optional<long long> raw, bool showRaw) {
    if (showRaw && raw) return QString::number(*raw);
    return text(Fmt::percent(value));
}

QString triggerAccessibleValue(double value, std::optional<long long> raw, bool showRaw) {
    if (showRaw && raw) return QStringLiteral("raw %1").arg(*raw);
    return text(Fmt::percent(value));
}

QString soakTimelineLabel(double seconds) {
    return "Soak timeline, " + text(RorozErurEvo::SoakAnalysis::minutes(seconds));
}

std::vector<SoakStrip::State> soakLegendStates(const SoakStrip& strip) {
    std::vector<SoakStrip::State> states{SoakStrip::State::ok};
    for (auto state : {SoakStrip::State::pause, SoakStrip::State::gap, SoakStrip::State::disconnected})
        for (SoakStrip::State bin : strip.bins)
            if (bin == state) {
                states.push_back(state);
                break;
            }
    return states;
}

QString flowChipLabel(const QString& name, bool registered) {
    return name + (registered ? QStringLiteral(", registered") : QStringLiteral(", not yet"));
}

QString compassValue(const std::set<Direction8>& lit) {
    if (lit.empty()) return QStringLiteral("none");
    QStringList names;
    // std::set of an enum orders by raw value.
    for (Direction8 direction : lit) names << text(RorozErurEvo::name(direction));
    return names.join(", ");
}

QString gyroValue(const std::optional<MotionSample>& newest) {
    if (!newest || !newest->rotation) return QStringLiteral("no readings");
    return "turning " + text(Fmt::trim(newest->rotation->magnitude() * degreesPerRadian, 0)) +
           " degrees per second";
}

QString accelerometerValue(const std::optional<MotionSample>& newest) {
    if (!newest || !newest->acceleration) return QStringLiteral("no readings");
    return text(Fmt::trim(newest->acceleration->magnitude(), 2)) + " g";
}

QString touchTraceValue(const std::vector<TouchSample>& samples) {
    std::set<int> fingers;
    for (const TouchSample& sample : samples) fingers.insert(sample.finger);
    const double coverage = RorozErurEvo::TouchpadAnalysis::coverage(samples);
    return QStringLiteral("%1 fingers, %2% of the surface")
        .arg(fingers.size())
        .arg(text(Fmt::trim(coverage * 100, 1)));
}

} // namespace Tessarine::ComponentText
