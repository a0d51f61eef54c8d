#pragma once
// The folder of saved sessions: one "<UUID>.json" file per session and nothing else.
// Every operation goes to the file system afresh; the archive keeps no state but the folder.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "testkit/SessionSummary.h"
#include "testkit/TestSession.h"
#include "testkit/Uuid.h"

namespace RorozErurEvo {

// A file-system failure, worded as "could not <action> “<path>”: <system description>".
struct ArchiveError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A session file that loading passed over, and why.
struct SkippedFile {
    std::string name; // the file's name in the folder; the folder's path when `folder` is set
    std::string cause;
    bool folder = false; // the session folder itself could not be listed (or not to its end)
    friend bool operator==(const SkippedFile&, const SkippedFile&) = default;
};

// A file that could not be read at all; what() is the cause alone ("not a regular file",
// "larger than 32 MB", the system's description), for the caller to name the file.
struct UnreadableFile : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct SessionArchive {
    // Largest session file that load reads, bytes. A session of a few dozen results is tens
    // of kilobytes; anything this big is not a session and is skipped unread.
    static constexpr std::uintmax_t maxFileBytes = 32u * 1024 * 1024;

    std::filesystem::path folder; // need not exist yet

    // One session file read by the folder's rules, wherever it lies: opened without blocking, a
    // regular file of at most maxFileBytes, then decoded. Throws UnreadableFile or DecodeError.
    static TestSession readFile(const std::filesystem::path& path);
    // The summary of the session in one file, read by the same rules: what
    // SessionSummary::of(readFile(path)) gives, and the same refusals, without keeping the rest.
    static SessionSummary readSummaryFile(const std::filesystem::path& path);

    std::filesystem::path url(const Uuid& id) const;
    // The file a listing summarised: its own name when it had one other than "<id>.json".
    std::filesystem::path url(const SessionSummary& listed) const;
    // Writes or replaces the session's file atomically: a reader sees the old file or the new
    // one, never part of one. Throws EncodingError (nothing written) or ArchiveError.
    void save(const TestSession& session) const;
    // Every readable session, newest first, and the session files that were skipped because
    // they could not be read or decoded, in name order. A missing folder gives nothing; a folder
    // that cannot be listed (or not to its end) comes first among the skipped, by its path.
    // Temporary files that interrupted saves left behind are removed once they are ten
    // minutes old. Decoding is shared out over at most `threads` threads, the caller's among
    // them (0: one per core).
    struct Loaded {
        std::vector<TestSession> sessions;
        std::vector<SkippedFile> skipped;
    };
    Loaded load(unsigned threads = 0) const;
    std::vector<TestSession> loadAll() const { return load().sessions; }
    // What load gives, as summaries: the same sessions in the same order, the same skipped files.
    struct LoadedSummaries {
        std::vector<SessionSummary> summaries;
        std::vector<SkippedFile> skipped;
    };
    LoadedSummaries loadSummaries(unsigned threads = 0) const;
    // The whole session a listing summarised, read afresh from its file by the folder's rules,
    // or why not: the file is gone, cannot be read or decoded, or no longer holds the session
    // that was listed (it was replaced since). Never throws for the file's sake; std::bad_alloc
    // when there is no memory for it.
    struct Opened {
        std::optional<TestSession> session;
        std::string problem; // the cause alone, for the caller to name the action
    };
    Opened open(const SessionSummary& listed) const;
    // Removes the session's file if there is one. Throws ArchiveError.
    void remove(const Uuid& id) const;
    // Removes the folder with everything in it, if it exists. Throws ArchiveError.
    void eraseAll() const;
};

} // namespace RorozErurEvo
