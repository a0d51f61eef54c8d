#include "app/drawing/BlendRows.h"

#include "app/drawing/PixelMath.h"
#include "app/drawing/VectorPaths.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#define TESSARINE_WIDE_BLENDS 1
#include <immintrin.h>
#endif

namespace Tessarine::BlendRows {

namespace {

#if defined(__SSE2__)
// PixelMath::over on four pixels: each channel of the destination times the source's
// transparency, with the same rounding ((t + t / 256 + 128) / 256 of the 16-bit product), plus
// the source.
inline __m128i over4(__m128i source, __m128i destination) {
    const __m128i zero = _mm_setzero_si128();
    __m128i clear = _mm_sub_epi32(_mm_set1_epi32(255), _mm_srli_epi32(source, 24));
    clear = _mm_or_si128(clear, _mm_slli_epi32(clear, 16)); // into both 16-bit halves
    auto scale = [&](__m128i channels, __m128i factor) {
        const __m128i t = _mm_mullo_epi16(channels, factor);
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(128)), 8);
    };
    const __m128i low = scale(_mm_unpacklo_epi8(destination, zero), _mm_unpacklo_epi32(clear, clear));
    const __m128i high = scale(_mm_unpackhi_epi8(destination, zero), _mm_unpackhi_epi32(clear, clear));
    // Added as whole words, as PixelMath::over adds them.
    return _mm_add_epi32(source, _mm_packus_epi16(low, high));
}

// tint() of two pixels' colour (as 16-bit channels, `color`) at the strengths in `strength`
// (each pixel's alpha in all four of its lanes): v / 255 rounded as (v + 128 + (v + 128) / 256) / 256.
inline __m128i tint2(__m128i color, __m128i strength) {
    const __m128i v = _mm_add_epi16(_mm_mullo_epi16(color, strength), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
}

// PixelMath::over of two pixels held as 16-bit channels, the result as 16-bit channels: no
// channel of a premultiplied source plus the destination's share passes 255.
inline __m128i over2(__m128i source, __m128i destination) {
    __m128i clear = _mm_shufflelo_epi16(source, _MM_SHUFFLE(3, 3, 3, 3));
    clear = _mm_sub_epi16(_mm_set1_epi16(255), _mm_shufflehi_epi16(clear, _MM_SHUFFLE(3, 3, 3, 3)));
    const __m128i t = _mm_mullo_epi16(destination, clear);
    return _mm_add_epi16(source,
                         _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(128)), 8));
}

inline __m128i load(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store(std::uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// When the sixteen strengths from `alpha` are one and the sixteen pixels beneath are one, blends
// them all as that one pixel and returns true; otherwise leaves them and returns false.
inline bool uniformRun(std::uint32_t color, const std::uint8_t* alpha, std::uint32_t* pixels) {
    const __m128i strengths = _mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(strengths, _mm_set1_epi8(char(alpha[0])))) != 0xffff) return false;
    const __m128i first = _mm_set1_epi32(int(pixels[0]));
    const __m128i same = _mm_and_si128(
        _mm_and_si128(_mm_cmpeq_epi32(load(pixels), first), _mm_cmpeq_epi32(load(pixels + 4), first)),
        _mm_and_si128(_mm_cmpeq_epi32(load(pixels + 8), first), _mm_cmpeq_epi32(load(pixels + 12), first)));
    if (_mm_movemask_epi8(same) != 0xffff) return false;
    if (alpha[0] == 0) return true;
    const __m128i result = _mm_set1_epi32(int(PixelMath::over(tint(color, alpha[0]), pixels[0])));
    for (int k = 0; k < 16; k += 4) store(pixels + k, result);
    return true;
}
#endif

#if defined(TESSARINE_WIDE_BLENDS)
// tint2 of four pixels held as 16-bit channels, two in each half.
__attribute__((target("avx2"))) inline __m256i tintWide(__m256i color, __m256i strength) {
    const __m256i v = _mm256_add_epi16(_mm256_mullo_epi16(color, strength), _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(v, _mm256_srli_epi16(v, 8)), 8);
}

// over2 of four pixels held as 16-bit channels, two in each half.
__attribute__((target("avx2"))) inline __m256i overWide(__m256i source, __m256i destination) {
    __m256i clear = _mm256_shufflelo_epi16(source, _MM_SHUFFLE(3, 3, 3, 3));
    clear = _mm256_sub_epi16(_mm256_set1_epi16(255), _mm256_shufflehi_epi16(clear, _MM_SHUFFLE(3, 3, 3, 3)));
    const __m256i t = _mm256_mullo_epi16(destination, clear);
    return _mm256_add_epi16(
        source, _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), _mm256_set1_epi16(128)), 8));
}

// tintOver's sixteen-pixel steps with eight pixels to a vector where the processor has 256-bit
// vectors: the same whole-number steps as tint2 and over2, lane for lane. Returns where it
// stopped, for the narrower form to carry on.
__attribute__((target("avx2"))) int tintOverWide(std::uint32_t color, const std::uint8_t* alpha, std::uint32_t* pixels,
                                                 int count) {
    const __m256i zero = _mm256_setzero_si256();
    // Two pixels' worth of 16-bit channels in each half, as the unpacked pixels lie.
    const __m256i channels = _mm256_broadcastsi128_si256(_mm_unpacklo_epi8(_mm_set1_epi32(int(color)), _mm_setzero_si128()));
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha + i)),
                                             _mm_setzero_si128())) == 0xffff)
            continue;
        if (uniformRun(color, alpha + i, pixels + i)) continue;
        for (int at = i; at < i + 16; at += 8) {
            std::uint64_t strengths;
            std::memcpy(&strengths, alpha + at, sizeof strengths);
            if (strengths == 0) continue;
            // Each pixel's strength in both halves of its 32-bit lane, then in all four of its
            // channels' lanes, in the order unpacking the pixels gives: 0, 1, 4, 5 and 2, 3, 6, 7.
            __m256i strength = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(alpha + at)));
            strength = _mm256_or_si256(strength, _mm256_slli_epi32(strength, 16));
            auto* where = reinterpret_cast<__m256i*>(pixels + at);
            const __m256i destination = _mm256_loadu_si256(where);
            const __m256i lowTint = tintWide(channels, _mm256_unpacklo_epi32(strength, strength));
            const __m256i highTint = tintWide(channels, _mm256_unpackhi_epi32(strength, strength));
            if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(destination, zero)) == -1) {
                _mm256_storeu_si256(where, _mm256_packus_epi16(lowTint, highTint));
                continue;
            }
            const __m256i low = overWide(lowTint, _mm256_unpacklo_epi8(destination, zero));
            const __m256i high = overWide(highTint, _mm256_unpackhi_epi8(destination, zero));
            _mm256_storeu_si256(where, _mm256_packus_epi16(low, high));
        }
    }
    return i;
}
#endif

} // namespace

void over(const std::uint32_t* source, std::uint32_t* pixels, int count) {
    int i = 0;
#if defined(__SSE2__)
    const int vectors = VectorPaths::use128() ? count : 0;
    for (; i + 4 <= vectors; i += 4) {
        const __m128i s = load(source + i);
        // Clear runs (most of an effect's margin) leave the pixels as they are.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) == 0xffff) continue;
        store(pixels + i, over4(s, load(pixels + i)));
    }
#endif
    for (; i < count; ++i)
        if (source[i] != 0) pixels[i] = PixelMath::over(source[i], pixels[i]);
}

std::uint32_t tint(std::uint32_t color, std::uint32_t alpha) {
    using PixelMath::divide255;
    return divide255((color & 0xff) * alpha) | divide255((color >> 8 & 0xff) * alpha) << 8 |
           divide255((color >> 16 & 0xff) * alpha) << 16 | divide255((color >> 24) * alpha) << 24;
}

void tintOver(std::uint32_t color, const std::uint8_t* alpha, std::uint32_t* pixels, int count) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i channels = _mm_unpacklo_epi8(_mm_set1_epi32(int(color)), zero); // two pixels' worth
    auto four = [&](int at) {
        std::uint32_t strengths;
        std::memcpy(&strengths, alpha + at, sizeof strengths);
        if (strengths == 0) return;
        // Each pixel's strength in its four lanes.
        __m128i strength = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(strengths)), zero);
        strength = _mm_unpacklo_epi16(strength, strength);
        const __m128i destination = load(pixels + at);
        const __m128i lowTint = tint2(channels, _mm_unpacklo_epi32(strength, strength));
        const __m128i highTint = tint2(channels, _mm_unpackhi_epi32(strength, strength));
        // Over clear pixels (a shadow laid on a new image) the tint is the result.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(destination, zero)) == 0xffff) {
            store(pixels + at, _mm_packus_epi16(lowTint, highTint));
            return;
        }
        const __m128i low = over2(lowTint, _mm_unpacklo_epi8(destination, zero));
        const __m128i high = over2(highTint, _mm_unpackhi_epi8(destination, zero));
        store(pixels + at, _mm_packus_epi16(low, high));
    };
    // Sixteen at a time, each sixteen looked at once: clear coverage (the most of a stroke's or
    // a shadow's margin) is passed, one strength over one pixel value (a shadow's full core over
    // a clear or evenly shaded image) is worked out as one pixel, and only the rest is blended
    // four by four. A look at every four pixels cost more than the blending it spared.
#if defined(TESSARINE_WIDE_BLENDS)
    if (VectorPaths::use256()) i = tintOverWide(color, alpha, pixels, count);
#endif
    // The plain loop alone where no vector path is taken.
    const int vectors = VectorPaths::use128() ? count : i;
    for (; i + 16 <= vectors; i += 16) {
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha + i)), zero)) ==
            0xffff)
            continue;
        if (uniformRun(color, alpha + i, pixels + i)) continue;
        four(i);
        four(i + 4);
        four(i + 8);
        four(i + 12);
    }
    for (; i + 4 <= vectors; i += 4) four(i);
#endif
    for (; i < count; ++i)
        if (alpha[i] != 0) pixels[i] = PixelMath::over(tint(color, alpha[i]), pixels[i]);
}

void scale(const std::uint8_t* coverage, std::uint32_t* pixels, int count) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi8(char(0xff));
    const int vectors = VectorPaths::use128() ? count : 0;
    for (; x + 16 <= vectors; x += 16) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + x));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(c, full)) == 0xffff) continue;
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(c, zero)) == 0xffff) {
            for (int k = 0; k < 16; k += 4) store(pixels + x + k, zero);
            continue;
        }
        for (int k = 0; k < 16; ++k)
            if (coverage[x + k] != 255) pixels[x + k] = PixelMath::scaled(pixels[x + k], coverage[x + k]);
    }
#endif
    for (; x < count; ++x)
        if (coverage[x] != 255) pixels[x] = PixelMath::scaled(pixels[x], coverage[x]);
}

void remainder(const std::uint8_t* taken, std::uint8_t* values, int count) {
    auto one = [&](int x) {
        values[x] = std::uint8_t(((255u - taken[x]) * values[x] * 257u + 32768u) >> 16);
    };
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi8(char(0xff));
    const int vectors = VectorPaths::use128() ? count : 0;
    for (; x + 16 <= vectors; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + x));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)) == 0xffff) continue; // nothing left to take from
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taken + x));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(t, full)) == 0xffff) { // all taken
            _mm_storeu_si128(reinterpret_cast<__m128i*>(values + x), zero);
            continue;
        }
        // (p × 257 + 32768) / 65536 of the 16-bit product p is the high half of p × 257 plus one
        // where its low half is 32768 or more: the same rounding, eight values at a time.
        const __m128i left = _mm_sub_epi8(full, t);
        auto half = [&](__m128i value, __m128i factor) {
            const __m128i p = _mm_mullo_epi16(value, factor);
            const __m128i m = _mm_set1_epi16(257);
            return _mm_add_epi16(_mm_mulhi_epu16(p, m), _mm_srli_epi16(_mm_mullo_epi16(p, m), 15));
        };
        const __m128i low = half(_mm_unpacklo_epi8(v, zero), _mm_unpacklo_epi8(left, zero));
        const __m128i high = half(_mm_unpackhi_epi8(v, zero), _mm_unpackhi_epi8(left, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(values + x), _mm_packus_epi16(low, high));
    }
#endif
    for (; x < count; ++x) one(x);
}

} // namespace Tessarine::BlendRows
