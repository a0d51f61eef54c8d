#include "app/drawing/BlendRows.h"

#include "app/drawing/PixelMath.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
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

inline __m128i load(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store(std::uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
#endif

} // namespace

void over(const std::uint32_t* source, std::uint32_t* pixels, int count) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        const __m128i s = load(source + i);
        // Clear runs (most of an effect's margin) leave the pixels as they are.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) == 0xffff) continue;
        store(pixels + i, over4(s, load(pixels + i)));
    }
#endif
    for (; i < count; ++i)
        if (source[i] != 0) pixels[i] = PixelMath::over(source[i], pixels[i]);
}

void tintOver(const std::uint32_t* tints, const std::uint8_t* alpha, std::uint32_t* pixels, int count) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        std::uint32_t four;
        std::memcpy(&four, alpha + i, sizeof four);
        if (four == 0) continue;
        const __m128i s = _mm_set_epi32(int(tints[alpha[i + 3]]), int(tints[alpha[i + 2]]),
                                        int(tints[alpha[i + 1]]), int(tints[alpha[i]]));
        store(pixels + i, over4(s, load(pixels + i)));
    }
#endif
    for (; i < count; ++i)
        if (alpha[i] != 0) pixels[i] = PixelMath::over(tints[alpha[i]], pixels[i]);
}

} // namespace Tessarine::BlendRows
