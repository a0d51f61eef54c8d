// libFuzzer target for the report tool's input path: a session file given on its command line,
// read from disk by the session folder's rules (SessionArchive::readFile) and then decoded.
//
// Input: the file's bytes, written to a file in a private temporary folder. The file must read as
// the session reader reads the same text: the same session, or DecodeError for both. Nothing the
// bytes hold may make the read fail as unreadable (that is for pipes, devices and oversize files,
// which libFuzzer's inputs never are), and a pipe beside it is refused without blocking.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "testkit/SessionArchive.h"
#include "testkit/SessionFileReader.h"

using namespace RorozErurEvo;
namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path folder;
    fs::path file;
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "tessarine-report-fuzz-XXXXXX").string();
        FUZZ_REQUIRE(::mkdtemp(pattern.data()) != nullptr);
        folder = pattern;
        file = folder / "session.json";
        const fs::path pipe = folder / "pipe.json";
        FUZZ_REQUIRE(::mkfifo(pipe.c_str(), 0600) == 0);
        bool refused = false;
        try {
            SessionArchive::readFile(pipe);
        } catch (const UnreadableFile&) {
            refused = true;
        }
        FUZZ_REQUIRE(refused);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    const std::string_view text = fuzzText(data, size);
    {
        std::FILE* out = std::fopen(scratch.file.c_str(), "wb");
        FUZZ_REQUIRE(out != nullptr);
        FUZZ_REQUIRE(std::fwrite(text.data(), 1, text.size(), out) == text.size());
        FUZZ_REQUIRE(std::fclose(out) == 0);
    }

    std::optional<TestSession> fromFile;
    bool fileRefused = false;
    try {
        fromFile = SessionArchive::readFile(scratch.file);
    } catch (const DecodeError&) {
        fileRefused = true;
    }
    std::optional<TestSession> fromText;
    try {
        fromText = readSessionFile(text);
    } catch (const DecodeError&) {
    }
    FUZZ_REQUIRE(fileRefused == !fromText.has_value());
    if (fromText) FUZZ_REQUIRE(*fromFile == *fromText);
    return 0;
}
