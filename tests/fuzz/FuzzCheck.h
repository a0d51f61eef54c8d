#pragma once
// What the fuzz targets share: a check that stops the run, so the fuzzer keeps the input, and
// the input read as a JSON document the way the settings and session files are read.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "testkit/Json.h"

#define FUZZ_REQUIRE(condition)                                                                \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

inline std::string_view fuzzText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Absent when the text is no JSON document (the reader refuses it before any record sees it).
inline std::optional<RorozErurEvo::json> fuzzDocument(const std::uint8_t* data, std::size_t size) {
    try {
        return RorozErurEvo::Json::parse(fuzzText(data, size));
    } catch (const RorozErurEvo::DecodeError&) {
        return std::nullopt;
    }
}
