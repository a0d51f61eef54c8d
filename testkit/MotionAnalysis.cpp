#include "testkit/MotionAnalysis.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "testkit/Fmt.h"

namespace RorozErurEvo::MotionAnalysis {
namespace {

constexpr double degreesPerRadian = 57.29577951308232;
constexpr double gyroRestWarn = 3;   // degrees per second while still
constexpr double gyroRestFail = 10;  // degrees per second while still
constexpr double gyroMoveWarn = 45;  // degrees per second: a turn slower than this is suspect
constexpr double gyroMoveFail = 10;  // degrees per second: a turn this slow means no gyro
constexpr double gravityWarn = 0.1;  // g away from 1 g while still
constexpr double gravityFail = 0.25; // g away from 1 g while still

// Magnitudes of the vectors the samples carry; a vector with a component that is not finite is
// a broken reading and is skipped like a missing one.
std::vector<double> magnitudes(const std::vector<MotionSample>& samples, std::optional<Vector3> MotionSample::*field) {
    std::vector<double> found;
    for (const auto& s : samples) {
        const auto& v = s.*field;
        if (!v) continue;
        const double m = v->magnitude();
        if (std::isfinite(m)) found.push_back(m);
    }
    return found;
}

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v;
    return sum / static_cast<double>(values.size());
}

} // namespace

TestResult result(const std::vector<MotionSample>& rest, const std::vector<MotionSample>& moving,
                  const std::string& element, ValueSource source, Date date) {
    const auto restRotation = magnitudes(rest, &MotionSample::rotation);
    const auto restAcceleration = magnitudes(rest, &MotionSample::acceleration);
    const auto movingRotation = magnitudes(moving, &MotionSample::rotation);

    if (restRotation.empty() && restAcceleration.empty())
        return TestResult(TestKind::motion, element, source, Verdict::warn, "no sensor data", {},
                          {"The controller didn't send motion readings."}, std::nullopt, std::nullopt, date,
                          Uuid::random());

    using Direction = Limit::Direction;
    std::vector<Measure> measures;
    if (!restRotation.empty()) {
        const double still = std::round(mean(restRotation) * degreesPerRadian * 10) / 10;
        measures.push_back({"gyroRest", "Gyro at rest", still, MeasureUnit::degreesPerSecond,
                            Limit{gyroRestWarn, gyroRestFail, Direction::above}});
        double fastest = 0;
        if (!movingRotation.empty())
            fastest = std::round(*std::max_element(movingRotation.begin(), movingRotation.end()) * degreesPerRadian);
        measures.push_back({"gyroMove", "Fastest turn seen", fastest, MeasureUnit::degreesPerSecond,
                            Limit{gyroMoveWarn, gyroMoveFail, Direction::below}});
    }
    if (!restAcceleration.empty())
        measures.push_back({"gravity", "Gravity at rest off by", std::abs(mean(restAcceleration) - 1.0), MeasureUnit::g,
                            Limit{gravityWarn, gravityFail, Direction::above}});

    const Verdict verdict = verdictOfMeasures(measures);
    const std::string headline = verdict == Verdict::pass ? "gyro and accelerometer respond" : "check the motion sensors";
    std::vector<std::string> details{Fmt::trim(static_cast<double>(rest.size()), 0) + " readings at rest, " +
                                     Fmt::trim(static_cast<double>(moving.size()), 0) + " while turning."};
    return TestResult(TestKind::motion, element, source, verdict, headline, measures, details, std::nullopt,
                      std::nullopt, date, Uuid::random());
}

} // namespace RorozErurEvo::MotionAnalysis
