#pragma once
// The detail area of a selected device: its header, a divider, and the content of the window's
// current tab (one tab for every device, kept in the model):
//   bench    the live panel in a scroll column 360 to 600 pixels wide (480 when there is room),
//            a divider, and the bench panel taking the rest, at least 360 pixels;
//   raw      the raw HID content for the device's raw device (its raw partner, or itself);
//   history  the saved sessions of the unit the device would save under now.
// The tab contents come from DeviceTabs; this view only places them.
#include <QWidget>

#include <memory>
#include <string>

#include "app/model/SidebarItem.h"
#include "app/views/device/DeviceTabs.h"

class QScrollArea;

namespace Tessarine {

class AppModel;
class DeviceHeader;
class InputDevice;

class DeviceView : public QWidget {
    Q_OBJECT

public:
    // Widths of the bench tab's columns, pixels.
    static constexpr int liveMinimum = 360;
    static constexpr int liveIdeal = 480;
    static constexpr int liveMaximum = 600;
    static constexpr int benchMinimum = 360;

    DeviceView(AppModel& model, std::shared_ptr<InputDevice> device, DeviceTabs tabs = DeviceTabs::standard(),
               QWidget* parent = nullptr);

    const std::shared_ptr<InputDevice>& device() const { return device_; }
    DeviceHeader& header() const { return *header_; }
    // The tab whose content is shown.
    DetailTab shownTab() const { return shown_; }
    // The shown tab's content: the bench's two columns, the raw HID content or the history.
    QWidget* content() const { return content_; }
    // Parts of the bench tab; null on the other tabs.
    QScrollArea* liveColumn() const { return liveColumn_; }
    QWidget* livePanel() const { return livePanel_; }
    QWidget* benchPanel() const { return benchPanel_; }
    // The unit key the History tab lists.
    const std::string& historyUnit() const { return historyUnit_; }

private:
    void showTab(bool force = false);
    QWidget* makeBench();
    void partnerChanged();
    void unitMayHaveChanged();
    std::string currentUnitKey() const;

    AppModel& model_;
    const std::shared_ptr<InputDevice> device_;
    DeviceTabs tabs_;
    DeviceHeader* header_;
    QWidget* host_;
    QWidget* content_ = nullptr;
    DetailTab shown_ = DetailTab::bench;
    QScrollArea* liveColumn_ = nullptr;
    QWidget* livePanel_ = nullptr;
    QWidget* benchPanel_ = nullptr;
    std::shared_ptr<InputDevice> shownRaw_;
    std::string historyUnit_;
    QMetaObject::Connection partnerInfo_;
};

} // namespace Tessarine
