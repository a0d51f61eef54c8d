#include "testkit/SessionTokens.h"

namespace RorozErurEvo {

namespace {
using Type = SessionTokens::Type;
using Token = SessionTokens::Token;
} // namespace

// Collects the parser's events as tokens; an opening token learns where it closes.
struct SessionTokensCollector final : nlohmann::json_sax<json> {
    SessionTokens& tokens;
    std::vector<std::size_t> open; // indices of the objects and arrays not closed yet
    bool tooDeep = false;
    std::string error; // the parser's own words, as its document parser would throw them
    explicit SessionTokensCollector(SessionTokens& list) : tokens(list) {}

    bool add(Type type) {
        tokens.push(Token{type, 0, {0}});
        return true;
    }
    bool addText(Type type, const string_t& value) {
        if (value.size() > UINT32_MAX) return false;
        Token token{type, static_cast<std::uint32_t>(value.size()), {0}};
        token.offset = tokens.arena_.size();
        tokens.arena_ += value;
        tokens.push(token);
        return true;
    }
    bool begin(Type type) {
        if (open.size() >= SessionTokens::maxDepth) {
            tooDeep = true;
            return false;
        }
        open.push_back(tokens.count_);
        return add(type);
    }
    bool finish(Type type) {
        const std::size_t index = tokens.count_;
        add(type);
        tokens.blocks_[open.back() / SessionTokens::blockTokens][open.back() % SessionTokens::blockTokens].end = index;
        open.pop_back();
        return true;
    }
    bool null() override { return add(Type::null); }
    bool boolean(bool) override { return add(Type::boolean); }
    bool number_integer(number_integer_t value) override {
        tokens.push(Token{Type::integer, 0, {value}});
        return true;
    }
    bool number_unsigned(number_unsigned_t value) override {
        Token token{Type::unsignedInteger, 0, {0}};
        token.unsignedInteger = value;
        tokens.push(token);
        return true;
    }
    bool number_float(number_float_t value, const string_t&) override {
        Token token{Type::number, 0, {0}};
        token.number = value;
        tokens.push(token);
        return true;
    }
    bool string(string_t& value) override { return addText(Type::string, value); }
    bool binary(binary_t&) override { return false; } // never produced by the JSON text parser
    bool start_object(std::size_t) override { return begin(Type::beginObject); }
    bool key(string_t& value) override { return addText(Type::key, value); }
    bool end_object() override { return finish(Type::endObject); }
    bool start_array(std::size_t) override { return begin(Type::beginArray); }
    bool end_array() override { return finish(Type::endArray); }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override {
        error = ex.what();
        return false;
    }
};

SessionTokens::SessionTokens(std::string_view text) {
    arena_.reserve(text.size() / 2);
    SessionTokensCollector collector(*this);
    bool parsed = false;
    try {
        parsed = json::sax_parse(text.begin(), text.end(), &collector);
    } catch (const json::exception& error) {
        throw DecodeError(error.what());
    }
    if (collector.tooDeep) throw DecodeError("the file nests deeper than " + std::to_string(maxDepth) + " levels");
    if (!collector.error.empty()) throw DecodeError(collector.error);
    if (!parsed || count_ == 0) throw DecodeError("the file is not valid JSON");
}

SessionTokens::Token& SessionTokens::push(const Token& token) {
    if (count_ % blockTokens == 0) blocks_.push_back(std::make_unique<Token[]>(blockTokens));
    Token& slot = blocks_.back()[count_ % blockTokens];
    slot = token;
    ++count_;
    return slot;
}

std::size_t SessionTokens::next(Value v) const {
    const Token& token = at(v);
    if (token.type == Type::beginObject || token.type == Type::beginArray) return static_cast<std::size_t>(token.end) + 1;
    return v + 1;
}

std::optional<std::string_view> SessionTokens::string(Value v) const {
    const Token& token = at(v);
    if (token.type != Type::string) return std::nullopt;
    return textOf(token);
}

std::optional<SessionRecord::Number> SessionTokens::number(Value v) const {
    using Kind = SessionRecord::Number::Kind;
    const Token& token = at(v);
    switch (token.type) {
    case Type::integer: return SessionRecord::Number{Kind::integer, token.integer, 0, 0};
    case Type::unsignedInteger: return SessionRecord::Number{Kind::unsignedInteger, 0, token.unsignedInteger, 0};
    case Type::number: return SessionRecord::Number{Kind::real, 0, 0, token.number};
    default: return std::nullopt;
    }
}

std::optional<SessionTokens::Members> SessionTokens::object(Value v) const {
    if (at(v).type != Type::beginObject) return std::nullopt;
    return Range(this, v, true);
}

std::optional<SessionTokens::Items> SessionTokens::array(Value v) const {
    if (at(v).type != Type::beginArray) return std::nullopt;
    return Range(this, v, false);
}

} // namespace RorozErurEvo
