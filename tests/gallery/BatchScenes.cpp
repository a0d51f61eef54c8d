// Scenes of the all-devices view: the demo controller and two pads after a batch drift test (one
// pad drifting), and the same bench while a run is measuring.
#include "../app/model/CommandFakes.h"

#include <QVBoxLayout>

#include <cmath>

#include "Gallery.h"
#include "app/views/batch/BatchView.h"

namespace Tessarine {
namespace {

// The view over a model of its own; the view goes before the model does.
class BatchHost final : public QWidget {
public:
    BatchHost() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        auto t = RorozErurEvo::Thresholds::standard();
        t.driftSeconds = 3;
        bench.model->settings().setThresholds(t);
        bench.controllers->list = pads;
        bench.model->refreshControllers();
        bench.model->navigation().setSelection(SidebarItem::batch());
        bench.model->deviceLists().setUnit("gc-1", UnitRecord{.unit = "RMA-20417", .stage = "Before repair"});
        bench.model->demo().start();
    }
    ~BatchHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

    // The demo's playback, the pads' sticks and the frame tick for `seconds`, as the application
    // runs them. The second pad's left stick rests well off centre.
    void frames(double seconds) {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            bench.clock.advance(1.0 / 60);
            const double now = bench.clock.now();
            const double wobble = 0.004 * std::sin(now * 9);
            pads[0]->buffer().recordStick("ls", 0.003 + wobble, -0.002, std::nullopt, now);
            pads[0]->buffer().recordStick("rs", -0.002, 0.004 - wobble, std::nullopt, now);
            pads[1]->buffer().recordStick("ls", 0.11 + wobble, 0.07, std::nullopt, now);
            pads[1]->buffer().recordStick("rs", 0.01, -0.035 + wobble, std::nullopt, now);
            bench.model->demo().tick();
            bench.model->tick(now);
        }
    }

    Fakes::Bench bench{false};
    std::vector<std::shared_ptr<InputDevice>> pads{Fakes::pad("gc-1", "Wireless Pad", "SN-7731"),
                                                   Fakes::pad("gc-2", "Pro Pad (USB)")};
};

// The bench `seconds` after a batch drift test over every device began.
std::unique_ptr<QWidget> secondsIntoRun(double seconds) {
    auto* host = new BatchHost;
    host->layout()->addWidget(new BatchView(host->bench.model->deviceLists(), host->bench.model->navigation(),
                                            *host->bench.model->batch(), *host->bench.model, {}, host));
    host->bench.model->batch()->start(BatchView::shownDevices(host->bench.model->deviceLists()));
    host->frames(seconds);
    return std::unique_ptr<QWidget>(host);
}

const bool batchScenesAdded = Gallery::add({
    // Settling 2 s and measuring 3 s, then a second of live values after the run.
    {"batch-view-results", {1000, 560}, [] { return secondsIntoRun(6.2); }},
    {"batch-view-measuring", {1000, 420}, [] { return secondsIntoRun(3.5); }},
});

} // namespace
} // namespace Tessarine
