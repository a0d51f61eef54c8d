#pragma once
// Where the user is in the window, as the views see it: the sidebar's selection, the tab of a
// device's detail view, the device whose save sheet is open, and the history's picks (the open
// session and the two sessions of a comparison). Owned by the application model. Main thread
// only; every field emits its signal only when its value changes, except the save sheet's
// device, which notifies on every assignment.
#include <QObject>

#include <memory>
#include <optional>

#include "app/model/SidebarItem.h"
#include "testkit/Uuid.h"

namespace Tessarine {

class InputDevice;

class Navigation : public QObject {
    Q_OBJECT

public:
    explicit Navigation(QObject* parent = nullptr);

    const std::optional<SidebarItem>& selection() const { return selection_; }
    void setSelection(std::optional<SidebarItem> value);
    DetailTab tab() const { return tab_; }
    void setTab(DetailTab value);
    // The device whose save-session sheet is open; null while none is.
    const std::shared_ptr<InputDevice>& saveSheetDevice() const { return saveSheetDevice_; }
    void setSaveSheetDevice(std::shared_ptr<InputDevice> value);

    const std::optional<RorozErurEvo::Uuid>& compareBefore() const { return compareBefore_; }
    void setCompareBefore(std::optional<RorozErurEvo::Uuid> value);
    const std::optional<RorozErurEvo::Uuid>& compareAfter() const { return compareAfter_; }
    void setCompareAfter(std::optional<RorozErurEvo::Uuid> value);
    const std::optional<RorozErurEvo::Uuid>& selectedSession() const { return selectedSession_; }
    void setSelectedSession(std::optional<RorozErurEvo::Uuid> value);

signals:
    void selectionChanged();
    void tabChanged();
    void saveSheetDeviceChanged();
    void compareBeforeChanged();
    void compareAfterChanged();
    void selectedSessionChanged();

private:
    std::optional<SidebarItem> selection_ = SidebarItem::device("demo");
    DetailTab tab_ = DetailTab::bench;
    std::shared_ptr<InputDevice> saveSheetDevice_;
    std::optional<RorozErurEvo::Uuid> compareBefore_;
    std::optional<RorozErurEvo::Uuid> compareAfter_;
    std::optional<RorozErurEvo::Uuid> selectedSession_;
};

} // namespace Tessarine
