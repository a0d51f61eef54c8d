#pragma once
// A raw HID device the monitor found but left closed, and why.
#include <string>

namespace Tessarine {

struct SkippedHID {
    enum class Why {
        keyboardOrMouse, // also a keyboard or mouse: the keyboard and mouse testers cover those
        openFailed,      // the system refused to open its node
        noDescriptor,    // opened, but no report descriptor could be read
    };

    std::string title;   // the row's text: name and a short reason
    Why why = Why::keyboardOrMouse;
    std::string node;    // "/dev/hidraw3"
    std::string cause;   // the system's reason, for openFailed
    bool permission = false; // openFailed for lack of permission (EACCES, EPERM)

    friend bool operator==(const SkippedHID&, const SkippedHID&) = default;
};

} // namespace Tessarine
