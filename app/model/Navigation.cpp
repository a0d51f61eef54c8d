#include "app/model/Navigation.h"

#include "app/base/Assign.h"

namespace Tessarine {

Navigation::Navigation(QObject* parent) : QObject(parent) {}

void Navigation::setSelection(std::optional<SidebarItem> value) {
    if (assign(selection_, std::move(value))) emit selectionChanged();
}

void Navigation::setTab(DetailTab value) {
    if (assign(tab_, value)) emit tabChanged();
}

void Navigation::setSaveSheetDevice(std::shared_ptr<InputDevice> value) {
    saveSheetDevice_ = std::move(value);
    emit saveSheetDeviceChanged();
}

void Navigation::setCompareBefore(std::optional<RorozErurEvo::Uuid> value) {
    if (assign(compareBefore_, value)) emit compareBeforeChanged();
}

void Navigation::setCompareAfter(std::optional<RorozErurEvo::Uuid> value) {
    if (assign(compareAfter_, value)) emit compareAfterChanged();
}

void Navigation::setSelectedSession(std::optional<RorozErurEvo::Uuid> value) {
    if (assign(selectedSession_, value)) emit selectedSessionChanged();
}

} // namespace Tessarine
