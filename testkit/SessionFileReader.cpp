#include "testkit/SessionFileReader.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

namespace RorozErurEvo {

namespace {

enum class TokenType : std::uint8_t { null, boolean, integer, unsignedInteger, number, string, key, beginObject,
                                      endObject, beginArray, endArray };

// 16 bytes a token, strings and keys kept apart in one text arena, so that a file of many small
// tokens (a 31 MB file of "0," is 16 million of them) costs a small multiple of its size.
struct Token {
    TokenType type = TokenType::null;
    std::uint32_t length = 0; // strings and keys: bytes in the arena
    union {
        std::int64_t integer = 0;
        std::uint64_t unsignedInteger;
        double number;
        std::uint64_t offset; // strings and keys: where they begin in the arena
    };
};
static_assert(sizeof(Token) == 16);

// The tokens of one file in blocks of a fixed size: growing never copies them, so the list holds
// 16 bytes a token and no more (a doubling vector can hold twice that at its peak).
class TokenList {
public:
    static constexpr std::size_t blockTokens = 4096;
    void push_back(const Token& token) {
        if (count_ % blockTokens == 0) blocks_.push_back(std::make_unique<Token[]>(blockTokens));
        blocks_.back()[count_ % blockTokens] = token;
        ++count_;
    }
    const Token& operator[](std::size_t i) const { return blocks_[i / blockTokens][i % blockTokens]; }
    bool empty() const { return count_ == 0; }

private:
    std::vector<std::unique_ptr<Token[]>> blocks_;
    std::size_t count_ = 0;
};

// Nesting deeper than this is refused: a session is six levels deep (session, results, result,
// measures, measure, limit).
constexpr std::size_t maxDepth = 32;

// Collects the parser's events as a flat list; the record readers below walk it.
struct Collector final : nlohmann::json_sax<json> {
    TokenList& tokens;
    std::string& arena;
    std::size_t depth = 0;
    bool tooDeep = false;
    Collector(TokenList& list, std::string& texts) : tokens(list), arena(texts) {}

    bool add(TokenType type) {
        tokens.push_back(Token{type, 0, {0}});
        return true;
    }
    bool addText(TokenType type, const string_t& value) {
        if (value.size() > UINT32_MAX) return false;
        Token token{type, static_cast<std::uint32_t>(value.size()), {0}};
        token.offset = arena.size();
        arena += value;
        tokens.push_back(token);
        return true;
    }
    bool open(TokenType type) {
        if (++depth > maxDepth) {
            tooDeep = true;
            return false;
        }
        return add(type);
    }
    bool close(TokenType type) {
        --depth;
        return add(type);
    }
    bool null() override { return add(TokenType::null); }
    bool boolean(bool) override { return add(TokenType::boolean); }
    bool number_integer(number_integer_t value) override {
        tokens.push_back(Token{TokenType::integer, 0, {value}});
        return true;
    }
    bool number_unsigned(number_unsigned_t value) override {
        Token token{TokenType::unsignedInteger, 0, {0}};
        token.unsignedInteger = value;
        tokens.push_back(token);
        return true;
    }
    bool number_float(number_float_t value, const string_t&) override {
        Token token{TokenType::number, 0, {0}};
        token.number = value;
        tokens.push_back(token);
        return true;
    }
    bool string(string_t& value) override { return addText(TokenType::string, value); }
    bool binary(binary_t&) override { return false; } // never produced by the JSON text parser
    bool start_object(std::size_t) override { return open(TokenType::beginObject); }
    bool key(string_t& value) override { return addText(TokenType::key, value); }
    bool end_object() override { return close(TokenType::endObject); }
    bool start_array(std::size_t) override { return open(TokenType::beginArray); }
    bool end_array() override { return close(TokenType::endArray); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }
};

class Reader {
public:
    Reader(const TokenList& list, const std::string& texts) : tokens(list), arena(texts) {}

    TestSession session();

private:
    const TokenList& tokens;
    const std::string& arena;
    std::size_t at = 0;

    std::string_view textOf(const Token& token) const {
        return std::string_view(arena).substr(static_cast<std::size_t>(token.offset), token.length);
    }

    const Token& peek() const { return tokens[at]; }
    const Token& take() { return tokens[at++]; }
    bool takeNull() {
        if (peek().type != TokenType::null) return false;
        ++at;
        return true;
    }

    // Skips one value of any shape; iterative, so deep nesting cannot exhaust the stack.
    void skipValue() {
        std::size_t depth = 0;
        do {
            switch (take().type) {
            case TokenType::beginObject:
            case TokenType::beginArray: ++depth; break;
            case TokenType::endObject:
            case TokenType::endArray: --depth; break;
            default: break;
            }
        } while (depth > 0);
    }

    // Whether a member named `key` follows in the object whose members continue at `from`.
    bool followedBy(std::string_view key, std::size_t from) {
        const std::size_t resume = at;
        at = from;
        bool found = false;
        while (!found && peek().type == TokenType::key) {
            found = textOf(take()) == key;
            skipValue();
        }
        at = resume;
        return found;
    }

    // Calls onMember(key) for each member, which must consume the value. A member written twice
    // counts only the second time, as in a document: each handler assigns its field whole, and
    // a value that fails to read is no fault when a later member of the same name replaces it.
    template <class F> void object(const char* what, F onMember) {
        if (take().type != TokenType::beginObject) throw DecodeError(std::string(what) + " is not a JSON object");
        while (peek().type == TokenType::key) {
            const std::string_view key = textOf(take());
            const std::size_t value = at;
            try {
                onMember(std::string_view(key));
            } catch (const DecodeError&) {
                at = value;
                skipValue();
                if (!followedBy(key, at)) throw;
            }
        }
        ++at; // endObject
    }
    template <class F> void array(const char* what, F onItem) {
        if (take().type != TokenType::beginArray) throw DecodeError(std::string("\"") + what + "\" is not an array");
        while (peek().type != TokenType::endArray) onItem();
        ++at;
    }

    std::string text(const char* key) {
        const Token& token = take();
        if (token.type != TokenType::string) throw DecodeError(std::string("\"") + key + "\" is not a string");
        return std::string(textOf(token));
    }
    double number(const char* key) {
        const Token& token = take();
        switch (token.type) {
        case TokenType::integer: return static_cast<double>(token.integer);
        case TokenType::unsignedInteger: return static_cast<double>(token.unsignedInteger);
        case TokenType::number: return token.number;
        default: throw DecodeError(std::string("\"") + key + "\" is not a number");
        }
    }
    long long integer(const char* key) {
        const Token& token = take();
        switch (token.type) {
        case TokenType::integer: return token.integer;
        case TokenType::unsignedInteger: return static_cast<long long>(token.unsignedInteger);
        case TokenType::number:
            if (std::isfinite(token.number) && token.number == std::floor(token.number) && std::fabs(token.number) < 9.0e15)
                return static_cast<long long>(token.number);
            [[fallthrough]];
        default: throw DecodeError(std::string("\"") + key + "\" is not a whole number");
        }
    }
    std::optional<std::string> optText(const char* key) {
        if (takeNull()) return std::nullopt;
        return text(key);
    }
    std::optional<double> optNumber(const char* key) {
        if (takeNull()) return std::nullopt;
        return number(key);
    }
    std::optional<int> optInt(const char* key) {
        if (takeNull()) return std::nullopt;
        long long value = integer(key);
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            throw DecodeError(std::string("\"") + key + "\" is out of range");
        return static_cast<int>(value);
    }
    template <class E> E enumValue(const char* key) {
        std::string raw = text(key);
        auto value = fromRawValue<E>(raw);
        if (!value) throw DecodeError(std::string("unknown value \"") + raw + "\" for \"" + key + "\"");
        return *value;
    }
    Uuid uuid(const char* key) {
        auto id = Uuid::parse(text(key));
        if (!id) throw DecodeError(std::string("\"") + key + "\" is not a UUID");
        return *id;
    }
    Date date(const char* key) {
        auto value = Dates::parseIso(text(key));
        if (!value) throw DecodeError(std::string("\"") + key + "\" is not an ISO 8601 date to the second");
        return *value;
    }

    // Required members: one bit each, all must be seen.
    struct Required {
        unsigned seen = 0;
        void mark(unsigned bit) { seen |= 1u << bit; }
        void check(std::initializer_list<const char*> names) const {
            unsigned bit = 0;
            for (const char* name : names) {
                if (!(seen & (1u << bit))) throw DecodeError(std::string("missing \"") + name + "\"");
                ++bit;
            }
        }
    };

    DeviceInfo device();
    TestResult result();
    Measure measure();
    Limit limit();
    StickPlot plot();
    SoakStrip strip();
};

DeviceInfo Reader::device() {
    DeviceInfo d;
    Required required;
    object("device", [&](std::string_view key) {
        if (key == "name") d.name = text("name"), required.mark(0);
        else if (key == "vendor") d.vendor = optText("vendor");
        else if (key == "category") d.category = optText("category");
        else if (key == "vendorID") d.vendorID = optInt("vendorID");
        else if (key == "productID") d.productID = optInt("productID");
        else if (key == "serial") d.serial = optText("serial");
        else if (key == "transport") d.transport = optText("transport");
        else if (key == "batteryLevel") d.batteryLevel = optNumber("batteryLevel");
        else if (key == "batteryState") d.batteryState = optText("batteryState");
        else skipValue();
    });
    required.check({"name"});
    return d;
}

Limit Reader::limit() {
    Limit l;
    Required required;
    object("limit", [&](std::string_view key) {
        if (key == "warn") l.warn = optNumber("warn");
        else if (key == "fail") l.fail = optNumber("fail");
        else if (key == "direction") l.direction = enumValue<Limit::Direction>("direction"), required.mark(0);
        else skipValue();
    });
    required.check({"direction"});
    return l;
}

Measure Reader::measure() {
    Measure m;
    Required required;
    object("measure", [&](std::string_view key) {
        if (key == "id") m.id = text("id"), required.mark(0);
        else if (key == "label") m.label = text("label"), required.mark(1);
        else if (key == "value") m.value = number("value"), required.mark(2);
        else if (key == "unit") m.unit = enumValue<MeasureUnit>("unit"), required.mark(3);
        else if (key == "limit") m.limit = takeNull() ? std::nullopt : std::optional(limit());
        else skipValue();
    });
    required.check({"id", "label", "value", "unit"});
    return m;
}

StickPlot Reader::plot() {
    StickPlot p;
    Required required;
    object("plot", [&](std::string_view key) {
        if (key == "gate") p.gate = enumValue<GateShape>("gate"), required.mark(0);
        else if (key == "scale") p.scale = number("scale"), required.mark(1);
        else if (key == "radii") {
            p.radii.clear();
            array("radii", [&] { p.radii.push_back(optNumber("radii")); });
            required.mark(2);
        } else skipValue();
    });
    required.check({"gate", "scale", "radii"});
    return p;
}

SoakStrip Reader::strip() {
    SoakStrip s;
    Required required;
    object("soak strip", [&](std::string_view key) {
        if (key == "seconds") s.seconds = number("seconds"), required.mark(0);
        else if (key == "bins") {
            s.bins.clear();
            array("bins", [&] { s.bins.push_back(enumValue<SoakStrip::State>("bins")); });
            required.mark(1);
        } else skipValue();
    });
    required.check({"seconds", "bins"});
    return s;
}

TestResult Reader::result() {
    TestResult r;
    Required required;
    object("result", [&](std::string_view key) {
        if (key == "id") r.id = uuid("id"), required.mark(0);
        else if (key == "kind") r.kind = enumValue<TestKind>("kind"), required.mark(1);
        else if (key == "element") r.element = text("element"), required.mark(2);
        else if (key == "source") r.source = enumValue<ValueSource>("source"), required.mark(3);
        else if (key == "verdict") r.verdict = enumValue<Verdict>("verdict"), required.mark(4);
        else if (key == "headline") r.headline = text("headline"), required.mark(5);
        else if (key == "measures") {
            r.measures.clear();
            array("measures", [&] { r.measures.push_back(measure()); });
            required.mark(6);
        } else if (key == "details") {
            r.details.clear();
            array("details", [&] { r.details.push_back(text("details")); });
            required.mark(7);
        } else if (key == "date") r.date = date("date"), required.mark(8);
        else if (key == "plot") r.plot = takeNull() ? std::nullopt : std::optional(plot());
        else if (key == "timeline") r.timeline = takeNull() ? std::nullopt : std::optional(strip());
        else skipValue();
    });
    required.check({"id", "kind", "element", "source", "verdict", "headline", "measures", "details", "date"});
    return r;
}

TestSession Reader::session() {
    TestSession s;
    Required required;
    object("session", [&](std::string_view key) {
        if (key == "version") {
            if (takeNull()) {
                s.version = TestSession::currentVersion;
                return;
            }
            long long version = integer("version");
            if (version < std::numeric_limits<int>::min() || version > std::numeric_limits<int>::max())
                throw DecodeError("\"version\" is out of range");
            s.version = static_cast<int>(version);
        } else if (key == "id") s.id = uuid("id"), required.mark(0);
        else if (key == "date") s.date = date("date"), required.mark(1);
        else if (key == "device") s.device = device(), required.mark(2);
        else if (key == "unit") s.unit = optText("unit").value_or("");
        else if (key == "label") s.label = optText("label").value_or("");
        else if (key == "technician") s.technician = optText("technician").value_or("");
        else if (key == "ticket") s.ticket = optText("ticket").value_or("");
        else if (key == "notes") s.notes = optText("notes").value_or("");
        else if (key == "results") {
            s.results.clear();
            if (!takeNull()) array("results", [&] { s.results.push_back(result()); });
        } else if (key == "appVersion") s.appVersion = optText("appVersion");
        else if (key == "profile") s.profile = optText("profile");
        else skipValue();
    });
    required.check({"id", "date", "device"});
    return s;
}

} // namespace

TestSession readSessionFile(std::string_view text) {
    // Made for each file and gone with it: one big file must not leave its memory behind.
    TokenList tokens;
    std::string arena;
    arena.reserve(text.size() / 2);
    Collector collector(tokens, arena);
    bool parsed = false;
    try {
        parsed = json::sax_parse(text.begin(), text.end(), &collector);
    } catch (const json::exception& error) {
        throw DecodeError(error.what());
    }
    if (collector.tooDeep) throw DecodeError("the file nests deeper than " + std::to_string(maxDepth) + " levels");
    if (!parsed || tokens.empty()) throw DecodeError("the file is not valid JSON");
    Reader reader(tokens, arena);
    return reader.session();
}

} // namespace RorozErurEvo
