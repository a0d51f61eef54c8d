#include "app/views/DeviceTabs.h"

#include "app/views/EmptyState.h"

namespace Tessarine {

DeviceTabs DeviceTabs::standard() {
    DeviceTabs tabs;
    tabs.livePanel = [](AppModel&, const std::shared_ptr<InputDevice>&) {
        return EmptyState::named(
            QStringLiteral("live-panel"), QStringLiteral("Live Values"), QStringLiteral("gamecontroller"),
            QStringLiteral("The device's sticks, triggers and buttons as they move will show here; they "
                           "are not available in this version."));
    };
    tabs.benchPanel = [](AppModel&, const std::shared_ptr<InputDevice>&) {
        return EmptyState::named(
            QStringLiteral("bench-panel"), QStringLiteral("Guided Tests"),
            QStringLiteral("checkmark.circle.fill"),
            QStringLiteral("The guided tests of this device and their results will show here; they are "
                           "not available in this version."));
    };
    tabs.rawHID = [](AppModel&, const std::shared_ptr<InputDevice>&, const std::shared_ptr<InputDevice>&) {
        return EmptyState::named(
            QStringLiteral("raw-hid-view"), QStringLiteral("Raw HID"), QStringLiteral("slider.horizontal.3"),
            QStringLiteral("The raw HID elements of this device and their editors will show here; they "
                           "are not available in this version."));
    };
    tabs.history = [](AppModel&, const std::string&) {
        return EmptyState::named(
            QStringLiteral("device-history"), QStringLiteral("History"),
            QStringLiteral("clock.arrow.circlepath"),
            QStringLiteral("The saved sessions of this unit will show here; they are not available in this "
                           "version."));
    };
    return tabs;
}

} // namespace Tessarine
