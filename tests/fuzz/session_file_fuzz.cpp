// libFuzzer target for the session file reader, the way every saved session comes back in.
//
// Input: the file's text. The fast reader and the reference reader (a JSON document, then
// TestSession::fromJson) must agree: both refuse the file with DecodeError, or both read the
// same session. A session that was read must also survive being saved and read again, because
// the history saves what it loaded (an edited label, a merged unit).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "FuzzCheck.h"
#include "testkit/SessionFileReader.h"
#include "testkit/TestSession.h"

using namespace RorozErurEvo;

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
    FUZZ_REQUIRE(fast.has_value() == reference.has_value());
    if (!fast) return 0;
    FUZZ_REQUIRE(*fast == *reference);

    const std::string saved = SessionCoder::encode(*fast);
    FUZZ_REQUIRE(SessionCoder::decode(saved) == *fast);
    return 0;
}
