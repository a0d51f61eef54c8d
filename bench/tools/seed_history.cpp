// seed-history DIR COUNT: fills DIR with COUNT session files as the application writes them (a
// full check of a wireless pad each, one hour apart, over 1,700 units), for timing start-up
// against a large history (scripts/startup-time.sh). DIR is created when missing.
#include <charconv>
#include <cstdio>
#include <exception>
#include <string_view>
#include <system_error>

#include "bench/RealisticSession.h"

int main(int argc, char** argv) {
    int count = 0;
    const std::string_view number = argc == 3 ? argv[2] : "";
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), count);
    if (argc != 3 || parsed.ec != std::errc{} || parsed.ptr != number.data() + number.size() || count < 0) {
        std::fputs("usage: seed-history DIR COUNT\n", stderr);
        return 2;
    }
    try {
        RealisticSession::writeFiles(argv[1], count);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "seed-history: couldn't write the history: %s\n", error.what());
        return 1;
    }
    return 0;
}
