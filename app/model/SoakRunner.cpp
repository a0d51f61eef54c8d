#include "app/model/SoakRunner.h"

#include <algorithm>

#include "app/devices/InputDevice.h"
#include "app/model/AppModel.h"

namespace Tessarine {

bool SoakRunner::isRunning(const InputDevice& device) const { return running_ && deviceID_ == device.id(); }

void SoakRunner::start(InputDevice& device, double minutes) {
    if (running_) return;
    seconds_ = std::max(minutes * 60, 60.0);
    running_ = true;
    emit runningChanged();
    if (deviceID_ != device.id()) {
        deviceID_ = device.id();
        emit deviceIDChanged();
    }
    if (device.outputs()) device.outputs()->setMotionActive(true);
}

void SoakRunner::stop() {
    if (!running_) return;
    running_ = false;
    emit runningChanged();
    if (deviceID_)
        if (auto device = model_.device(*deviceID_); device && device->outputs()) device->outputs()->setMotionActive(false);
}

} // namespace Tessarine
