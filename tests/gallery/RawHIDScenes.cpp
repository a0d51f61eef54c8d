// Scenes of the Raw HID tab: the demo's raw twin live after a few seconds of its recording, and a
// controller without a raw device.
#include "../app/model/ModelFakes.h"

#include <QVBoxLayout>

#include "Gallery.h"
#include "app/model/TestRunner.h"
#include "app/views/raw/AxisCheck.h"
#include "app/views/raw/RawHIDView.h"

namespace Tessarine {
namespace {

// The view over a model of its own; the view goes before the model does.
class RawHost final : public QWidget {
public:
    RawHost() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    ~RawHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

    // The demo's playback and the frame tick for `seconds`, as the application runs them.
    void frames(double seconds) {
        auto twin = bench.model->demo().raw();
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            bench.clock.advance(1.0 / 60);
            bench.model->demo().tick();
            bench.model->tick(bench.clock.now());
            twin->update(bench.clock.now(), 1.5);
        }
    }

    Fakes::Bench bench{false};
};

std::unique_ptr<QWidget> twinTable() {
    auto* host = new RawHost;
    auto twin = host->bench.model->demo().raw();
    host->bench.model->demo().start();
    auto* view = new RawHIDView(twin, host->bench.demo(), host->bench.model->deviceLists(),
                                host->bench.model->settings(), host->bench.model->clock(), host);
    host->layout()->addWidget(view);
    host->frames(3);
    return std::unique_ptr<QWidget>(host);
}

std::unique_ptr<QWidget> withoutRawDevice() {
    auto* host = new RawHost;
    host->layout()->addWidget(new RawHIDView(nullptr, host->bench.demo(), host->bench.model->deviceLists(),
                                             host->bench.model->settings(), host->bench.model->clock(),
                                             host));
    return std::unique_ptr<QWidget>(host);
}

const bool rawHIDScenesAdded = Gallery::add({
    {"raw-hid-demo-twin", {900, 1300}, twinTable},
    {"raw-hid-unavailable", {640, 360}, withoutRawDevice},
});

} // namespace
} // namespace Tessarine
