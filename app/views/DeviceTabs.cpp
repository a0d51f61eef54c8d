#include "app/views/DeviceTabs.h"

#include "app/views/BenchPanel.h"
#include "app/views/HistoryView.h"
#include "app/views/LivePanel.h"
#include "app/views/RawHIDView.h"

namespace Tessarine {

DeviceTabs DeviceTabs::standard() {
    DeviceTabs tabs;
    tabs.livePanel = [](AppModel& model, const std::shared_ptr<InputDevice>& device) -> QWidget* {
        return new LivePanel(device, model);
    };
    tabs.benchPanel = [](AppModel& model, const std::shared_ptr<InputDevice>& device) -> QWidget* {
        return new BenchPanel(device, model);
    };
    tabs.rawHID = [](AppModel& model, const std::shared_ptr<InputDevice>& raw, const std::shared_ptr<InputDevice>& owner) {
        return new RawHIDView(raw, owner, model);
    };
    tabs.history = [](AppModel& model, const std::string& unitKey) -> QWidget* {
        return new HistoryView(model, unitKey);
    };
    return tabs;
}

} // namespace Tessarine
