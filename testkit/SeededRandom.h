#pragma once
// A small deterministic random-number generator (SplitMix64), so that synthetic recordings come
// out bit for bit the same on every run and every machine. It draws its own uniform and normal
// values; the standard library's distributions differ between implementations.
#include <cstdint>
#include <limits>

namespace RorozErurEvo {

struct SeededRandom {
    std::uint64_t state = 0; // all arithmetic wraps modulo 2^64

    explicit SeededRandom(std::uint64_t seed) : state(seed) {}

    // One SplitMix64 step.
    std::uint64_t next();
    // Uniform in [0, 1): the top 53 bits of next().
    double unit();
    // One standard normal value from two unit() draws (Box-Muller, cosine branch).
    double gaussian();

    // Uniform random bit generator, for callers that want one.
    using result_type = std::uint64_t;
    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }
    result_type operator()() { return next(); }

    friend bool operator==(const SeededRandom&, const SeededRandom&) = default;
};

} // namespace RorozErurEvo
