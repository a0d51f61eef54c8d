#pragma once
// What fills each tab of a device view. The device view owns the header, the dividers and the
// layout of the tabs; the content of each comes from one factory here, so the bench, the raw HID
// table and the history are each built and replaced on their own. To put a view into a tab, set
// its factory in DeviceTabs::standard() (DeviceTabs.cpp); tests hand in factories of their own.
//
// The device view creates a tab's content when the tab is shown and deletes it when another tab
// is chosen; it creates the raw HID content again when the device's raw partner changes, and the
// history content again when the device's unit key changes.
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "app/views/bench/BenchPanel.h"

namespace Tessarine {

class AppModel;
class InputDevice;

struct DeviceTabs {
    using DeviceFactory = std::function<QWidget*(AppModel&, const std::shared_ptr<InputDevice>&)>;

    // Bench tab, left column: the live values of the device. The device view puts it in a
    // vertical scroll area 360 to 600 pixels wide (480 when there is room), so it should have a
    // sensible height for its width.
    DeviceFactory livePanel;
    // Bench tab, right column: the guided tests of the device, at least 360 pixels wide and
    // taking the rest of the width.
    DeviceFactory benchPanel;
    // Raw HID tab: the element table of `raw` (null when the device has no raw HID device; the
    // content then says so) on behalf of `owner`, the device whose view this is.
    std::function<QWidget*(AppModel&, const std::shared_ptr<InputDevice>& raw,
                           const std::shared_ptr<InputDevice>& owner)>
        rawHID;
    // History tab: the saved sessions of the unit with this key.
    std::function<QWidget*(AppModel&, const std::string& unitKey)> history;

    // The application's tab contents.
    static DeviceTabs standard();
    // What the bench tab's page is given of the model.
    static BenchPanel::Faces benchFaces(AppModel& model);
};

} // namespace Tessarine
