#pragma once
// Reading a whole file that may be hostile: a named pipe, a device or a huge file in place of a
// session must not stall the reader or take its memory. The file is opened without blocking, must
// be a regular file, and is read only when it is no bigger than the caller's limit.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace RorozErurEvo::BoundedFile {

// Bytes of room a read text has past its end: a parser that reads ahead of the text (simdjson)
// may take it as it is, with this room made part of it, rather than copying it.
inline constexpr std::size_t room = 64;

struct Content {
    std::optional<std::string> text; // the whole file, with `room` to spare; absent when not read
    std::string error;               // why not: "not a regular file", "larger than 32 MB", the system's words
    bool missing = false;            // there is nothing at the path (a first start, not a fault)
};

Content read(const std::filesystem::path& path, std::uintmax_t maxBytes);

// A kernel's report on the system (a file under /proc or /sys), whose size reads as 0 whatever it
// holds: read to its end, refused when it holds more than maxBytes. Checked as read() checks.
Content readReport(const std::filesystem::path& path, std::size_t maxBytes);

} // namespace RorozErurEvo::BoundedFile
