#include "testkit/HoldCheck.h"

#include <algorithm>
#include <optional>

#include "testkit/ChatterAnalysis.h"
#include "testkit/Fmt.h"
#include "testkit/TimeOrder.h"

namespace RorozErurEvo {
namespace HoldCheck {

std::optional<HoldReport> analyze(const std::vector<ButtonEvent>& events, const std::string& input,
                                  std::optional<double> until) {
    std::vector<ButtonEvent> mine;
    for (const ButtonEvent& event : events)
        if (event.input == input) mine.push_back(event);
    mine = sortedByTime(std::move(mine));

    auto first = std::find_if(mine.begin(), mine.end(), [](const ButtonEvent& e) { return e.down; });
    if (first == mine.end()) return std::nullopt;

    // Held from the first press. A release starts a possible drop; the next press closes it.
    // Repeated releases move the release time to the latest; a release as the very last event
    // is the user letting go at the end.
    HoldReport report;
    bool held = true;
    double releaseTime = first->t;
    for (auto it = std::next(first); it != mine.end(); ++it) {
        if (it->down) {
            if (held) continue;
            report.drops += 1;
            report.gapsMs.push_back((it->t - releaseTime) * 1000.0);
            held = true;
        } else {
            releaseTime = it->t;
            held = false;
        }
    }
    // The hold ends at the final release when the log ends released. Still held, it lasted to the
    // end of the recording: a press with nothing after it was held, not let go at once.
    double end = mine.back().t;
    if (held && until && *until > end) end = *until;
    report.heldSeconds = end - first->t;
    return report;
}

TestResult result(const std::vector<ButtonEvent>& events, const InputName& input, TestKind kind,
                  const std::string& element, ValueSource source, Date date, std::optional<double> until) {
    auto report = analyze(events, input.id, until);
    if (!report)
        return TestResult(kind, element, source, Verdict::warn, "no press seen", {},
                          {"Press and hold one button for about 3 seconds."}, std::nullopt, std::nullopt,
                          date);

    std::vector<Measure> measures{
        {"drops", "Unexpected releases", double(report->drops), MeasureUnit::count,
         Limit{std::nullopt, 0.0, Limit::Direction::above}},
        {"held", "Held for", report->heldSeconds, MeasureUnit::seconds, std::nullopt},
    };
    std::vector<std::string> details{"Held " + input.name + " for " + Fmt::trim(report->heldSeconds, 1) +
                                     " s."};
    std::string drops = Fmt::trim(report->drops, 0);
    if (report->drops >= 1)
        details.push_back("Let go " + drops + "× while held (gaps " +
                          ChatterAnalysis::gapsText(report->gapsMs) + ").");
    std::string headline =
        report->drops > 0 ? input.name + " drops out " + drops + "×" : input.name + " holds steady";
    return TestResult(kind, element, source, std::nullopt, headline, measures, details, std::nullopt,
                      std::nullopt, date);
}

} // namespace HoldCheck
} // namespace RorozErurEvo
