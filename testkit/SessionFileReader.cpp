#include "testkit/SessionFileReader.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace RorozErurEvo {

namespace {

enum class TokenType : std::uint8_t { null, boolean, integer, unsignedInteger, number, string, key, beginObject,
                                      endObject, beginArray, endArray };

struct Token {
    TokenType type = TokenType::null;
    std::int64_t integer = 0;
    std::uint64_t unsignedInteger = 0;
    double number = 0;
    std::string text; // strings and keys
};

// Collects the parser's events as a flat list; the record readers below walk it.
struct Collector final : nlohmann::json_sax<json> {
    std::vector<Token>& tokens;
    explicit Collector(std::vector<Token>& list) : tokens(list) {}

    bool add(TokenType type) {
        tokens.push_back(Token{type, 0, 0, 0, {}});
        return true;
    }
    bool null() override { return add(TokenType::null); }
    bool boolean(bool) override { return add(TokenType::boolean); }
    bool number_integer(number_integer_t value) override {
        tokens.push_back(Token{TokenType::integer, value, 0, 0, {}});
        return true;
    }
    bool number_unsigned(number_unsigned_t value) override {
        tokens.push_back(Token{TokenType::unsignedInteger, 0, value, 0, {}});
        return true;
    }
    bool number_float(number_float_t value, const string_t&) override {
        tokens.push_back(Token{TokenType::number, 0, 0, value, {}});
        return true;
    }
    bool string(string_t& value) override {
        tokens.push_back(Token{TokenType::string, 0, 0, 0, std::move(value)});
        return true;
    }
    bool binary(binary_t&) override { return false; } // never produced by the JSON text parser
    bool start_object(std::size_t) override { return add(TokenType::beginObject); }
    bool key(string_t& value) override {
        tokens.push_back(Token{TokenType::key, 0, 0, 0, std::move(value)});
        return true;
    }
    bool end_object() override { return add(TokenType::endObject); }
    bool start_array(std::size_t) override { return add(TokenType::beginArray); }
    bool end_array() override { return add(TokenType::endArray); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }
};

class Reader {
public:
    explicit Reader(const std::vector<Token>& list) : tokens(list) {}

    TestSession session();

private:
    const std::vector<Token>& tokens;
    std::size_t at = 0;

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
            found = take().text == key;
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
            const std::string& key = take().text;
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
        return token.text;
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
    // Reused per thread: a folder load parses thousands of files of similar size.
    thread_local std::vector<Token> tokens;
    tokens.clear();
    Collector collector(tokens);
    bool parsed = false;
    try {
        parsed = json::sax_parse(text.begin(), text.end(), &collector);
    } catch (const json::exception& error) {
        throw DecodeError(error.what());
    }
    if (!parsed || tokens.empty()) throw DecodeError("the file is not valid JSON");
    Reader reader(tokens);
    return reader.session();
}

} // namespace RorozErurEvo
