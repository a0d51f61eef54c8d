// Scenes of the bench page and the live panel on the demo controller, with a unit typed in and a
// few results, and the live values after a short stretch of the demo's playback.
#include "../app/model/ModelFakes.h"

#include <QVBoxLayout>

#include <type_traits>

#include "Gallery.h"
#include "app/views/device/DeviceTabs.h"
#include "app/views/bench/LivePanel.h"

namespace Tessarine {
namespace {

using namespace RorozErurEvo;

// A page over a model of its own; the page goes before the model does.
template <class Page> class BenchHost final : public QWidget {
public:
    BenchHost() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        UnitRecord record = model().deviceLists().unit(*bench.demo());
        record.unit = "SN-20417";
        model().deviceLists().setUnit(bench.demo()->id(), record);
        auto& runner = model().runner(bench.demo());
        const auto tests = GuidedTests::allTests(*bench.demo());
        // The left stick's drift, circularity, return and deadzone, each headline as its analysis
        // words it, so that a warn or a fail never reads as within limits.
        const Verdict verdicts[] = {Verdict::pass, Verdict::pass, Verdict::warn, Verdict::fail};
        const char* headlines[] = {"Within limits", "Within limits", "returns 6.5% off center (up left)",
                                   "deadzone 14.2%"};
        for (std::size_t i = 0; i < 4 && i < tests.size(); ++i) {
            TestResult result(tests[i].kind, tests[i].element, ValueSource::processed, verdicts[i], headlines[i],
                              {}, {}, std::nullopt, std::nullopt, Dates::now());
            runner.record(result, tests[i]);
        }
        model().demo().start(); // its looping recording; the gallery's timers never fire
        for (int i = 0; i < 200; ++i) {
            bench.clock.advance(1.0 / 60);
            model().demo().tick();
            model().tick(bench.clock.now());
        }
        if constexpr (std::is_same_v<Page, LivePanel>)
            page_ = new Page(bench.demo(), model().settings());
        else
            page_ = new Page(bench.demo(), DeviceTabs::benchFaces(model()));
        layout->addWidget(page_);
    }
    ~BenchHost() override { delete page_; }
    AppModel& model() { return *bench.model; }

private:
    Fakes::Bench bench{false};
    Page* page_ = nullptr;
};

const bool benchScenesAdded = Gallery::add({
    {"bench-panel-demo", {760, 1100}, [] { return std::unique_ptr<QWidget>(new BenchHost<BenchPanel>); }},
    {"bench-panel-narrow", {420, 900}, [] { return std::unique_ptr<QWidget>(new BenchHost<BenchPanel>); }},
    {"live-panel-demo", {620, 0}, [] { return std::unique_ptr<QWidget>(new BenchHost<LivePanel>); }},
});

} // namespace
} // namespace Tessarine
