#include "app/views/raw/RawHIDTexts.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <limits>
#include <set>

#include "testkit/Measure.h"

namespace Tessarine::RawHIDTexts {

namespace {
const QString dash = QStringLiteral("\u2013");

QString hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); }

QString hertz(double hz) {
    return QString::fromStdString(RorozErurEvo::format(RorozErurEvo::MeasureUnit::hertz, hz));
}
} // namespace

QString usage(const ElementInfo& element) {
    return hex2(element.page.value_or(0)) + QLatin1Char(':') + hex2(element.usage.value_or(0));
}

QString identity(const RorozErurEvo::DeviceInfo& info) {
    QStringList parts;
    if (info.vendor) parts << QString::fromStdString(*info.vendor);
    if (auto ids = info.idText()) parts << QString::fromStdString(*ids);
    if (info.transport) parts << QString::fromStdString(*info.transport);
    return parts.join(QStringLiteral(" \u00B7 "));
}

QString rate(const RorozErurEvo::TimedRate& rate) {
    if (rate.atLeast) return QString::fromStdString(RorozErurEvo::ReportRateAnalysis::floorText(rate));
    return hertz(rate.hz);
}

QString reports(const std::optional<RorozErurEvo::TimedRate>& rate) {
    if (!rate) return QStringLiteral("Reports: quiet (nothing moving)");
    return QStringLiteral("Reports: ") + RawHIDTexts::rate(*rate);
}

std::optional<RorozErurEvo::TimedRate> reportRate(const std::vector<double>& stamps, double resolution,
                                                  const std::map<std::string, RawLive>& live) {
    auto rate = RorozErurEvo::ReportRateAnalysis::timedEstimate(stamps, resolution);
    if (!rate || rate->atLeast) return rate;
    // The device reports at least as often as any one element changes: an element whose values
    // come faster than their stamps resolve makes the device's figure a floor too, where the
    // stamps of one time may have merged several reports into one.
    for (const auto& [id, element] : live)
        if (element.rateAtLeast && element.rate) {
            rate->hz = std::max(rate->hz, *element.rate);
            rate->atLeast = true;
        }
    return rate;
}

QString value(const RawLive* live) {
    if (!live || !live->value) return dash;
    return QString::number(*live->value);
}

QString seen(const RawLive* live) {
    if (!live || !live->minSeen || !live->maxSeen) return dash;
    return QString::number(*live->minSeen) + QStringLiteral("\u2026") + QString::number(*live->maxSeen);
}

QString jitter(const RawLive* live) { return live ? QString::number(live->jitter) : dash; }

QString rate(const RawLive* live, double resolution) {
    if (!live || !live->rate) return dash;
    const RorozErurEvo::TimedRate timed{*live->rate, live->rateAtLeast, resolution};
    // A row has room for the figure; the reason is the header's, and the cell's tip.
    if (timed.atLeast) return QString::fromStdString(RorozErurEvo::ReportRateAnalysis::floorFigure(timed));
    return rate(timed);
}

QString rateTip(const RawLive* live, double resolution) {
    if (!live || !live->rate || !live->rateAtLeast) return {};
    return rate(RorozErurEvo::TimedRate{*live->rate, true, resolution});
}

QString rowValue(const ElementInfo& element, const RawLive* live) {
    QString v = live && live->value ? QString::number(*live->value) : QStringLiteral("none");
    QString r = QString::fromStdString(element.rangeText().value_or(""));
    return QStringLiteral("value %1, range %2, jitter %3 counts").arg(v, r, QString::number(live ? live->jitter : 0));
}

double barFraction(std::optional<int> value, int min, int max) {
    // In double: the span of two extreme 32-bit counts overflows an int.
    double span = double(max) - double(min);
    if (!value || span < 1) return 0;
    return std::clamp((double(*value) - double(min)) / span, 0.0, 1.0);
}

std::optional<int> barValue(const ElementInfo& element, const RawLive* live) {
    if (!live || !live->value) return std::nullopt;
    const int value = *live->value;
    if (element.isHat && ((element.logicalMin && value < *element.logicalMin) ||
                          (element.logicalMax && value > *element.logicalMax)))
        return std::nullopt;
    return value;
}

std::vector<ElementInfo> listed(const std::vector<ElementInfo>& elements) {
    std::vector<ElementInfo> out;
    for (const auto& e : elements)
        if (e.page) out.push_back(e);
    return out;
}

std::vector<ElementInfo> candidateAxes(const std::vector<ElementInfo>& elements) {
    std::vector<ElementInfo> out;
    for (const auto& e : elements)
        if (e.page && (e.kind == ElementInfo::Kind::axis || e.kind == ElementInfo::Kind::trigger)) out.push_back(e);
    return out;
}

long long nextPairNumber(const std::vector<StickPair>& pairs) {
    std::set<long long> used;
    for (const auto& pair : pairs) {
        if (pair.id.size() <= 5) continue;
        const char* first = pair.id.data() + 5;
        const char* last = pair.id.data() + pair.id.size();
        long long n = 0;
        auto [end, error] = std::from_chars(first, last, n);
        // Only a whole decimal number that fits counts; "-3" is not a pair number either.
        if (error != std::errc() || end != last || n < 0) continue;
        used.insert(n);
    }
    if (used.empty()) return 1;
    long long largest = *used.rbegin();
    if (largest < std::numeric_limits<long long>::max()) return largest + 1;
    long long n = 1;
    while (used.count(n)) ++n;
    return n;
}

QString axisPickerName(const std::string& stick, const QString& axis) {
    return QString::fromStdString(stick) + QLatin1Char(' ') + axis + QStringLiteral(" axis");
}

} // namespace Tessarine::RawHIDTexts
