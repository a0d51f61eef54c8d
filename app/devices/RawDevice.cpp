#include "app/devices/RawDevice.h"

namespace Tessarine {

std::shared_ptr<InputDevice> makeRawDevice(std::string id, const std::shared_ptr<HIDTap>& tap) {
    auto device = std::make_shared<InputDevice>(std::move(id), InputDevice::Kind::hid, tap->info(), tap->elements(),
                                                tap->capture());
    device->assignAxisRoles();
    std::weak_ptr<HIDTap> weakTap = tap;
    device->onPairsChanged = [weakTap](const std::vector<StickPair>& pairs) {
        if (auto t = weakTap.lock()) t->setPairs(pairs);
    };
    // pairs() copies under the tap's lock and releases it: applying them calls back into
    // setPairs(), which takes the same lock.
    device->applyPairs(tap->pairs());
    device->setHidrawNode(tap->node());
    return device;
}

} // namespace Tessarine
