#pragma once
// One testable input device as the application sees it, whatever its source: a game
// controller, a raw HID device, the demo controller or the demo's raw twin.
//
// Main thread only. Observable properties emit their signal only when the new value differs
// from the old one; `live` is the exception and is emitted on every frame. The capture buffer
// is the only part shared with the input threads.
#include <QObject>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/devices/CaptureBuffer.h"
#include "app/devices/DeviceOutputs.h"
#include "app/devices/ElementInfo.h"
#include "testkit/AxisRole.h"
#include "testkit/DeviceInfo.h"

namespace Tessarine {

class InputDevice : public QObject {
    Q_OBJECT

public:
    enum class Kind { controller, hid, demo, demoRaw };

    // Seconds between two battery reads.
    static constexpr double batteryInterval = 2.0;

    InputDevice(std::string id, Kind kind, RorozErurEvo::DeviceInfo info, std::vector<ElementInfo> elements,
                std::shared_ptr<CaptureBuffer> capture = std::make_shared<CaptureBuffer>(),
                std::shared_ptr<DeviceOutputs> outputs = nullptr, QObject* parent = nullptr);

    // Constants.
    const std::string& id() const { return id_; }
    Kind kind() const { return kind_; }
    // Shared with the device's source, which writes into it from its own thread.
    const std::shared_ptr<CaptureBuffer>& capture() const { return capture_; }
    CaptureBuffer& buffer() const { return *capture_; }

    // Observable properties.
    const RorozErurEvo::DeviceInfo& info() const { return info_; }
    void setInfo(RorozErurEvo::DeviceInfo value);
    const std::vector<ElementInfo>& elements() const { return elements_; }
    void setElements(std::vector<ElementInfo> value);
    const Capabilities& capabilities() const { return capabilities_; }
    void setCapabilities(Capabilities value);
    bool connected() const { return connected_; }
    void setConnected(bool value);
    const std::shared_ptr<InputDevice>& rawPartner() const { return rawPartner_; }
    void setRawPartner(std::shared_ptr<InputDevice> value);
    bool useRaw() const { return useRaw_; }
    void setUseRaw(bool value);
    const std::vector<StickPair>& stickPairs() const { return stickPairs_; }
    const std::map<std::string, RorozErurEvo::AxisRole>& axisRoles() const { return axisRoles_; }
    void setAxisRoles(std::map<std::string, RorozErurEvo::AxisRole> value);
    const std::optional<std::array<double, 3>>& lightColor() const { return lightColor_; }
    void setLightColor(std::optional<std::array<double, 3>> value);
    std::optional<int> playerLight() const { return playerLight_; }
    void setPlayerLight(std::optional<int> value);
    const CaptureBuffer::Snapshot& live() const { return live_; }
    const std::map<std::string, std::deque<RorozErurEvo::StickSample>>& trails() const { return trails_; }
    const std::map<std::string, RawLive>& rawLive() const { return rawLive_; }
    std::optional<double> batteryLevel() const { return batteryLevel_; }
    const std::optional<std::string>& batteryState() const { return batteryState_; }

    // Plain properties.
    const std::shared_ptr<DeviceOutputs>& outputs() const { return outputs_; }
    void setOutputs(std::shared_ptr<DeviceOutputs> value) { outputs_ = std::move(value); }
    // Called by applyPairs; a raw HID device forwards the pairs to its reader.
    std::function<void(const std::vector<StickPair>&)> onPairsChanged;
    double lastBatteryCheck() const { return lastBatteryCheck_; }
    // The hidraw node of the same physical device ("/dev/hidraw3"), when its source knows it; the
    // application model pairs a controller with its raw HID twin by it.
    const std::optional<std::string>& hidrawNode() const { return hidrawNode_; }
    void setHidrawNode(std::optional<std::string> value) { hidrawNode_ = std::move(value); }
    // Read through the system's joystick layer rather than from its own reports.
    bool joystickLayer() const { return joystickLayer_; }
    void setJoystickLayer(bool value) { joystickLayer_ = value; }
    // Seconds per step of the clock that stamps its samples; 0 for a fine clock. Report rates
    // faster than one a step are told as a floor.
    double stampResolution() const { return stampResolution_; }
    void setStampResolution(double value) { stampResolution_ = value; }

    // Element lists derived from `elements`.
    std::vector<ElementInfo> sticks() const;     // kind stick, display order
    std::vector<ElementInfo> buttons() const;    // kind button or trigger, display order
    std::vector<ElementInfo> triggers() const;   // kind trigger, display order
    std::vector<ElementInfo> dpads() const;      // element order
    std::vector<ElementInfo> touchpads() const;  // element order
    std::vector<ElementInfo> axes() const;       // element order
    // Axes and triggers read from HID reports that are not hat switches, element order.
    std::vector<ElementInfo> analogAxes() const;

    // Strict comes-before test: role position, then name with numbers compared by value.
    static bool displayOrder(const ElementInfo& a, const ElementInfo& b);

    std::optional<ElementInfo> element(const std::string& id) const;
    // The raw partner's stick that matches an element of this device.
    std::optional<ElementInfo> rawCounterpart(const ElementInfo& element) const;
    // The identity recorded with results: ids, serial and transport the device lacks come from
    // its raw partner.
    RorozErurEvo::DeviceInfo identity() const;
    // The device tests run on: the raw partner when useRaw is set and a partner exists.
    InputDevice& testTarget();

    // Per-frame refresh of live values, trails, raw statistics and (every 2 s) the battery.
    void update(double now, double trailSeconds);
    // Replaces the sticks built from axis pairs.
    void applyPairs(std::vector<StickPair> pairs);
    // Fills missing axis roles from the elements' HID usages; never changes an existing one.
    void assignAxisRoles();

signals:
    void infoChanged();
    void elementsChanged();
    void capabilitiesChanged();
    void connectedChanged();
    void rawPartnerChanged();
    void useRawChanged();
    void stickPairsChanged();
    void axisRolesChanged();
    void lightColorChanged();
    void playerLightChanged();
    // Every frame, after the trails have moved: a view that shows both needs only this one.
    void liveChanged();
    // Only on frames where a trail moved, after liveChanged.
    void trailsChanged();
    void rawLiveChanged();
    void batteryLevelChanged();
    void batteryStateChanged();

private:
    std::vector<ElementInfo> ofKinds(std::initializer_list<ElementInfo::Kind> kinds, bool sorted) const;

    const std::string id_;
    const Kind kind_;
    RorozErurEvo::DeviceInfo info_;
    std::vector<ElementInfo> elements_;
    const std::shared_ptr<CaptureBuffer> capture_;
    Capabilities capabilities_;
    bool connected_ = true;
    std::shared_ptr<InputDevice> rawPartner_;
    bool useRaw_ = false;
    std::shared_ptr<DeviceOutputs> outputs_;
    std::vector<StickPair> stickPairs_;
    std::map<std::string, RorozErurEvo::AxisRole> axisRoles_;
    std::optional<std::array<double, 3>> lightColor_;
    std::optional<int> playerLight_;
    CaptureBuffer::Snapshot live_;
    std::map<std::string, std::deque<RorozErurEvo::StickSample>> trails_;
    std::map<std::string, CaptureBuffer::TrailCursor> trailCursors_;
    std::map<std::string, RawLive> rawLive_;
    std::optional<double> batteryLevel_;
    std::optional<std::string> batteryState_;
    double lastBatteryCheck_ = 0; // uptime seconds
    std::optional<std::string> hidrawNode_;
    bool joystickLayer_ = false;
    double stampResolution_ = 0;
};

} // namespace Tessarine
