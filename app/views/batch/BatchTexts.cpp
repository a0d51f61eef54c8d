#include "app/views/batch/BatchTexts.h"

#include <algorithm>

namespace Tessarine::BatchTexts {

using namespace RorozErurEvo;

QString connected(std::size_t count) { return QStringLiteral("%1 connected").arg(count); }

QString unitLine(const std::string& unit) {
    if (unit.empty()) return QStringLiteral("No unit ID yet");
    return QStringLiteral("Unit ") + QString::fromStdString(unit);
}

QString resultLine(const TestResult& result) {
    return QString::fromStdString(withSourceMark(result.element, result.source)) + QStringLiteral(": ") +
           QString::fromStdString(result.headline);
}

QString plotLabel(const std::string& deviceName, const std::string& stickName) {
    return QString::fromStdString(deviceName) + QStringLiteral(", ") + QString::fromStdString(stickName);
}

std::vector<TestResult> driftResults(const std::vector<TestResult>& results) {
    std::vector<TestResult> drift;
    std::copy_if(results.begin(), results.end(), std::back_inserter(drift),
                 [](const TestResult& r) { return r.kind == TestKind::drift; });
    return drift;
}

std::optional<Verdict> worstVerdict(const std::vector<TestResult>& results) {
    if (results.empty()) return std::nullopt;
    std::vector<Verdict> verdicts;
    verdicts.reserve(results.size());
    for (const auto& r : results) verdicts.push_back(r.verdict);
    return worst(verdicts);
}

QString driftAllHelp() {
    return QStringLiteral("Hands off: measures where every stick on every device rests, at once.");
}

QString stageTitle() { return QStringLiteral("Save a session for every device"); }

QString stageMessage() {
    return QStringLiteral("Devices with results get a session each, under their unit (serial when known).");
}

} // namespace Tessarine::BatchTexts
