// libFuzzer target for the session file reader, the way every saved session comes back in.
//
// Input: the file's text. The fast reader and the reference reader (a JSON document, then
// TestSession::fromJson) must agree: both refuse the file with DecodeError, or both read the
// same session, except that the fast reader also refuses nesting deeper than its limit, which
// bounds its memory and stack (the reference reader has no such limit). A session that was read must also survive being saved and read again, because
// the history saves what it loaded (an edited label, a merged unit).
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "FuzzCheck.h"
#include "testkit/SessionFileReader.h"
#include "testkit/SessionTokens.h"
#include "testkit/TestSession.h"

using namespace RorozErurEvo;

namespace {

// The deepest nesting of arrays and objects in the text, brackets inside strings not counted.
std::size_t nestingDepth(std::string_view text) {
    std::size_t depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzzText(data, size);

    std::optional<TestSession> fast;
    try {
        fast = readSessionFile(text);
    } catch (const DecodeError&) {
    }
    std::optional<TestSession> reference;
    try {
        reference = TestSession::fromJson(Json::parse(text));
    } catch (const DecodeError&) {
    }
    if (!fast) {
        if (reference) FUZZ_REQUIRE(nestingDepth(text) > SessionTokens::maxDepth);
        return 0;
    }
    FUZZ_REQUIRE(reference.has_value());
    FUZZ_REQUIRE(*fast == *reference);

    const std::string saved = SessionCoder::encode(*fast);
    FUZZ_REQUIRE(SessionCoder::decode(saved) == *fast);
    return 0;
}
