#pragma once
// An export file made a session at a time: each session is read whole when its turn comes,
// written out and let go, so an export of tens of thousands of sessions holds one at a time and
// its memory never grows with the export's size. The file appears whole once every session is
// in it (AtomicFile::Writer), or not at all: a cancelled or failed export leaves the target as it
// was and nothing beside it. The bytes are those of SessionExport::jsonText and csv.
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "testkit/Date.h"
#include "testkit/TestSession.h"

namespace RorozErurEvo::ExportFile {

enum class Format { json, csv };

// The session at a position read whole, or why it could not be (worded for the user, naming the
// session).
struct Read {
    std::shared_ptr<const TestSession> session;
    std::string problem;
};

struct Job {
    std::filesystem::path target;
    Format format = Format::json;
    // The JSON document's own fields.
    std::string app;
    std::optional<std::string> appVersion;
    Date exported{};
    std::size_t count = 0;
    // Called once for each position from 0 to count - 1, in order, on the writing thread.
    std::function<Read(std::size_t)> read;
};

struct Outcome {
    enum class State { written, cancelled, failed };
    State state = State::written;
    // Why it failed, for "Couldn't export: <problem>".
    std::string problem;
};

// Writes the export. `cancelled` is looked at before each session and before the file is put in
// place; `progress` hears how many sessions are written after each one. Running out of memory
// fails the export like any other cause, with "there is not enough memory".
Outcome write(const Job& job, const std::atomic<bool>& cancelled, const std::function<void(std::size_t written)>& progress);

} // namespace RorozErurEvo::ExportFile
