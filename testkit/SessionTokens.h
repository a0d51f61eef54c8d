#pragma once
// A JSON text as a flat list of tokens, parsed by nlohmann's event parser: the lean reading of a
// session file. It holds a small multiple of the file in memory whatever the file holds (16 bytes
// a token in fixed blocks, the texts in one arena), refuses nesting deeper than maxDepth, and
// refuses exactly what nlohmann's document parser refuses, in its words.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/SessionRecordReader.h"

namespace RorozErurEvo {

class SessionTokens {
public:
    // Nesting deeper than this is refused: a session is six levels deep (session, results,
    // result, measures, measure, limit).
    static constexpr std::size_t maxDepth = 32;

    // Throws DecodeError on text that is not one JSON value or nests deeper than maxDepth.
    explicit SessionTokens(std::string_view text);

    enum class Type : std::uint8_t { null, boolean, integer, unsignedInteger, number, string, key, beginObject,
                                     endObject, beginArray, endArray };
    struct Token {
        Type type = Type::null;
        std::uint32_t length = 0; // strings and keys: bytes in the arena
        union {
            std::int64_t integer = 0;
            std::uint64_t unsignedInteger;
            double number;
            std::uint64_t offset; // strings and keys: where they begin in the arena
            std::uint64_t end;    // objects and arrays: index of their closing token
        };
    };

    // The SessionRecord document interface over the tokens; a value is a token index.
    using Value = std::size_t;
    class Range;
    using Members = Range;
    using Items = Range;
    Value root() const { return 0; }
    bool isNull(Value v) const { return at(v).type == Type::null; }
    std::optional<std::string_view> string(Value v) const;
    std::optional<SessionRecord::Number> number(Value v) const;
    std::optional<Members> object(Value v) const;
    std::optional<Items> array(Value v) const;

    const Token& at(std::size_t i) const { return blocks_[i / blockTokens][i % blockTokens]; }

private:
    friend struct SessionTokensCollector;
    // Blocks of a fixed size: growing never copies the tokens, so the list holds 16 bytes a
    // token and no more (a doubling vector can hold twice that at its peak).
    static constexpr std::size_t blockTokens = 4096;
    Token& push(const Token& token);
    std::size_t next(Value v) const; // the token after value v
    std::string_view textOf(const Token& token) const {
        return std::string_view(arena_).substr(static_cast<std::size_t>(token.offset), token.length);
    }

    std::vector<std::unique_ptr<Token[]>> blocks_;
    std::size_t count_ = 0;
    std::string arena_;

public:
    // The members of an object (each a key token, then its value) or the items of an array.
    class Range {
    public:
        class iterator {
        public:
            iterator(const SessionTokens* tokens, std::size_t at, bool keyed) : tokens_(tokens), at_(at), keyed_(keyed) {}
            std::string_view key() const { return tokens_->textOf(tokens_->at(at_)); } // members
            Value value() const { return at_ + 1; }                                      // members
            Value operator*() const { return at_; }                                      // items
            iterator& operator++() {
                at_ = tokens_->next(keyed_ ? at_ + 1 : at_);
                return *this;
            }
            bool operator!=(const iterator& other) const { return at_ != other.at_; }

        private:
            const SessionTokens* tokens_;
            std::size_t at_;
            bool keyed_;
        };
        Range(const SessionTokens* tokens, Value v, bool keyed)
            : tokens_(tokens), begin_(v + 1), end_(tokens->at(v).end), keyed_(keyed) {}
        iterator begin() const { return {tokens_, begin_, keyed_}; }
        iterator end() const { return {tokens_, end_, keyed_}; }

    private:
        const SessionTokens* tokens_;
        std::size_t begin_, end_;
        bool keyed_;
    };
};

} // namespace RorozErurEvo
