#pragma once
// A session as the application writes it after a full check of a wireless pad: two sticks with
// their four tests each (circularity with its 72-sector plot), two triggers, buttons and the
// other pad tests, and a soak run with its 120-bin strip. Shared by the session benchmarks.
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "testkit/TestSession.h"

namespace RealisticSession {

using namespace RorozErurEvo;

inline Measure limited(const char* id, const char* label, double value, MeasureUnit unit, double warn, double fail,
                Limit::Direction direction = Limit::Direction::above) {
    return Measure{id, label, value, unit, Limit{warn, fail, direction}};
}

inline TestSession make(int n) {
    TestSession s;
    s.id = Uuid::random();
    s.date = Dates::fromSeconds(1.7e9 + 3600.0 * n);
    s.unit = "SN-" + std::to_string(100000 + n % 1700);
    s.label = n % 2 ? "After repair" : "Before repair";
    s.technician = "Technician " + std::to_string(n % 7);
    s.ticket = "T-" + std::to_string(n);
    s.notes = "Replaced the left stick module; cleaned the triggers.";
    s.device = DeviceInfo{"Wireless Controller", "Maker", "Gamepad", 0x054C, 0x0CE6, "A1B2C3D4E5",
                          "Bluetooth", 0.8, "discharging"};
    s.appVersion = "1.4.2";
    s.profile = "PlayStation family profile (typical)";
    auto add = [&](TestKind kind, std::string element, std::vector<Measure> measures, std::vector<std::string> details,
                   std::optional<StickPlot> plot = std::nullopt, std::optional<SoakStrip> strip = std::nullopt) {
        s.results.emplace_back(kind, std::move(element), ValueSource::processed, std::nullopt, "headline of the result",
                               std::move(measures), std::move(details), std::move(plot), std::move(strip), s.date);
    };
    for (const char* stick : {"Left stick", "Right stick"}) {
        add(TestKind::drift, stick,
            {limited("offset", "Rest offset", 0.021 + n % 10 * 0.001, MeasureUnit::percent, 0.04, 0.08),
             limited("noise", "Noise", 0.004, MeasureUnit::percent, 0.01, 0.02),
             Measure{"max", "Farthest point", 0.05, MeasureUnit::percent, std::nullopt}},
            {"Measured for 5 s with the stick let go."});
        StickPlot plot{GateShape::round, 0.98, {}};
        for (int k = 0; k < 72; ++k) plot.radii.push_back(k % 17 == 0 ? std::nullopt : std::optional(0.93 + k * 0.001));
        add(TestKind::circularity, stick,
            {limited("error", "Average error", 0.062, MeasureUnit::percent, 0.08, 0.15),
             limited("coverage", "Directions reached", 0.97, MeasureUnit::percent, 0.9, 0.9, Limit::Direction::below)},
            {"Three turns recorded."}, plot);
        add(TestKind::snapback, stick,
            {limited("worst", "Worst offset", 0.03, MeasureUnit::percent, 0.05, 0.1),
             limited("settle", "Slowest return", 120, MeasureUnit::milliseconds, 250, 400)},
            {"5 releases measured.", "Every release settled."});
        add(TestKind::deadzone, stick, {limited("deadzone", "Inner deadzone", 0.041, MeasureUnit::percent, 0.1, 0.2)},
            {});
    }
    for (const char* trigger : {"Left trigger", "Right trigger"})
        add(TestKind::trigger, trigger,
            {limited("rest", "At rest", 0.0, MeasureUnit::percent, 0.05, 0.1),
             limited("reach", "Full pull", 1.0, MeasureUnit::percent, 0.95, 0.85, Limit::Direction::below),
             limited("jump", "Largest jump", 0.03, MeasureUnit::percent, 0.08, 0.15)},
            {"No dead spots."});
    add(TestKind::buttons, "", {Measure{"pressed", "Buttons pressed", 16, MeasureUnit::count, std::nullopt},
                                limited("chatter", "Chatter", 0, MeasureUnit::count, 0, 1)},
        {"Cross ×3", "Circle ×2"});
    add(TestKind::hold, "", {limited("drops", "Drops", 0, MeasureUnit::count, 0, 1)}, {});
    add(TestKind::dpad, "", {Measure{"directions", "Directions", 8, MeasureUnit::count, std::nullopt}}, {});
    add(TestKind::rumble, "", {}, {"Both motors felt."});
    add(TestKind::lights, "", {}, {"Light bar and player lights seen."});
    add(TestKind::adaptiveTriggers, "", {}, {"Resistance felt on both triggers."});
    add(TestKind::motion, "", {limited("gyro", "Gyro at rest", 0.4, MeasureUnit::degreesPerSecond, 2, 5),
                               Measure{"gravity", "Gravity", 1.0, MeasureUnit::g, std::nullopt}},
        {});
    add(TestKind::touchpad, "", {Measure{"coverage", "Area covered", 0.91, MeasureUnit::percent, std::nullopt}}, {});
    add(TestKind::battery, "", {Measure{"level", "Level", 0.8, MeasureUnit::percent, std::nullopt}}, {});
    add(TestKind::reportRate, "", {Measure{"rate", "Report rate", 250, MeasureUnit::hertz, std::nullopt},
                                   Measure{"gap", "Longest gap", 12, MeasureUnit::milliseconds, std::nullopt}},
        {});
    SoakStrip strip{600, std::vector<SoakStrip::State>(120, SoakStrip::State::ok)};
    strip.bins[40] = SoakStrip::State::gap;
    add(TestKind::soak, "", {limited("gaps", "Dropouts per minute", 0.1, MeasureUnit::count, 0.5, 2),
                             limited("disconnects", "Disconnects", 0, MeasureUnit::count, 0, 0)},
        {"1 dropout of 140 ms at 3:20."}, std::nullopt, strip);
    return s;
}

// `count` sessions newest first, as the library lists them: session n is n hours after the first.
inline std::vector<TestSession> history(int count) {
    std::vector<TestSession> list;
    list.reserve(static_cast<std::size_t>(count));
    for (int n = count; n-- > 0;) list.push_back(make(n));
    return list;
}

// Writes sessions make(0) … make(count − 1) into `folder` (created when missing) under the names
// the archive gives them, without the archive's syncing, so that tens of thousands take seconds.
// Throws std::runtime_error naming the file or folder that could not be written.
inline void writeFiles(const std::filesystem::path& folder, int count) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw std::runtime_error("could not create the folder " + folder.string() + ": " + error.message());
    for (int n = 0; n < count; ++n) {
        const TestSession session = make(n);
        const auto path = folder / (session.id.text() + ".json");
        std::ofstream out(path, std::ios::binary);
        out << SessionCoder::encode(session);
        out.close();
        if (!out) throw std::runtime_error("could not write " + path.string());
    }
}

} // namespace RealisticSession
