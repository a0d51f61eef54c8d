#include "app/views/shell/Destinations.h"

#include "app/devices/InputDevice.h"
#include "app/model/AppModel.h"
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
    d.keyboard = [](AppModel& model) {
        return new KeyboardTesterView(model.keyboard(), model.settings(), model, model.clock());
    };
    d.mouse = [](AppModel& model) {
        return new MouseTesterView(model.mouse(), model.settings(), model, model.clock());
    };
    d.batch = [](AppModel& model) {
        return new BatchView(model.deviceLists(), model.navigation(), *model.batch(), model);
    };
    d.history = [](AppModel& model) -> QWidget* {
        return new HistoryView(model.library(), model.navigation(), model);
    };
    d.saveSheet = [](AppModel& model, const std::shared_ptr<InputDevice>& device, QWidget* parent) -> QDialog* {
        return new SaveSessionSheet(model.deviceLists(), model.settings(), model, device, parent);
    };
    return d;
}

} // namespace Tessarine
