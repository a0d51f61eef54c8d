#include "app/devices/HIDMonitor.h"
#include "app/devices/HidrawBackend.h"

#include <linux/input.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace Tessarine;

namespace {

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

} // namespace

TEST(HidrawBackend, OpenFailuresCarryTheSystemsReasonAndBusesHaveNames) {
    HidrawBackend backend;
    HIDDeviceNode missing;
    missing.node = "/dev/hidraw-that-is-not-there";
    HIDBackend::OpenError error;
    EXPECT_EQ(backend.open(missing, error), nullptr);
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.reason, "No such file or directory");
    for (const auto& device : backend.devices()) EXPECT_FALSE(device.node.empty());

    EXPECT_EQ(HidrawBackend::transportName(BUS_USB), "USB");
    EXPECT_EQ(HidrawBackend::transportName(BUS_BLUETOOTH), "Bluetooth");
    EXPECT_EQ(HidrawBackend::transportName(0x7777), std::nullopt);
}

TEST(HidrawBackend, TheMonitorOverTheRealSystemLeavesNoDescriptorOpen) {
    const std::size_t before = openDescriptors();
    {
        HIDMonitor monitor(std::make_unique<HidrawBackend>());
        monitor.start();
        monitor.stop();
    }
    EXPECT_EQ(openDescriptors(), before);
}
