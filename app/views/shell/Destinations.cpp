#include "app/views/shell/Destinations.h"

#include "app/devices/InputDevice.h"
#include "app/views/batch/BatchView.h"
#include "app/views/device/DeviceView.h"
#include "app/views/history/HistoryView.h"
#include "app/views/testers/KeyboardTesterView.h"
#include "app/views/testers/MouseTesterView.h"
#include "app/views/device/SaveSessionSheet.h"

namespace Tessarine {

Destinations Destinations::standard() {
    Destinations d;
    d.device = [](AppModel& model, const std::shared_ptr<InputDevice>& device) -> QWidget* {
        return new DeviceView(model, device);
    };
    d.keyboard = [](AppModel& model) { return new KeyboardTesterView(model); };
    d.mouse = [](AppModel& model) { return new MouseTesterView(model); };
    d.batch = [](AppModel& model) { return new BatchView(model); };
    d.history = [](AppModel& model) -> QWidget* { return new HistoryView(model); };
    d.saveSheet = [](AppModel& model, const std::shared_ptr<InputDevice>& device, QWidget* parent) -> QDialog* {
        return new SaveSessionSheet(model, device, parent);
    };
    return d;
}

} // namespace Tessarine
