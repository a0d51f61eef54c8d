#pragma once
// Sessions shaped like real reports, shared by the report's tests and benchmarks: a pad with
// every device fact, circularity results with plots, a soak result with its timeline, and as
// many other results as asked for.
#include <cmath>
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/TestSession.h"

namespace ReportSamples {

using namespace RorozErurEvo;

inline Date day() { return *Dates::parseIso("2026-03-01T09:00:00Z"); }

// A circularity result of `element` with its outline: slightly oval, one sector never reached.
inline TestResult plotted(const std::string& element, double error) {
    StickPlot plot{GateShape::round, 0.97, {}};
    for (int i = 0; i < 72; ++i)
        plot.radii.push_back(i == 40 ? std::nullopt : std::optional<double>(0.95 + 0.04 * std::cos(i * 0.17)));
    Measure measure{"error", "Average error", error, MeasureUnit::percent, Limit{0.04, 0.08, Limit::Direction::above}};
    return TestResult(TestKind::circularity, element, ValueSource::processed, std::nullopt, "outline within limits",
                      {measure}, {}, plot, std::nullopt, day());
}

inline TestResult soaked(const std::string& headline = "2 dropouts, 0 disconnects in 10:00") {
    SoakStrip strip{600, std::vector<SoakStrip::State>(120, SoakStrip::State::ok)};
    strip.bins[17] = SoakStrip::State::gap;
    strip.bins[60] = SoakStrip::State::pause;
    strip.bins[61] = SoakStrip::State::pause;
    strip.bins[90] = SoakStrip::State::disconnected;
    Measure gaps{"gapRate", "Dropouts per minute", 0.2, MeasureUnit::count, Limit{1, 3, Limit::Direction::above}};
    return TestResult(TestKind::soak, "", ValueSource::processed, std::nullopt, headline, {gaps}, {}, std::nullopt,
                      strip, day());
}

// A button-like result numbered `i`: its own element, so results stay apart in report order.
inline TestResult plain(int i, const std::string& headline = "every press registered") {
    Measure rate{"rate", "Report rate", 250.0 + i, MeasureUnit::hertz, std::nullopt};
    Measure drift{"drift", "Rest offset", 0.01 * (i % 9), MeasureUnit::percent,
                  Limit{0.04, 0.08, Limit::Direction::above}};
    std::vector<Measure> measures = i % 3 == 0 ? std::vector<Measure>{rate} : std::vector<Measure>{drift, rate};
    return TestResult(TestKind::drift, "Axis " + std::to_string(i), ValueSource::processed, std::nullopt, headline,
                      measures, {}, std::nullopt, std::nullopt, day());
}

inline DeviceInfo fullDevice() {
    return DeviceInfo{.name = "Wireless Controller",
                      .vendor = "Example Devices",
                      .category = "Gamepad",
                      .vendorID = 0x054C,
                      .productID = 0x0CE6,
                      .serial = "A1B2C3D4",
                      .transport = "Bluetooth",
                      .batteryLevel = 0.8,
                      .batteryState = "discharging"};
}

// `count` results: the first four plotted (when `plots`), one soak result (when `soak`), the
// rest plain.
inline TestSession session(int count, bool plots = false, bool soak = false, const std::string& headline = "") {
    TestSession s;
    s.id = Uuid::random();
    s.date = day();
    s.unit = "SN-4411";
    s.label = "After repair";
    s.technician = "Robin";
    s.ticket = "T-1009";
    s.profile = "Standard limits";
    s.device = fullDevice();
    const char* sticks[] = {"Left stick", "Right stick", "Left stick raw", "Right stick raw"};
    for (int i = 0; i < count; ++i) {
        if (plots && i < 4) s.results.push_back(plotted(sticks[i], 0.012 * (i + 1)));
        else if (soak && i == (plots ? 4 : 0)) s.results.push_back(soaked());
        else s.results.push_back(headline.empty() ? plain(i) : plain(i, headline));
    }
    return s;
}

inline std::string longText(int words) {
    std::string text;
    for (int i = 0; i < words; ++i) text += (i ? " " : "") + std::string(i % 7 == 0 ? "measurement" : "word");
    return text;
}

// The fullest pages there are: 18 results with headlines longer than a row prints, four plots, a
// soak timeline, every device row and long notes.
inline TestSession worstCase() {
    TestSession s = session(18, true, true, longText(200));
    s.notes = longText(400);
    return s;
}

} // namespace ReportSamples
