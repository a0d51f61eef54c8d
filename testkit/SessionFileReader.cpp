#include "testkit/SessionFileReader.h"

#include <simdjson.h>

#include <cstring>
#include <memory>

#include "testkit/BoundedFile.h"
#include "testkit/SessionRecordReader.h"
#include "testkit/SessionTokens.h"

namespace RorozErurEvo {

namespace {

namespace dom = simdjson::dom;

// simdjson's document as a SessionRecord document.
struct SimdDoc {
    using Value = dom::element;
    using Members = dom::object;
    using Items = dom::array;
    bool isNull(Value v) const { return v.is_null(); }
    std::optional<std::string_view> string(Value v) const {
        std::string_view text;
        if (v.get_string().get(text)) return std::nullopt;
        return text;
    }
    std::optional<SessionRecord::Number> number(Value v) const {
        using Kind = SessionRecord::Number::Kind;
        switch (v.type()) {
        case dom::element_type::INT64: return SessionRecord::Number{Kind::integer, v.get_int64().value_unsafe(), 0, 0};
        case dom::element_type::UINT64:
            return SessionRecord::Number{Kind::unsignedInteger, 0, v.get_uint64().value_unsafe(), 0};
        case dom::element_type::DOUBLE: return SessionRecord::Number{Kind::real, 0, 0, v.get_double().value_unsafe()};
        default: return std::nullopt;
        }
    }
    std::optional<Members> object(Value v) const {
        Members members;
        if (v.get_object().get(members)) return std::nullopt;
        return members;
    }
    std::optional<Items> array(Value v) const {
        Items items;
        if (v.get_array().get(items)) return std::nullopt;
        return items;
    }
};

// Session files are tens of kilobytes. simdjson's document costs about 14 bytes per byte of
// text, so files up to this size are parsed by it (bytes) ...
constexpr std::size_t fastFileBytes = 1u << 20;
// ... and each thread keeps a parser and a padded copy of the text big enough for files up to
// this size between files; a bigger file's are made for it and let go after it (bytes).
constexpr std::size_t keptCapacity = 128u << 10;

// What one thread keeps between files: parsing the next file allocates nothing.
struct FastParser {
    dom::parser parser;
    std::unique_ptr<char[]> padded;
    std::size_t capacity = 0; // bytes of text the padded buffer takes

    bool reserve(std::size_t bytes) {
        if (bytes <= capacity) return true;
        padded.reset(new (std::nothrow) char[bytes + simdjson::SIMDJSON_PADDING]);
        capacity = padded ? bytes : 0;
        return padded != nullptr;
    }
};

// The session, or absent when simdjson does not take the text (it refuses nothing that
// nlohmann takes except numbers beyond 64-bit integers and a leading byte-order mark, and
// nests no deeper than the lean reading allows); a file it parses is read by the same record
// rules as the lean reading, so a DecodeError from here is the one that reading would throw.
using Keep = SessionRecord::Reader<SimdDoc>::Keep;

std::optional<TestSession> readFast(std::string_view text, Keep keep) {
    thread_local FastParser kept;
    std::unique_ptr<FastParser> own;
    FastParser* fast = &kept;
    if (text.size() > keptCapacity) {
        own = std::make_unique<FastParser>();
        fast = own.get();
    }
    if (!fast->reserve(std::max(text.size(), std::size_t{1}))) return std::nullopt;
    std::memcpy(fast->padded.get(), text.data(), text.size());
    std::memset(fast->padded.get() + text.size(), 0, simdjson::SIMDJSON_PADDING);
    if (fast->parser.capacity() < text.size() || fast->parser.max_depth() != SessionTokens::maxDepth) {
        if (fast->parser.allocate(std::max(text.size(), fast->parser.capacity()), SessionTokens::maxDepth)) return std::nullopt;
    }
    dom::element root;
    if (fast->parser.parse(fast->padded.get(), text.size(), false).get(root)) return std::nullopt;
    SimdDoc doc;
    return SessionRecord::Reader<SimdDoc>(doc, keep).session(root);
}

// A file over fastFileBytes with at most one JSON punctuation byte in this many is read by
// simdjson too: its document then costs about the file's strings (they are unescaped into it)
// plus a few bytes a token, not the lean reading's several copies of every long text. A file
// dense in tokens takes the lean reading, which keeps to a small multiple of the file.
constexpr std::size_t bytesPerPunctuation = 32;

bool mostlyText(std::string_view text) {
    std::size_t punctuation = 0;
    for (const char c : text) punctuation += c == ',' || c == ':' || c == '[' || c == ']' || c == '{' || c == '}';
    return punctuation * bytesPerPunctuation <= text.size();
}

// A large file mostly of texts through simdjson, its text made the padded input (no copy where
// it has the room) and let go once parsed: the document holds its own strings. Absent when
// simdjson does not take it; the text is then as it was.
std::optional<TestSession> readLarge(std::string& text, Keep keep) {
    static_assert(BoundedFile::room >= simdjson::SIMDJSON_PADDING);
    const std::size_t size = text.size();
    dom::parser parser; // made for this file and let go with it
    if (parser.allocate(size, SessionTokens::maxDepth)) return std::nullopt;
    text.resize(size + simdjson::SIMDJSON_PADDING, '\0');
    dom::element root;
    if (parser.parse(text.data(), size, false).get(root)) {
        text.resize(size);
        return std::nullopt;
    }
    std::string().swap(text); // let go: a moved-in empty string would keep the buffer
    SimdDoc doc;
    return SessionRecord::Reader<SimdDoc>(doc, keep).session(root);
}

TestSession read(std::string_view text, Keep keep) {
    if (text.size() <= fastFileBytes)
        if (auto session = readFast(text, keep)) return std::move(*session);
    // Made for each file and gone with it: one big file must not leave its memory behind.
    const SessionTokens tokens(text);
    using Lean = SessionRecord::Reader<SessionTokens>::Keep;
    return SessionRecord::Reader<SessionTokens>(tokens, keep == Keep::whole ? Lean::whole : Lean::lean)
        .session(tokens.root());
}

TestSession read(std::string&& text, Keep keep) {
    if (text.size() > fastFileBytes && mostlyText(text))
        if (auto session = readLarge(text, keep)) return std::move(*session);
    return read(std::string_view(text), keep);
}

} // namespace

TestSession readSessionFile(std::string_view text) { return read(text, Keep::whole); }

SessionSummary readSessionSummary(std::string_view text) { return SessionSummary::of(read(text, Keep::lean)); }

TestSession readSessionFile(std::string&& text) { return read(std::move(text), Keep::whole); }

SessionSummary readSessionSummary(std::string&& text) { return SessionSummary::of(read(std::move(text), Keep::lean)); }

} // namespace RorozErurEvo
