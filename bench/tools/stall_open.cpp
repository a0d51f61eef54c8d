// libstall-open.so, loaded with LD_PRELOAD: folders on a disk that stopped answering, as a
// network mount does when its server goes away. Every open of a file inside the folders named by
// STALL_OPEN_DIR (absolute paths without a trailing slash, joined by ":") never returns; the
// folders themselves, and everything elsewhere, open as usual, so a file panel still lists them.
// With STALL_OPEN_TRIGGER set, opens are held only once the file it names exists, so a program
// can start and read its folders first. Each open held is said on standard error
// ("stall-open: holding PATH"), so a road knows the moment it happened. With STALL_OPEN_DELAY_MS
// set, the disk is slow rather than gone: each such open waits that many milliseconds and then
// goes ahead (a slow USB stick, a busy network share). The roads use it to check that the window
// keeps answering, that Quit still ends the program and that a slow save survives Quit and the
// signals (scripts/stalled-disk-road.sh).
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

namespace {

// Whether `path`, opened relative to `dir` (AT_FDCWD or a folder's descriptor), lies inside
// one of the stalled folders (and the trigger, if any, is there).
bool stalled(int dir, const char* path) {
    const char* folder = getenv("STALL_OPEN_DIR");
    if (folder == nullptr || *folder == '\0' || path == nullptr) return false;
    char full[PATH_MAX * 2];
    if (path[0] == '/') {
        snprintf(full, sizeof full, "%s", path);
    } else {
        char base[PATH_MAX];
        ssize_t length = -1;
        if (dir == AT_FDCWD) {
            if (getcwd(base, sizeof base) != nullptr) length = static_cast<ssize_t>(strlen(base));
        } else {
            char link[64];
            snprintf(link, sizeof link, "/proc/self/fd/%d", dir);
            length = readlink(link, base, sizeof base - 1);
        }
        if (length < 0) return false;
        base[length] = '\0';
        snprintf(full, sizeof full, "%s/%s", base, path);
    }
    const char* trigger = getenv("STALL_OPEN_TRIGGER");
    if (trigger != nullptr && *trigger != '\0' && access(trigger, F_OK) != 0) return false;
    for (const char* start = folder; *start != '\0';) {
        const char* end = strchr(start, ':');
        const size_t n = end != nullptr ? static_cast<size_t>(end - start) : strlen(start);
        if (n > 0 && strncmp(full, start, n) == 0 && full[n] == '/' && full[n + 1] != '\0') return true;
        if (end == nullptr) break;
        start = end + 1;
    }
    return false;
}

// Holds the open for ever, or for STALL_OPEN_DELAY_MS when that is set.
void hold(const char* path) {
    const char* delay = getenv("STALL_OPEN_DELAY_MS");
    const long ms = delay != nullptr ? strtol(delay, nullptr, 10) : 0;
    char line[PATH_MAX + 32];
    const int length = snprintf(line, sizeof line, "stall-open: %s %s\n", ms > 0 ? "slowing" : "holding", path);
    if (length > 0) (void)!write(2, line, static_cast<size_t>(length) < sizeof line ? static_cast<size_t>(length) : sizeof line - 1);
    if (ms <= 0) {
        for (;;) pause();
    }
    timespec left{ms / 1000, (ms % 1000) * 1000000};
    while (nanosleep(&left, &left) != 0) {
    }
}

template <typename Function> Function next(const char* name) {
    void* found = dlsym(RTLD_NEXT, name);
    Function function;
    memcpy(&function, &found, sizeof function);
    return function;
}

// The mode a caller passes only with O_CREAT or O_TMPFILE. O_TMPFILE holds O_DIRECTORY's bit, so
// it is matched whole: an open of a folder passes no mode to read.
mode_t modeOf(int flags, va_list arguments) {
    const bool passed = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    return passed ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C" {

#define TESSARINE_STALL_OPEN(name)                                                                        \
    int name(const char* path, int flags, ...) {                                                         \
        va_list arguments;                                                                               \
        va_start(arguments, flags);                                                                      \
        const mode_t mode = modeOf(flags, arguments);                                                    \
        va_end(arguments);                                                                               \
        if (stalled(AT_FDCWD, path)) hold(path);                                                         \
        static auto real = next<int (*)(const char*, int, ...)>(#name);                                  \
        return real(path, flags, mode);                                                                  \
    }
#define TESSARINE_STALL_OPENAT(name)                                                                      \
    int name(int dir, const char* path, int flags, ...) {                                                \
        va_list arguments;                                                                               \
        va_start(arguments, flags);                                                                      \
        const mode_t mode = modeOf(flags, arguments);                                                    \
        va_end(arguments);                                                                               \
        if (stalled(dir, path)) hold(path);                                                              \
        static auto real = next<int (*)(int, const char*, int, ...)>(#name);                              \
        return real(dir, path, flags, mode);                                                             \
    }

TESSARINE_STALL_OPEN(open)
TESSARINE_STALL_OPEN(open64)
TESSARINE_STALL_OPENAT(openat)
TESSARINE_STALL_OPENAT(openat64)

// The fortified forms that _FORTIFY_SOURCE builds call.
int __open_2(const char* path, int flags) {
    if (stalled(AT_FDCWD, path)) hold(path);
    static auto real = next<int (*)(const char*, int)>("__open_2");
    return real(path, flags);
}
int __open64_2(const char* path, int flags) {
    if (stalled(AT_FDCWD, path)) hold(path);
    static auto real = next<int (*)(const char*, int)>("__open64_2");
    return real(path, flags);
}
int __openat_2(int dir, const char* path, int flags) {
    if (stalled(dir, path)) hold(path);
    static auto real = next<int (*)(int, const char*, int)>("__openat_2");
    return real(dir, path, flags);
}
int __openat64_2(int dir, const char* path, int flags) {
    if (stalled(dir, path)) hold(path);
    static auto real = next<int (*)(int, const char*, int)>("__openat64_2");
    return real(dir, path, flags);
}

int creat(const char* path, mode_t mode) {
    if (stalled(AT_FDCWD, path)) hold(path);
    static auto real = next<int (*)(const char*, mode_t)>("creat");
    return real(path, mode);
}

FILE* fopen(const char* path, const char* mode) {
    if (stalled(AT_FDCWD, path)) hold(path);
    static auto real = next<FILE* (*)(const char*, const char*)>("fopen");
    return real(path, mode);
}
FILE* fopen64(const char* path, const char* mode) {
    if (stalled(AT_FDCWD, path)) hold(path);
    static auto real = next<FILE* (*)(const char*, const char*)>("fopen64");
    return real(path, mode);
}

} // extern "C"
