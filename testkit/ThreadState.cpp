#include "testkit/ThreadState.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "testkit/Fmt.h"

namespace RorozErurEvo::ThreadState {

namespace {

// The text's words, split at spaces.
std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> found;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \n", at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(text.find_first_of(" \n", start), text.size());
        found.push_back(text.substr(start, end - start));
        at = end;
    }
    return found;
}

bool number(std::string_view word, std::uint64_t& value, int base = 10) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    return error == std::errc() && end == word.data() + word.size();
}

// The calls a window's thread makes that may keep it, by their numbers on this processor.
// Elsewhere each is named by its number.
std::string_view callName([[maybe_unused]] std::uint64_t number) {
#if defined(__x86_64__)
    static constexpr std::pair<std::uint64_t, std::string_view> names[] = {
        {0, "read"},        {1, "write"},          {2, "open"},        {3, "close"},       {4, "stat"},
        {5, "fstat"},       {6, "lstat"},          {7, "poll"},        {9, "mmap"},        {10, "mprotect"},
        {11, "munmap"},     {12, "brk"},           {16, "ioctl"},      {17, "pread64"},    {19, "readv"},
        {20, "writev"},     {23, "select"},        {24, "sched_yield"}, {25, "mremap"},    {28, "madvise"},
        {35, "nanosleep"},  {42, "connect"},       {44, "sendto"},     {45, "recvfrom"},   {46, "sendmsg"},
        {47, "recvmsg"},    {56, "clone"},         {61, "wait4"},      {72, "fcntl"},      {74, "fsync"},
        {75, "fdatasync"},  {82, "rename"},        {87, "unlink"},     {202, "futex"},     {217, "getdents64"},
        {230, "clock_nanosleep"}, {232, "epoll_wait"}, {257, "openat"}, {262, "newfstatat"}, {270, "pselect6"},
        {271, "ppoll"},     {281, "epoll_pwait"},  {318, "getrandom"}, {332, "statx"},     {435, "clone3"},
    };
    for (const auto& [value, name] : names)
        if (value == number) return name;
#endif
    return {};
}

} // namespace

bool takeStat(std::string_view text, Reading& reading) {
    // The name in parentheses may hold spaces and parentheses of its own: the fields start after
    // the last closing one. Then state (3rd field), …, minflt (10th), cminflt, majflt (12th), …,
    // nice (19th).
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return false;
    const auto fields = words(text.substr(close + 1));
    Reading taken = reading;
    if (fields.size() < 17 || fields[0].size() != 1 || !number(fields[7], taken.minorFaults) ||
        !number(fields[9], taken.majorFaults))
        return false;
    const std::string_view nice = fields[16];
    const bool below = nice.starts_with('-');
    std::uint64_t steps = 0;
    if (!number(below ? nice.substr(1) : nice, steps) || steps > 20) return false;
    taken.nice = below ? -static_cast<int>(steps) : static_cast<int>(steps);
    taken.name = std::string(text.substr(open + 1, close - open - 1));
    taken.state = fields[0][0];
    reading = taken;
    return true;
}

bool takeSchedStat(std::string_view text, Reading& reading) {
    const auto fields = words(text);
    Reading taken = reading;
    if (fields.size() < 2 || !number(fields[0], taken.ranNs) || !number(fields[1], taken.waitedNs)) return false;
    reading = taken;
    return true;
}

std::string systemCall(std::string_view text) {
    const auto fields = words(text);
    if (fields.empty()) return "unknown";
    if (fields[0] == "running") return "running";
    // "-1 SP PC" outside a system call; "NR ARG×6 SP PC" in one.
    if (fields[0] == "-1") return "no system call";
    std::uint64_t call = 0;
    if (!number(fields[0], call)) return "unknown";
    const std::string_view name = callName(call);
    return name.empty() ? "system call " + std::string(fields[0]) : std::string(name);
}

std::uint64_t stoppedAt(std::string_view text) {
    const auto fields = words(text);
    std::uint64_t at = 0;
    if (fields.size() < 3 || fields[0] == "running") return 0;
    const std::string_view last = fields.back();
    if (!last.starts_with("0x") || !number(last.substr(2), at, 16)) return 0;
    return at;
}

namespace {

// A counter that went back (a reading that failed) counts nothing.
std::uint64_t since(std::uint64_t before, std::uint64_t after) { return after > before ? after - before : 0; }

std::string ms(std::uint64_t ns) { return Fmt::trim(static_cast<double>(ns) / 1e6, 1) + " ms"; }

std::string faults(const Reading& from, const Reading& to) {
    return std::to_string(since(from.minorFaults, to.minorFaults)) + " minor and " +
           std::to_string(since(from.majorFaults, to.majorFaults)) + " major page faults";
}

} // namespace

std::string stretch(const Reading& from, const Reading& to, double elapsedMs) {
    const std::uint64_t ran = since(from.ranNs, to.ranNs), waited = since(from.waitedNs, to.waitedNs);
    const double slept = std::max(0.0, elapsedMs - static_cast<double>(ran + waited) / 1e6);
    return "ran " + ms(ran) + ", waited " + ms(waited) + " for a core, slept " + Fmt::trim(slept, 1) + " ms; " +
           faults(from, to);
}

std::string ran(const Reading& from, const Reading& to) { return "ran " + ms(since(from.ranNs, to.ranNs)) + "; " + faults(from, to); }

} // namespace RorozErurEvo::ThreadState
