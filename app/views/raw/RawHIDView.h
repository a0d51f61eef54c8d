#pragma once
// The Raw HID tab of a device page: the device's own numbers as its HID reports carry them,
// element by element, with the editors that turn raw axes into sticks and roles and the axis
// check. Without a raw device it says why none is shown.
#include <QWidget>

#include <memory>

#include "app/devices/InputDevice.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace Tessarine {

class Clock;
class DeviceLists;
class UserSettings;
class AxisCheck;
class AxisRolesEditor;
class ElementTable;
class StickPairsEditor;

class RawHIDView : public QWidget {
    Q_OBJECT

public:
    // `device` is the raw HID device shown (none: the page's device has none); `owner` the device
    // whose page holds the view, whose runner keeps the axis check's results.
    RawHIDView(std::shared_ptr<InputDevice> device, std::shared_ptr<InputDevice> owner, DeviceLists& lists,
               const UserSettings& settings, const Clock& clock, QWidget* parent = nullptr);

    const std::shared_ptr<InputDevice>& device() const { return device_; }
    // Null without a raw device.
    QLabel* reports() const { return reports_; }
    QPushButton* resetButton() const { return reset_; }
    ElementTable* table() const { return table_; }
    StickPairsEditor* pairs() const { return pairs_; }
    AxisRolesEditor* roles() const { return roles_; }
    AxisCheck* axisCheck() const { return check_; }

    // Recomputes the report rate over the last second.
    void refreshRate();

private:
    // Builders of the page's parts, each run once by the constructor.
    void buildHeader(QVBoxLayout* box, QWidget* content);
    void buildSections(QVBoxLayout* box, QWidget* content, const std::shared_ptr<InputDevice>& owner);

    std::shared_ptr<InputDevice> device_;
    DeviceLists& lists_;
    const UserSettings& settings_;
    const Clock& clock_;
    QLabel* reports_ = nullptr;
    QPushButton* reset_ = nullptr;
    ElementTable* table_ = nullptr;
    StickPairsEditor* pairs_ = nullptr;
    AxisRolesEditor* roles_ = nullptr;
    AxisCheck* check_ = nullptr;
};

} // namespace Tessarine
