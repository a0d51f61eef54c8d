// A demo verdict depends on the scenario and nothing else: not on the order the tests are run
// in, not on where the looping recording stood when a test began, and not on how regularly the
// frames arrive. Every guided test the tick drives is played on the pad and on its raw twin in
// every scenario, in three orders, from three points of the loop, with frames 16 to 250 ms
// apart, and each verdict must be the one written down below.
#include "ModelFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "app/model/TestRunner.h"

using namespace Tessarine;
using namespace RorozErurEvo;

using Fakes::tickDriven;

namespace {

struct Expected {
    DemoScenario scenario;
    const char* device; // "demo" or "demo-raw"
    const char* test;   // the guided test's identifier
    Verdict verdict;
};

constexpr auto H = DemoScenario::healthy, D = DemoScenario::drift, C = DemoScenario::chatter;
constexpr auto pass = Verdict::pass, warn = Verdict::warn, fail = Verdict::fail;

// clang-format off
const std::vector<Expected> expected{
    // Healthy pad, the pad
    {H, "demo", "drift|Left stick|processed", pass},
    {H, "demo", "drift|Right stick|processed", pass},
    {H, "demo", "circularity|Left stick|processed", pass},
    {H, "demo", "circularity|Right stick|processed", pass},
    {H, "demo", "snapback|Left stick|processed", pass},
    {H, "demo", "snapback|Right stick|processed", pass},
    {H, "demo", "deadzone|Left stick|processed", pass},
    {H, "demo", "deadzone|Right stick|processed", pass},
    {H, "demo", "trigger|Left trigger|processed", pass},
    {H, "demo", "trigger|Right trigger|processed", pass},
    {H, "demo", "buttons||processed", pass},
    {H, "demo", "hold||processed", pass},
    {H, "demo", "dpad|D-pad|processed", pass},
    {H, "demo", "motion||processed", pass},
    {H, "demo", "touchpad||processed", pass},
    {H, "demo", "battery||processed", pass},
    // Healthy pad, its raw twin
    {H, "demo-raw", "drift|Left stick|raw", pass},
    {H, "demo-raw", "drift|Right stick|raw", pass},
    {H, "demo-raw", "circularity|Left stick|raw", pass},
    {H, "demo-raw", "circularity|Right stick|raw", pass},
    {H, "demo-raw", "snapback|Left stick|raw", pass},
    {H, "demo-raw", "snapback|Right stick|raw", pass},
    {H, "demo-raw", "deadzone|Left stick|raw", pass},
    {H, "demo-raw", "deadzone|Right stick|raw", pass},
    {H, "demo-raw", "trigger|Left trigger|raw", pass},
    {H, "demo-raw", "trigger|Right trigger|raw", pass},
    {H, "demo-raw", "buttons||raw", pass},
    {H, "demo-raw", "hold||raw", pass},
    {H, "demo-raw", "dpad|Hat switch|raw", pass},
    // Drifting left stick, the pad
    {D, "demo", "drift|Left stick|processed", warn},
    {D, "demo", "drift|Right stick|processed", pass},
    {D, "demo", "circularity|Left stick|processed", fail},
    {D, "demo", "circularity|Right stick|processed", pass},
    {D, "demo", "snapback|Left stick|processed", pass},
    {D, "demo", "snapback|Right stick|processed", pass},
    {D, "demo", "deadzone|Left stick|processed", pass},
    {D, "demo", "deadzone|Right stick|processed", pass},
    {D, "demo", "trigger|Left trigger|processed", pass},
    {D, "demo", "trigger|Right trigger|processed", pass},
    {D, "demo", "buttons||processed", pass},
    {D, "demo", "hold||processed", pass},
    {D, "demo", "dpad|D-pad|processed", pass},
    {D, "demo", "motion||processed", pass},
    {D, "demo", "touchpad||processed", pass},
    {D, "demo", "battery||processed", pass},
    // Drifting left stick, its raw twin
    {D, "demo-raw", "drift|Left stick|raw", fail},
    {D, "demo-raw", "drift|Right stick|raw", pass},
    {D, "demo-raw", "circularity|Left stick|raw", fail},
    {D, "demo-raw", "circularity|Right stick|raw", pass},
    {D, "demo-raw", "snapback|Left stick|raw", warn},
    {D, "demo-raw", "snapback|Right stick|raw", pass},
    {D, "demo-raw", "deadzone|Left stick|raw", pass},
    {D, "demo-raw", "deadzone|Right stick|raw", pass},
    {D, "demo-raw", "trigger|Left trigger|raw", pass},
    {D, "demo-raw", "trigger|Right trigger|raw", pass},
    {D, "demo-raw", "buttons||raw", pass},
    {D, "demo-raw", "hold||raw", pass},
    {D, "demo-raw", "dpad|Hat switch|raw", pass},
    // Chattering A button, the pad
    {C, "demo", "drift|Left stick|processed", pass},
    {C, "demo", "drift|Right stick|processed", pass},
    {C, "demo", "circularity|Left stick|processed", pass},
    {C, "demo", "circularity|Right stick|processed", pass},
    {C, "demo", "snapback|Left stick|processed", pass},
    {C, "demo", "snapback|Right stick|processed", pass},
    {C, "demo", "deadzone|Left stick|processed", pass},
    {C, "demo", "deadzone|Right stick|processed", pass},
    {C, "demo", "trigger|Left trigger|processed", pass},
    {C, "demo", "trigger|Right trigger|processed", pass},
    {C, "demo", "buttons||processed", warn},
    {C, "demo", "hold||processed", fail},
    {C, "demo", "dpad|D-pad|processed", pass},
    {C, "demo", "motion||processed", pass},
    {C, "demo", "touchpad||processed", pass},
    {C, "demo", "battery||processed", pass},
    // Chattering A button, its raw twin
    {C, "demo-raw", "drift|Left stick|raw", pass},
    {C, "demo-raw", "drift|Right stick|raw", pass},
    {C, "demo-raw", "circularity|Left stick|raw", pass},
    {C, "demo-raw", "circularity|Right stick|raw", pass},
    {C, "demo-raw", "snapback|Left stick|raw", pass},
    {C, "demo-raw", "snapback|Right stick|raw", pass},
    {C, "demo-raw", "deadzone|Left stick|raw", pass},
    {C, "demo-raw", "deadzone|Right stick|raw", pass},
    {C, "demo-raw", "trigger|Left trigger|raw", pass},
    {C, "demo-raw", "trigger|Right trigger|raw", pass},
    {C, "demo-raw", "buttons||raw", warn},
    {C, "demo-raw", "hold||raw", fail},
    {C, "demo-raw", "dpad|Hat switch|raw", pass},
};
// clang-format on

// Seconds into the loop at which each order's first test is started: the left stick circling
// the rim, both triggers pulled half way, a button held with the d-pad pushed.
constexpr double loopPoints[] = {1.0, 7.5, 9.9};

// The model and the demo driven as on a busy machine: frames 16 to 250 ms apart, the demo's
// playback timer firing somewhere in between or not at all, and a clock that moves a little on
// every reading, as a real one does.
class Road {
public:
    explicit Road(DemoScenario scenario, std::uint64_t seed) : random(seed) {
        bench.clock.setStepOnRead(1e-6);
        bench.model->demo().start();
        bench.model->demo().setScenario(scenario);
    }

    // Plays the loop for at least `seconds`.
    void idle(double seconds) {
        const double until = bench.clock.now() + seconds;
        while (bench.clock.now() < until) frame();
    }

    // Runs one test from its card until it ends; its verdict, or nothing when it never ended.
    std::optional<TestResult> play(const std::shared_ptr<InputDevice>& device, const GuidedTest& test) {
        auto& runner = bench.model->runner(device);
        runner.start(test);
        const double start = bench.clock.now();
        while (runner.active() && bench.clock.now() - start < 90) frame();
        if (runner.active()) return std::nullopt;
        return runner.result(test);
    }

    std::mt19937_64 random;
    Fakes::Bench bench;

private:
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); }

    // One frame of the model; the demo's own timer fires somewhere in it, or stalls.
    void frame() {
        const double interval = uniform(0.016, 0.25);
        const double demoAt = uniform(0, interval);
        bench.clock.advance(demoAt);
        if (uniform(0, 1) < 0.75) bench.model->demo().tick();
        bench.clock.advance(interval - demoAt);
        bench.model->tick(bench.clock.now());
    }
};

struct Planned {
    std::shared_ptr<InputDevice> device;
    GuidedTest test;
};

using Key = std::tuple<DemoScenario, std::string, std::string>; // scenario, device, test

const char* code(DemoScenario s) { return s == H ? "H" : s == D ? "D" : "C"; }

} // namespace

TEST(DemoVerdicts, DependOnTheScenarioAlone) {
    std::map<Key, Verdict> table;
    for (const auto& e : expected) table[{e.scenario, e.device, e.test}] = e.verdict;

    std::map<Key, std::string> headlines; // the first run's, which every other run must repeat
    std::map<Key, int> played;
    std::set<std::string> missing; // tests the table lacks, as the lines it would need
    for (const auto scenario : {H, D, C}) {
        std::uint64_t seed = 7 + 100 * static_cast<std::uint64_t>(scenario);
        for (int order = 0; order < 3; ++order) {
            for (const double point : loopPoints) {
                Road road(scenario, seed++);
                std::vector<Planned> runs;
                for (const auto& device : {road.bench.model->demo().device(), road.bench.model->demo().raw()})
                    for (const auto& test : GuidedTests::allTests(*device))
                        if (tickDriven(test.kind)) runs.push_back({device, test});
                if (order == 1) std::reverse(runs.begin(), runs.end());
                if (order == 2) std::shuffle(runs.begin(), runs.end(), std::mt19937_64(38));

                road.idle(point);
                for (const auto& [device, test] : runs) {
                    const std::string where = label(scenario) + ", " + device->id() + ", " + test.id() + ", order " +
                                              std::to_string(order) + ", from " + std::to_string(point) + " s";
                    const auto result = road.play(device, test);
                    ASSERT_TRUE(result) << where << ": never ended";
                    const Key key{scenario, device->id(), test.id()};
                    ++played[key];
                    const auto [first, isFirst] = headlines.try_emplace(key, result->headline);
                    if (!isFirst) {
                        EXPECT_EQ(first->second, result->headline) << where;
                    }
                    if (const auto it = table.find(key); it != table.end()) {
                        EXPECT_EQ(word(it->second), word(result->verdict)) << where << ": " << result->headline;
                    } else {
                        missing.insert(std::string("{") + code(scenario) + ", \"" + device->id() + "\", \"" + test.id() +
                                       "\", " + word(result->verdict) + "},");
                    }
                    // The next card is pressed a moment later, the loop playing meanwhile.
                    road.idle(std::uniform_real_distribution<double>(0, 1.5)(road.random));
                }
            }
        }
    }
    std::string lines;
    for (const auto& line : missing) lines += line + "\n";
    EXPECT_TRUE(missing.empty()) << "tests missing from the table:\n" << lines;
    for (const auto& [key, verdict] : table) EXPECT_EQ(played[key], 9) << std::get<1>(key) << " " << std::get<2>(key);
}

// The demo does what each test asks of the user, so every test ends by itself once the demo's
// script for it has played: a user who follows the card watches it finish, rather than a
// progress bar that stops short and waits out the test's time limit.
TEST(DemoVerdicts, EveryTestEndsOnItsOwnOnceItsScriptHasPlayed) {
    for (const auto scenario : {H, D, C}) {
        Road road(scenario, 11 + static_cast<std::uint64_t>(scenario));
        for (const auto& device : {road.bench.model->demo().device(), road.bench.model->demo().raw()}) {
            for (const auto& test : GuidedTests::allTests(*device)) {
                if (!tickDriven(test.kind)) continue;
                // The script's length, read from a first start: its last action and its tail of
                // stillness, plus a quarter-second frame.
                auto& runner = road.bench.model->runner(device);
                runner.start(test);
                const double scripted = road.bench.model->demo().length() + 0.25;
                runner.cancel();
                const double start = road.bench.clock.now();
                const auto result = road.play(device, test);
                const double took = road.bench.clock.now() - start;
                ASSERT_TRUE(result) << label(scenario) << ", " << device->id() << ", " << test.id();
                EXPECT_LE(took, scripted) << label(scenario) << ", " << device->id() << ", " << test.id() << ": "
                                          << result->headline;
            }
        }
    }
}
