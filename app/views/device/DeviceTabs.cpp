#include "app/views/device/DeviceTabs.h"

#include "app/model/AppModel.h"
#include "app/views/history/HistoryView.h"
#include "app/views/bench/LivePanel.h"
#include "app/views/raw/RawHIDView.h"

namespace Tessarine {

DeviceTabs DeviceTabs::standard() {
    DeviceTabs tabs;
    tabs.livePanel = [](AppModel& model, const std::shared_ptr<InputDevice>& device) -> QWidget* {
        return new LivePanel(device, model.settings());
    };
    tabs.benchPanel = [](AppModel& model, const std::shared_ptr<InputDevice>& device) -> QWidget* {
        return new BenchPanel(device, benchFaces(model));
    };
    tabs.rawHID = [](AppModel& model, const std::shared_ptr<InputDevice>& raw, const std::shared_ptr<InputDevice>& owner) {
        return new RawHIDView(raw, owner, model.deviceLists(), model.settings(), model.clock());
    };
    tabs.history = [](AppModel& model, const std::string& unitKey) -> QWidget* {
        return new HistoryView(model.library(), model.navigation(), model, unitKey);
    };
    return tabs;
}

BenchPanel::Faces DeviceTabs::benchFaces(AppModel& model) {
    return {model.deviceLists(), model.navigation(), model, model.settings(),
            BenchCards(model.settings(), *model.soak(), model.batch())};
}

} // namespace Tessarine
