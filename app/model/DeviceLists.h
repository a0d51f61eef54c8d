#pragma once
// The devices as the views see them: the connected controllers, the raw HID devices and those
// the raw HID monitor could not open, each controller's raw partner, the runner of every device
// and the unit record the user gave it. Owned by the application model, which hands the lists
// what its sources report as devices connect and disconnect. Main thread only.
//
// The lists of devices notify on every assignment; the partner choice and the unit records only
// when they change.
#include <QObject>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/devices/SkippedHID.h"
#include "app/model/UnitRecord.h"

namespace Tessarine {

class ControllerSource;
class DemoDriver;
class HIDSource;
class InputDevice;
class RunnerContext;
class TestRunner;
class UserSettings;

class DeviceLists : public QObject {
    Q_OBJECT

public:
    using Devices = std::vector<std::shared_ptr<InputDevice>>;

    // Everything handed in is not owned and outlives the lists.
    DeviceLists(ControllerSource& controllers, HIDSource& hid, DemoDriver& demo, RunnerContext& context,
                const UserSettings& settings, QObject* parent = nullptr);
    ~DeviceLists() override;

    const Devices& controllerDevices() const { return controllerDevices_; }
    // The HID devices that are nobody's raw partner.
    const Devices& hidDevices() const { return hidDevices_; }
    const Devices& allHID() const { return allHID_; }
    const std::vector<SkippedHID>& skippedHID() const { return skippedHID_; }
    // Why a whole source reads nothing, empty while it runs: the controller service failed to
    // start, or the raw HID loop stopped. Change with controllerDevicesChanged and
    // skippedHIDChanged.
    const std::string& controllerFailure() const { return controllerFailure_; }
    const std::string& hidFailure() const { return hidFailure_; }
    const std::map<std::string, std::string>& partnerChoice() const { return partnerChoice_; }
    // The user's raw partner for a controller; no identifier is an explicit choice of none.
    void setPartner(const std::optional<std::string>& hidID, const InputDevice& controller);

    // Controllers, then the demo controller, then the unpartnered HID devices.
    Devices allDevices() const;
    std::shared_ptr<InputDevice> device(const std::string& id) const;

    // The device's runner, created on first use. A runner is never removed while the application
    // runs: views and batch cards keep references to it, and its results outlive a disconnection.
    TestRunner& runner(const std::shared_ptr<InputDevice>& device);
    const TestRunner* existingRunner(const std::string& id) const;
    std::size_t runnerCount() const { return runners_.size(); }
    // Every runner, by device identifier.
    const std::map<std::string, std::unique_ptr<TestRunner>>& runners() const { return runners_; }

    const std::map<std::string, UnitRecord>& units() const { return units_; }
    // The device's record, or a new one (not kept) with the default technician.
    UnitRecord unit(const InputDevice& device) const;
    void setUnit(const std::string& deviceID, UnitRecord record);

    // ---- what the model hands in from its sources

    // Takes the controller source's devices; returns the notices it had for the user.
    std::vector<std::string> refreshControllers();
    // Takes the raw HID source's devices and the ones it could not open.
    void refreshHID();

signals:
    void controllerDevicesChanged();
    void hidDevicesChanged();
    void allHIDChanged();
    void skippedHIDChanged();
    void partnerChoiceChanged();
    void unitsChanged();

private:
    // Lists each joystick of the joystick layer that the raw HID monitor does not read itself,
    // in place of the monitor's row for the node it could not open. True when a list changed.
    bool mergeJoysticks();
    void pairRawPartners();

    ControllerSource& controllers_;
    HIDSource& hid_;
    DemoDriver& demo_;
    RunnerContext& context_;
    const UserSettings& settings_;

    Devices controllerDevices_;
    Devices hidDevices_;
    Devices allHID_;
    std::vector<SkippedHID> skippedHID_;
    // What the raw HID monitor alone reads and leaves aside; allHID_ and skippedHID_ add the
    // joysticks read through the system's joystick layer.
    Devices monitorHID_;
    std::vector<SkippedHID> monitorSkipped_;
    std::string controllerFailure_;
    std::string hidFailure_;
    std::map<std::string, std::shared_ptr<InputDevice>> hidByID_;
    std::map<std::string, std::unique_ptr<TestRunner>> runners_;
    std::map<std::string, std::string> partnerChoice_;
    std::map<std::string, UnitRecord> units_;
};

} // namespace Tessarine
