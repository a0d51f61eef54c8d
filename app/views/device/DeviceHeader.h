#pragma once
// The top of a device view: the device's name and detail line on the left; on the right its
// battery, the demo's recording picker, the raw HID area (the value-source picker of a paired
// device, or the menu that pairs a controller with a raw HID device) and the tab picker. Every
// control writes straight into the model or the device; the header keeps no state of its own.
#include <QWidget>

#include <memory>

class QBoxLayout;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;

namespace Tessarine {

class DemoDriver;
class DeviceLists;
class Navigation;
class ElidedLabel;
class PartsLabel;
class InputDevice;
class SegmentedControl;

class DeviceHeader : public QWidget {
    Q_OBJECT

public:
    // Pixel measures of the row.
    static constexpr int spacing = 14;
    static constexpr int horizontalPadding = 16;
    static constexpr int verticalPadding = 10;
    static constexpr int demoPickerWidth = 190;
    static constexpr int pairingMenuWidth = 190;
    static constexpr int valuesPickerWidth = 180;
    static constexpr int tabPickerWidth = 240;

    DeviceHeader(DeviceLists& lists, Navigation& navigation, DemoDriver& demo,
                 std::shared_ptr<InputDevice> device, QWidget* parent = nullptr);

    const std::shared_ptr<InputDevice>& device() const { return device_; }

    // The parts, for the view around it and for tests. The demo picker exists only for the demo
    // devices, the pairing menu only for controllers, the value-source picker only for
    // controllers and the demo controller (shown while they have a raw partner).
    QLabel* nameLabel() const;
    QLabel* detailLabel() const;
    QWidget* battery() const { return battery_; }
    QLabel* batteryText() const { return batteryText_; }
    // The symbol name the battery shows; empty without a level.
    const QString& batterySymbol() const { return batterySymbol_; }
    QComboBox* demoPicker() const { return demo_; }
    QPushButton* pairingButton() const { return pairing_; }
    QMenu* pairingMenu() const { return pairingMenu_; }
    SegmentedControl* valuesPicker() const { return values_; }
    SegmentedControl* tabPicker() const { return tabs_; }

    // Brings every part up to date with the device and the model.
    void refresh();
    // What choosing "Processed" (false) or "Raw HID" (true) does: a test running on the device
    // would mix both kinds of values, so it ends without a result first.
    void chooseValueSource(bool raw);

    // Whether the name, whole, and the controls fit side by side in `width` pixels; otherwise the
    // controls go under the titles.
    bool fitsOneRow(int width) const;
    // As narrow as the controls: narrower than name and controls side by side, they stack.
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Builders of the header's parts, each run once by the constructor.
    void buildTitles();
    void buildBattery();
    void buildDemoPicker();
    void buildPairing();
    void buildValuesPicker();
    void buildTabs();

    // Row or stack for `width`. Const because the header's layout asks for it while it answers
    // a height or takes a geometry; it changes only how the parts are laid out.
    void arrange(int width) const;
    void watchPartner();
    void refreshBattery();
    void refreshRawArea();
    void fillPairingMenu();
    void applyColours();

    DeviceLists& lists_;
    Navigation& navigation_;
    DemoDriver& demoDriver_;
    const std::shared_ptr<InputDevice> device_;
    QBoxLayout* outer_;
    QHBoxLayout* controls_;
    ElidedLabel* name_;
    PartsLabel* detail_;
    QWidget* battery_;
    QLabel* batteryIcon_;
    QLabel* batteryText_;
    QString batterySymbol_;
    QComboBox* demo_ = nullptr;
    QPushButton* pairing_ = nullptr;
    QMenu* pairingMenu_ = nullptr;
    SegmentedControl* values_ = nullptr;
    SegmentedControl* tabs_;
    QMetaObject::Connection partnerInfo_;
};

} // namespace Tessarine
