#include "app/devices/EvdevAxes.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <climits>

namespace Tessarine::EvdevAxes {

std::optional<std::vector<int>> codes(const std::string& node) {
    if (!node.starts_with("/dev/input/event")) return std::nullopt;
    const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    constexpr std::size_t longBits = sizeof(unsigned long) * CHAR_BIT;
    unsigned long bits[(ABS_MAX + longBits) / longBits] = {};
    const int got = ::ioctl(fd, EVIOCGBIT(EV_ABS, sizeof bits), bits);
    ::close(fd);
    if (got < 0) return std::nullopt;
    std::vector<int> list;
    for (int code = 0; code < ABS_MAX; ++code) {
        if (code >= ABS_HAT0X && code <= ABS_HAT3Y) continue;
        if (bits[code / longBits] >> (code % longBits) & 1ul) list.push_back(code);
    }
    return list;
}

} // namespace Tessarine::EvdevAxes
