#pragma once
// The speckle that gives the drawn controller's shell a matte finish: a fixed scatter of tiny
// dots, alternately light and dark, from a 64-bit linear congruential generator that starts
// from the same state on every draw, so the pattern never changes between draws or launches.
#include <cstdint>
#include <vector>

namespace RorozErurEvo::MatteNoisePattern {

inline constexpr int dotCount = 2600;
inline constexpr double dotSize = 0.9; // points: each dot is a circle inscribed in a square this wide
inline constexpr std::uint64_t seed = 0x9E3779B97F4A7C15ull;
// Knuth's MMIX constants; the product and sum wrap modulo 2^64.
inline constexpr std::uint64_t multiplier = 6364136223846793005ull;
inline constexpr std::uint64_t increment = 1442695040888963407ull;

struct Dot {
    double x = 0; // top-left corner of the dot's square, points
    double y = 0;
    bool white = true; // even-numbered dots are light, odd-numbered dark

    friend bool operator==(const Dot&, const Dot&) = default;
};

// One step of the generator and the fraction in [0, 1) it yields: the state's upper 31 bits.
std::uint64_t advance(std::uint64_t state);
double fraction(std::uint64_t state);

// The dots spread over a canvas of `width` × `height` points, in drawing order.
std::vector<Dot> dots(double width, double height);

} // namespace RorozErurEvo::MatteNoisePattern
