// Scenes of a device's detail area: the demo controller's device view with its header, a
// controller's header before and after pairing, and the save-session sheet.
#include "../app/model/ModelFakes.h"
#include "../app/model/RunnerFakes.h"

#include <QVBoxLayout>

#include "Gallery.h"
#include "app/views/device/DeviceHeader.h"
#include "app/views/device/DeviceView.h"
#include "app/views/device/SaveSessionSheet.h"

namespace Tessarine {
namespace {

// Views over a model of their own; the views go before the model does.
class DeviceHost final : public QWidget {
public:
    DeviceHost() : layout_(new QVBoxLayout(this)) {
        layout_->setContentsMargins(0, 0, 0, 0);
        layout_->setSpacing(0);
    }
    ~DeviceHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

    AppModel& model() { return *bench.model; }
    void add(QWidget* widget) { layout_->addWidget(widget); }
    std::shared_ptr<InputDevice> pad(const std::string& id, const std::string& name) {
        auto device = Fakes::controller(std::make_shared<Fakes::RecordingOutputs>(), id);
        RorozErurEvo::DeviceInfo info;
        info.name = name;
        info.category = "Gamepad";
        info.vendorID = 0x045E;
        info.productID = 0x0B13;
        info.transport = "Bluetooth";
        info.batteryLevel = 0.37;
        device->setInfo(info);
        bench.controllers->list.push_back(device);
        model().refreshControllers();
        return device;
    }

    Fakes::Bench bench{false};

private:
    QVBoxLayout* layout_;
};

std::unique_ptr<QWidget> demoView() {
    auto host = std::make_unique<DeviceHost>();
    host->add(new DeviceView(host->model(), host->bench.demo()));
    return host;
}

std::unique_ptr<QWidget> controllerHeaders() {
    auto host = std::make_unique<DeviceHost>();
    auto unpaired = host->pad("gc-1", "Wireless Pad");
    host->add(new DeviceHeader(host->model().deviceLists(), host->model().navigation(), host->model().demo(),
                               unpaired));
    auto paired = host->pad("gc-2", "Wired Pad");
    host->bench.hid->plug(7, Fakes::tap(7, "Wired Pad", host->bench.clock, {}, std::string("WP-0042")));
    host->model().refreshHID();
    paired->setUseRaw(true);
    host->add(new DeviceHeader(host->model().deviceLists(), host->model().navigation(), host->model().demo(),
                               paired));
    return host;
}

std::unique_ptr<QWidget> saveSheet() {
    auto host = std::make_unique<DeviceHost>();
    host->model().settings().setDefaultTechnician("Ana");
    host->model().runner(host->bench.demo()).store(
        "one", RorozErurEvo::TestResult(RorozErurEvo::TestKind::drift, "left", RorozErurEvo::ValueSource::processed,
                                        RorozErurEvo::Verdict::pass, "Centred", {}, {}));
    auto* sheet = new SaveSessionSheet(host->model().deviceLists(), host->model().settings(), host->model(),
                                       host->bench.demo());
    sheet->setWindowFlags(Qt::Widget);
    host->add(sheet);
    return host;
}

const bool deviceViewScenesAdded = Gallery::add({
    {"device-view-demo", {1080, 640}, demoView},
    {"device-headers-controller", {1080, 0}, controllerHeaders},
    {"save-session-sheet", {}, saveSheet},
});

} // namespace
} // namespace Tessarine
