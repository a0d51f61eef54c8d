#include "app/drawing/BoxBlur.h"

#include "app/drawing/VectorPaths.h"

#include <algorithm>
#include <array>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#define TESSARINE_WIDE_SUMS 1
#include <immintrin.h>
#endif

namespace Tessarine::BoxBlur {

namespace {

// Half-widths of three box blurs whose sequence has the variance of a Gaussian of `sigma`
// (the widths of Kovesi's "fast almost-Gaussian filtering").
std::array<int, 3> boxRadii(double sigma) {
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 4.0 * 3 * lower - 3 * 3) /
                                (-4.0 * lower - 4));
    std::array<int, 3> radii{};
    for (int i = 0; i < 3; ++i) radii[i] = ((i < m ? lower : upper) - 1) / 2;
    return radii;
}

// One box blur of half-width r down the columns of `rows` lines of `width` bytes each (every
// channel of every pixel is a column). It walks the lines in memory order with a running sum per
// column; values beyond the first and last line count as 0. The columns go in blocks of a fixed
// count, which the compiler turns into vector instructions even at -O2 (it leaves a loop of
// unknown length scalar there), and the few columns left over one by one. A window of up to 257
// lines sums to at most 65,535, so its sums fit 16 bits, twice as many to a vector instruction.
template <class Sum>
void boxDown(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst, int width, int rows, int r,
             Sum* __restrict sums) {
    const std::uint32_t window = std::uint32_t(2 * r + 1);
    const std::uint32_t scale = (65536 + window / 2) / window; // 1 / window in 16.16 fixed point
    constexpr int block = 16; // columns
    const int blocked = width / block * block;
    auto add = [&](const std::uint8_t* __restrict in) {
        for (int i = 0; i < blocked; i += block)
            for (int j = 0; j < block; ++j) sums[i + j] = Sum(sums[i + j] + in[i + j]);
        for (int i = blocked; i < width; ++i) sums[i] = Sum(sums[i] + in[i]);
    };
    auto remove = [&](const std::uint8_t* __restrict in) {
        for (int i = 0; i < blocked; i += block)
            for (int j = 0; j < block; ++j) sums[i + j] = Sum(sums[i + j] - in[i + j]);
        for (int i = blocked; i < width; ++i) sums[i] = Sum(sums[i] - in[i]);
    };
    auto average = [&](Sum sum) { return std::uint8_t(std::min(255u, (std::uint32_t(sum) * scale + 32768) >> 16)); };
    std::fill(sums, sums + width, Sum(0));
    for (int y = 0; y <= std::min(r, rows - 1); ++y) add(src + std::size_t(y) * std::size_t(width));
    [[maybe_unused]] const bool vectors = VectorPaths::use128();
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* __restrict out = dst + std::size_t(y) * std::size_t(width);
        int i = 0;
#if defined(__SSE2__)
        // 16-bit sums times a 16-bit scale (a window of three or more): the product's high half
        // and, for the rounding, the top bit of its low half, which is what the plain form works
        // out; a result is at most 21,845, so packing saturates it to 255 as the plain form's
        // min does.
        if constexpr (sizeof(Sum) == 2) {
            if (scale <= 0xFFFF && vectors) {
                const __m128i factor = _mm_set1_epi16(short(scale));
                auto averaged = [&](const Sum* at) {
                    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
                    return _mm_add_epi16(_mm_mulhi_epu16(s, factor), _mm_srli_epi16(_mm_mullo_epi16(s, factor), 15));
                };
                for (; i < blocked; i += block)
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                                     _mm_packus_epi16(averaged(sums + i), averaged(sums + i + 8)));
            }
        }
#endif
        for (; i < blocked; i += block)
            for (int j = 0; j < block; ++j) out[i + j] = average(sums[i + j]);
        for (i = blocked; i < width; ++i) out[i] = average(sums[i]);
        const int enter = y + r + 1, leave = y - r;
        if (enter < rows) add(src + std::size_t(enter) * std::size_t(width));
        if (leave >= 0) remove(src + std::size_t(leave) * std::size_t(width));
    }
}

// Pixels of a `width` × `height` plane into a `height` × `width` one, rows becoming columns.
template <class Pixel> void transpose(const Pixel* src, Pixel* dst, int width, int height) {
    constexpr int tile = 32; // pixels; keeps both sides of the copy in cache
    for (int y0 = 0; y0 < height; y0 += tile)
        for (int x0 = 0; x0 < width; x0 += tile)
            for (int y = y0; y < std::min(y0 + tile, height); ++y)
                for (int x = x0; x < std::min(x0 + tile, width); ++x)
                    dst[std::size_t(x) * std::size_t(height) + std::size_t(y)] =
                        src[std::size_t(y) * std::size_t(width) + std::size_t(x)];
}

#if defined(__SSE2__)
// A 16 × 16 block of bytes, rows of `src` into columns of `dst`, by interleaving ever wider
// pieces of row pairs: bytes, then 16-, 32- and 64-bit pieces.
inline void transposeBlock(const std::uint8_t* src, std::size_t srcStride, std::uint8_t* dst, std::size_t dstStride) {
    __m128i r[16], t[16], u[16], v[16];
    for (int i = 0; i < 16; ++i) r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + std::size_t(i) * srcStride));
    for (int k = 0; k < 8; ++k) {
        t[2 * k] = _mm_unpacklo_epi8(r[2 * k], r[2 * k + 1]);
        t[2 * k + 1] = _mm_unpackhi_epi8(r[2 * k], r[2 * k + 1]);
    }
    for (int q = 0; q < 4; ++q) {
        u[4 * q] = _mm_unpacklo_epi16(t[4 * q], t[4 * q + 2]);
        u[4 * q + 1] = _mm_unpackhi_epi16(t[4 * q], t[4 * q + 2]);
        u[4 * q + 2] = _mm_unpacklo_epi16(t[4 * q + 1], t[4 * q + 3]);
        u[4 * q + 3] = _mm_unpackhi_epi16(t[4 * q + 1], t[4 * q + 3]);
    }
    for (int o = 0; o < 2; ++o)
        for (int g = 0; g < 4; ++g) {
            v[8 * o + 2 * g] = _mm_unpacklo_epi32(u[8 * o + g], u[8 * o + 4 + g]);
            v[8 * o + 2 * g + 1] = _mm_unpackhi_epi32(u[8 * o + g], u[8 * o + 4 + g]);
        }
    for (int c = 0; c < 8; ++c) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + std::size_t(2 * c) * dstStride), _mm_unpacklo_epi64(v[c], v[8 + c]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + std::size_t(2 * c + 1) * dstStride),
                         _mm_unpackhi_epi64(v[c], v[8 + c]));
    }
}

// Bytes go sixteen by sixteen where the processor has 128-bit vectors; the ragged edges as above.
void transpose(const std::uint8_t* src, std::uint8_t* dst, int width, int height) {
    if (!VectorPaths::use128()) return transpose<std::uint8_t>(src, dst, width, height);
    const int fullWidth = width / 16 * 16, fullHeight = height / 16 * 16;
    for (int y0 = 0; y0 < fullHeight; y0 += 16)
        for (int x0 = 0; x0 < fullWidth; x0 += 16)
            transposeBlock(src + std::size_t(y0) * std::size_t(width) + std::size_t(x0), std::size_t(width),
                           dst + std::size_t(x0) * std::size_t(height) + std::size_t(y0), std::size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = y < fullHeight ? fullWidth : 0; x < width; ++x)
            dst[std::size_t(x) * std::size_t(height) + std::size_t(y)] = src[std::size_t(y) * std::size_t(width) + std::size_t(x)];
}
#endif

template <class Pixel> void blurPlane(std::vector<Pixel>& a, int w, int h, double sigma) {
    if (!(sigma > 0) || w <= 0 || h <= 0 || a.size() < std::size_t(w) * std::size_t(h)) return;
    std::vector<Pixel> b(a.size());
    std::vector<std::uint32_t> sums(std::size_t(std::max(w, h)) * sizeof(Pixel));
    std::vector<std::uint16_t> narrowSums(sums.size());
    auto bytes = [](std::vector<Pixel>& v) { return reinterpret_cast<std::uint8_t*>(v.data()); };
    const std::array<int, 3> radii = boxRadii(sigma);
    // Box blurs along the two axes commute: all three down the columns, then, transposed, all
    // three along the rows, and transposed back.
    for (int pass = 0; pass < 2; ++pass) {
        const int lineBytes = (pass == 0 ? w : h) * int(sizeof(Pixel)), lines = pass == 0 ? h : w;
        for (int r : radii) {
            if (r <= 0) continue;
            if (r <= 128)
                boxDown(bytes(a), bytes(b), lineBytes, lines, r, narrowSums.data());
            else
                boxDown(bytes(a), bytes(b), lineBytes, lines, r, sums.data());
            std::swap(a, b);
        }
        transpose(a.data(), b.data(), pass == 0 ? w : h, pass == 0 ? h : w);
        std::swap(a, b);
    }
}

} // namespace

// A window that reaches past the edges holds one value only when that value is 0.
bool uniform(const std::uint8_t* plane, int width, int height, int x0, int x1, int y0, int y1, std::uint8_t value) {
    if ((x0 < 0 || y0 < 0 || x1 > width || y1 > height) && value != 0) return false;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width);
    y1 = std::min(y1, height);
    [[maybe_unused]] const bool vectors = VectorPaths::use128();
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* row = plane + std::size_t(y) * std::size_t(width);
        int x = x0;
#if defined(__SSE2__)
        const __m128i wanted = _mm_set1_epi8(char(value));
        auto same = [&](int at) {
            return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at)), wanted)) ==
                   0xFFFF;
        };
        if (vectors && x1 - x0 >= 16) {
            for (; x + 16 <= x1; x += 16)
                if (!same(x)) return false;
            // The last few as the sixteen ending there, some looked at twice.
            if (x < x1 && !same(x1 - 16)) return false;
            continue;
        }
#endif
        for (; x < x1; ++x)
            if (row[x] != value) return false;
    }
    return true;
}

namespace {

// Widens first … last − 1 to a multiple of `align` where the plane has room, and clips it to the
// plane's 0 … size − 1.
void roundOut(int& first, int& last, int size, int align) {
    last += (align - (last - first) % align) % align;
    first -= std::max(0, last - size);
    first = std::max(first, 0);
    last = std::min(last, size);
}

// A blur reaching `reach` pixels each way leaves a pixel as it is where everything within that
// reach holds one value, as most of a large shape's coverage does (0 outside, 255 inside). So the
// plane is cut into tiles, and only tiles with differing values within reach are blurred: busy
// tiles are gathered into rectangles (a run along a row, carried down the rows below while they
// are busy across the same run, as along a shape's upright sides), and each is blurred as a plane
// of its own with the reach about it, widened to a multiple of `align` so the passes work in
// whole vector blocks. `blurWhole(part, width, height, need)` blurs such a plane at least within
// `need` (its pixels to give); since it never looks further than the reach, those pixels come
// out exactly as in a blur of the whole plane. `cost(width, height, need)` tells how much work
// that is. A tile none of whose values is `wanted` is left unblurred too. Returns false, having
// changed nothing, where blurring the whole plane is cheaper.
struct Need {
    int x0, x1, y0, y1;
};
template <class BlurWhole, class Cost>
bool blurNearEdges(std::vector<std::uint8_t>& plane, int width, int height, int reach, int tile, int align,
                   BlurWhole blurWhole, Cost cost, const Wanted& wanted) {
    const int tilesX = (width + tile - 1) / tile, tilesY = (height + tile - 1) / tile;
    if (reach <= 0 || tilesX * tilesY < 16) return false;
    std::vector<char> busy(std::size_t(tilesX) * std::size_t(tilesY));
    auto at = [tilesX](int tx, int ty) { return std::size_t(ty) * std::size_t(tilesX) + std::size_t(tx); };
    for (int ty = 0; ty < tilesY; ++ty)
        for (int tx = 0; tx < tilesX; ++tx) {
            const int x0 = tx * tile, y0 = ty * tile;
            busy[at(tx, ty)] = !uniform(plane.data(), width, height, x0 - reach, x0 + tile + reach, y0 - reach,
                                        y0 + tile + reach, plane[std::size_t(y0) * std::size_t(width) + std::size_t(x0)]) &&
                               (!wanted || wanted(x0, x0 + tile, y0, y0 + tile));
        }
    struct Block {
        int x0, x1, y0, y1;     // the pixels it gives
        int px0, px1, py0, py1; // the plane it is blurred in
    };
    std::vector<Block> blocks;
    std::size_t work = 0;
    for (int ty = 0; ty < tilesY; ++ty)
        for (int tx = 0; tx < tilesX;) {
            if (!busy[at(tx, ty)]) {
                ++tx;
                continue;
            }
            int end = tx;
            while (end < tilesX && busy[at(end, ty)]) ++end;
            int bottom = ty + 1;
            while (bottom < tilesY && std::all_of(busy.begin() + std::ptrdiff_t(at(tx, bottom)),
                                                  busy.begin() + std::ptrdiff_t(at(end, bottom)), [](char b) { return b == 1; }))
                ++bottom;
            for (int y = ty; y < bottom; ++y)
                for (int x = tx; x < end; ++x) busy[at(x, y)] = 2; // taken
            Block block{tx * tile, std::min(width, end * tile), ty * tile, std::min(height, bottom * tile), 0, 0, 0, 0};
            block.px0 = block.x0 - reach;
            block.px1 = block.x1 + reach;
            block.py0 = block.y0 - reach;
            block.py1 = block.y1 + reach;
            roundOut(block.px0, block.px1, width, align);
            roundOut(block.py0, block.py1, height, align);
            work += cost(block.px1 - block.px0, block.py1 - block.py0,
                         Need{block.x0 - block.px0, block.x1 - block.px0, block.y0 - block.py0, block.y1 - block.py0});
            blocks.push_back(block);
            tx = end;
        }
    // Where the blocks with their margins come near the whole plane, blurring it whole is cheaper.
    if (work * 4 > cost(width, height, Need{0, width, 0, height}) * 3) return false;
    // Each block reads the plane as it was, margins and all, so the blocks' results wait
    // beside it until the last is blurred.
    std::size_t given = 0;
    for (const Block& b : blocks) given += std::size_t(b.x1 - b.x0) * std::size_t(b.y1 - b.y0);
    std::vector<std::uint8_t> results(given);
    std::vector<std::uint8_t> part;
    auto result = results.begin();
    for (const Block& b : blocks) {
        const int pw = b.px1 - b.px0, ph = b.py1 - b.py0;
        part.resize(std::size_t(pw) * std::size_t(ph));
        for (int y = b.py0; y < b.py1; ++y)
            std::copy_n(plane.begin() + std::ptrdiff_t(y) * width + b.px0, pw, part.begin() + std::ptrdiff_t(y - b.py0) * pw);
        blurWhole(part, pw, ph, Need{b.x0 - b.px0, b.x1 - b.px0, b.y0 - b.py0, b.y1 - b.py0});
        for (int y = b.y0; y < b.y1; ++y)
            result = std::copy_n(part.begin() + std::ptrdiff_t(y - b.py0) * pw + (b.x0 - b.px0), b.x1 - b.x0, result);
    }
    result = results.begin();
    for (const Block& b : blocks)
        for (int y = b.y0; y < b.y1; ++y) {
            std::copy_n(result, b.x1 - b.x0, plane.begin() + std::ptrdiff_t(y) * width + b.x0);
            result += b.x1 - b.x0;
        }
    return true;
}

} // namespace

void blur(std::vector<std::uint8_t>& plane, int width, int height, double sigma, const Wanted& wanted) {
    if (!(sigma > 0) || width <= 0 || height <= 0 || plane.size() < std::size_t(width) * std::size_t(height)) return;
    int reach = 0;
    for (int r : boxRadii(sigma)) reach += std::max(r, 0);
    // Every pass works over the whole of a plane it is given.
    auto whole = [sigma](std::vector<std::uint8_t>& part, int w, int h, Need) { blurPlane(part, w, h, sigma); };
    auto cost = [](int w, int h, Need) { return std::size_t(w) * std::size_t(h); };
    if (!blurNearEdges(plane, width, height, reach, 32, 16, whole, cost, wanted))
        blurPlane(plane, width, height, sigma);
}

void blur(std::vector<std::uint32_t>& pixels, int width, int height, double sigma) {
    blurPlane(pixels, width, height, sigma);
}

int reduction(double sigma) {
    constexpr double leftOver = 2.5; // coarse pixels of blur kept, so the enlargement stays smooth
    constexpr int most = 8;
    if (!(sigma > 0)) return 1;
    return std::clamp(int(sigma / leftOver), 1, most);
}

double reducedSigma(double sigma, int factor) {
    // Averaging into coarse pixels spreads by a box of `factor` (variance factor²/12), the linear
    // enlargement by a tent of the same half-width (factor²/6); the blur makes up the rest of
    // what the three boxes would spread at full resolution (their whole widths give a variance
    // a little off sigma²).
    if (factor <= 1) return sigma;
    double variance = 0;
    for (int r : boxRadii(sigma)) variance += (double(2 * r + 1) * (2 * r + 1) - 1) / 12;
    const double rest = variance - double(factor) * factor / 4;
    return rest > 0 ? std::sqrt(rest) / factor : 0;
}

namespace {

// The two passes of a Gaussian. Each value is a sum from 0 of weight × value over its window,
// lowest offset first, the window cut short at the plane's edges (values beyond count as 0). The
// vector forms hold sums in registers, each getting the same multiply and add in the same order
// as one value alone, so they give the plain loop's result exactly (the build uses no fused
// multiply-add, which would round once instead of twice).

#if defined(TESSARINE_WIDE_SUMS)
// Where the processor has 256-bit vectors, thirty-two sums at a time, each lane with the same
// multiply and add in the same order as the narrower forms (no fused multiply-add is enabled
// here either). Each returns where it stopped, for the narrower forms to carry on.

// gaussianDown's sums of line `y` for columns 0 … the last whole thirty-two.
__attribute__((target("avx2"))) int downWide(const float* in, float* sum, int width, int y, int first, int last,
                                             const float* w, std::size_t stride) {
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        __m256 s0 = _mm256_setzero_ps(), s1 = s0, s2 = s0, s3 = s0;
        for (int k = first; k <= last; ++k) {
            const __m256 weight = _mm256_set1_ps(w[k]);
            const float* line = in + std::size_t(y + k) * stride + std::size_t(x);
            s0 = _mm256_add_ps(s0, _mm256_mul_ps(weight, _mm256_loadu_ps(line)));
            s1 = _mm256_add_ps(s1, _mm256_mul_ps(weight, _mm256_loadu_ps(line + 8)));
            s2 = _mm256_add_ps(s2, _mm256_mul_ps(weight, _mm256_loadu_ps(line + 16)));
            s3 = _mm256_add_ps(s3, _mm256_mul_ps(weight, _mm256_loadu_ps(line + 24)));
        }
        _mm256_storeu_ps(sum + x, s0);
        _mm256_storeu_ps(sum + x + 8, s1);
        _mm256_storeu_ps(sum + x + 16, s2);
        _mm256_storeu_ps(sum + x + 24, s3);
    }
    return x;
}

// Sums rounded into whole levels 0 … 255, eight at a time.
__attribute__((target("avx2"))) inline __m256i roundedWide(__m256 v) {
    const __m256 clamped = _mm256_max_ps(_mm256_min_ps(_mm256_add_ps(v, _mm256_set1_ps(0.5f)), _mm256_set1_ps(255.0f)),
                                         _mm256_setzero_ps());
    return _mm256_cvttps_epi32(clamped);
}

// Eight whole levels of each of `a` and `b` into sixteen bytes, in order.
__attribute__((target("avx2"))) inline __m128i bytesWide(__m256i a, __m256i b) {
    const __m128i first = _mm_packs_epi32(_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1));
    const __m128i second = _mm_packs_epi32(_mm256_castsi256_si128(b), _mm256_extracti128_si256(b, 1));
    return _mm_packus_epi16(first, second);
}

// gaussianAcross's whole windows from `x` up to the last whole thirty-two before `end`.
__attribute__((target("avx2"))) int acrossWide(const float* line, std::uint8_t* to, int x, int end, int reach,
                                               const float* w) {
    for (; x + 32 <= end; x += 32) {
        __m256 s0 = _mm256_setzero_ps(), s1 = s0, s2 = s0, s3 = s0;
        for (int k = -reach; k <= reach; ++k) {
            const __m256 weight = _mm256_set1_ps(w[k]);
            const float* at = line + x + k;
            s0 = _mm256_add_ps(s0, _mm256_mul_ps(weight, _mm256_loadu_ps(at)));
            s1 = _mm256_add_ps(s1, _mm256_mul_ps(weight, _mm256_loadu_ps(at + 8)));
            s2 = _mm256_add_ps(s2, _mm256_mul_ps(weight, _mm256_loadu_ps(at + 16)));
            s3 = _mm256_add_ps(s3, _mm256_mul_ps(weight, _mm256_loadu_ps(at + 24)));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), bytesWide(roundedWide(s0), roundedWide(s1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x + 16), bytesWide(roundedWide(s2), roundedWide(s3)));
    }
    return x;
}
#endif

// Down the columns of `rows` lines of `width` values, for lines y0 … y1 − 1 of `out`.
void gaussianDown(const float* in, float* out, int width, int rows, int y0, int y1, const std::vector<float>& weights) {
    const int reach = int(weights.size() / 2);
    const float* w = weights.data() + reach;
    const std::size_t stride = std::size_t(width);
    [[maybe_unused]] const bool wide = VectorPaths::use256();
    [[maybe_unused]] const int vectors = VectorPaths::use128() ? width : 0;
    for (int y = y0; y < y1; ++y) {
        const int first = std::max(-reach, -y), last = std::min(reach, rows - 1 - y);
        float* sum = out + std::size_t(y) * stride;
        int x = 0;
#if defined(TESSARINE_WIDE_SUMS)
        if (wide) x = downWide(in, sum, width, y, first, last, w, stride);
#endif
#if defined(__SSE2__)
        for (; x + 16 <= vectors; x += 16) {
            __m128 s0 = _mm_setzero_ps(), s1 = s0, s2 = s0, s3 = s0;
            for (int k = first; k <= last; ++k) {
                const __m128 weight = _mm_set1_ps(w[k]);
                const float* line = in + std::size_t(y + k) * stride + std::size_t(x);
                s0 = _mm_add_ps(s0, _mm_mul_ps(weight, _mm_loadu_ps(line)));
                s1 = _mm_add_ps(s1, _mm_mul_ps(weight, _mm_loadu_ps(line + 4)));
                s2 = _mm_add_ps(s2, _mm_mul_ps(weight, _mm_loadu_ps(line + 8)));
                s3 = _mm_add_ps(s3, _mm_mul_ps(weight, _mm_loadu_ps(line + 12)));
            }
            _mm_storeu_ps(sum + x, s0);
            _mm_storeu_ps(sum + x + 4, s1);
            _mm_storeu_ps(sum + x + 8, s2);
            _mm_storeu_ps(sum + x + 12, s3);
        }
        for (; x + 4 <= vectors; x += 4) {
            __m128 s0 = _mm_setzero_ps();
            for (int k = first; k <= last; ++k)
                s0 = _mm_add_ps(s0, _mm_mul_ps(_mm_set1_ps(w[k]), _mm_loadu_ps(in + std::size_t(y + k) * stride + std::size_t(x))));
            _mm_storeu_ps(sum + x, s0);
        }
#endif
        for (; x < width; ++x) {
            float s = 0;
            for (int k = first; k <= last; ++k) s += w[k] * in[std::size_t(y + k) * stride + std::size_t(x)];
            sum[x] = s;
        }
    }
}

// Along the lines of `width` values, for the values `need` of `out`, each sum rounded into a byte.
void gaussianAcross(const float* in, std::uint8_t* out, int width, Need need, const std::vector<float>& weights) {
    const int reach = int(weights.size() / 2);
    const float* w = weights.data() + reach;
    [[maybe_unused]] const bool wide = VectorPaths::use256(), vectors = VectorPaths::use128();
    for (int y = need.y0; y < need.y1; ++y) {
        const float* line = in + std::size_t(y) * std::size_t(width);
        std::uint8_t* to = out + std::size_t(y) * std::size_t(width);
        auto one = [&](int x) {
            float s = 0;
            for (int k = std::max(-reach, -x); k <= std::min(reach, width - 1 - x); ++k) s += w[k] * line[x + k];
            to[x] = std::uint8_t(std::clamp(s + 0.5f, 0.0f, 255.0f));
        };
        // Near either end of the line a window is cut short; between, every window is whole.
        const int whole0 = std::clamp(reach, need.x0, need.x1), whole1 = std::clamp(width - reach, whole0, need.x1);
        int x = need.x0;
        for (; x < whole0; ++x) one(x);
#if defined(TESSARINE_WIDE_SUMS)
        if (wide) x = acrossWide(line, to, x, whole1, reach, w);
#endif
#if defined(__SSE2__)
        const __m128 half = _mm_set1_ps(0.5f), top = _mm_set1_ps(255.0f), bottom = _mm_setzero_ps();
        auto rounded = [&](__m128 v) { return _mm_cvttps_epi32(_mm_max_ps(_mm_min_ps(_mm_add_ps(v, half), top), bottom)); };
        for (; vectors && x + 16 <= whole1; x += 16) {
            __m128 s0 = _mm_setzero_ps(), s1 = s0, s2 = s0, s3 = s0;
            for (int k = -reach; k <= reach; ++k) {
                const __m128 weight = _mm_set1_ps(w[k]);
                const float* at = line + x + k;
                s0 = _mm_add_ps(s0, _mm_mul_ps(weight, _mm_loadu_ps(at)));
                s1 = _mm_add_ps(s1, _mm_mul_ps(weight, _mm_loadu_ps(at + 4)));
                s2 = _mm_add_ps(s2, _mm_mul_ps(weight, _mm_loadu_ps(at + 8)));
                s3 = _mm_add_ps(s3, _mm_mul_ps(weight, _mm_loadu_ps(at + 12)));
            }
            const __m128i words = _mm_packs_epi32(rounded(s0), rounded(s1)), more = _mm_packs_epi32(rounded(s2), rounded(s3));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_packus_epi16(words, more));
        }
#endif
        for (; x < need.x1; ++x) one(x);
    }
}

} // namespace

void gaussian(std::vector<std::uint8_t>& plane, int width, int height, double sigma, const Wanted& wanted) {
    if (!(sigma > 0) || width <= 0 || height <= 0 || plane.size() < std::size_t(width) * std::size_t(height)) return;
    const int reach = int(std::ceil(3 * sigma)); // beyond, the weights add up to under 0.3 %
    std::vector<float> weights(std::size_t(2 * reach + 1));
    float total = 0;
    for (int k = -reach; k <= reach; ++k)
        total += weights[std::size_t(k + reach)] = float(std::exp(-0.5 * k * k / (sigma * sigma)));
    for (float& w : weights) w /= total;
    // The weights sum to 1 within a few parts in a million, so a value held all through the
    // reach comes back rounded to itself and only tiles near an edge need the sums.
    // Down the columns only for the lines asked for, along them only for the values asked for.
    auto whole = [&weights](std::vector<std::uint8_t>& part, int w, int h, Need need) {
        std::vector<float> values(std::size_t(w) * std::size_t(h)), down(values.size());
        std::copy_n(part.begin(), values.size(), values.begin());
        gaussianDown(values.data(), down.data(), w, h, need.y0, need.y1, weights);
        gaussianAcross(down.data(), part.data(), w, need, weights);
    };
    auto cost = [](int w, int, Need need) {
        const std::size_t lines = std::size_t(need.y1 - need.y0);
        return lines * std::size_t(w) + lines * std::size_t(need.x1 - need.x0);
    };
    if (!blurNearEdges(plane, width, height, reach, 16, 4, whole, cost, wanted)) whole(plane, width, height, Need{0, width, 0, height});
}

namespace {

// out[x] = (lower[x] × wl + upper[x] × wu + 32768) / 65536 for `count` values, wl + wu being 256
// and the lines holding values up to 255 × 256, so every sum fits 32 bits and the result a byte.
// The vector form works out the same whole numbers as the plain loop.
void blendLines(const std::uint16_t* lower, const std::uint16_t* upper, std::uint16_t wl, std::uint16_t wu,
                std::uint8_t* out, int count) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i lowWeight = _mm_set1_epi16(short(wl)), highWeight = _mm_set1_epi16(short(wu));
    const __m128i half = _mm_set1_epi32(32768);
    const int vectors = VectorPaths::use128() ? count : 0;
    for (; x + 8 <= vectors; x += 8) {
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x));
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x));
        // Whole 32-bit products from their low and high halves.
        const __m128i lLow = _mm_mullo_epi16(l, lowWeight), lHigh = _mm_mulhi_epu16(l, lowWeight);
        const __m128i uLow = _mm_mullo_epi16(u, highWeight), uHigh = _mm_mulhi_epu16(u, highWeight);
        const __m128i first = _mm_srli_epi32(
            _mm_add_epi32(_mm_add_epi32(_mm_unpacklo_epi16(lLow, lHigh), _mm_unpacklo_epi16(uLow, uHigh)), half), 16);
        const __m128i second = _mm_srli_epi32(
            _mm_add_epi32(_mm_add_epi32(_mm_unpackhi_epi16(lLow, lHigh), _mm_unpackhi_epi16(uLow, uHigh)), half), 16);
        const __m128i words = _mm_packs_epi32(first, second); // each at most 255
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(words, words));
    }
#endif
    for (; x < count; ++x)
        out[x] = std::uint8_t((std::uint32_t(lower[x]) * wl + std::uint32_t(upper[x]) * wu + 32768) >> 16);
}

// Where fine pixel x falls between coarse centres: the lower coarse pixel and the weight of the
// upper one in 1/256.
struct Tap {
    int lower, upper;
    std::uint32_t weight;
};

std::vector<Tap> tapsOf(int count, int coarseCount, int factor) {
    std::vector<Tap> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double u = (i + 0.5) / factor - 0.5;
        const double lower = std::floor(u);
        const int l = std::clamp(int(lower), 0, coarseCount - 1);
        const int h = std::clamp(int(lower) + 1, 0, coarseCount - 1);
        out[std::size_t(i)] = {l, h, std::uint32_t(std::lround((u - lower) * 256))};
    }
    return out;
}

// Each coarse row is widened once (values in 1/256, at most 255 × 256, so 16 bits hold them and
// the blend multiplies 16-bit values into 32 bits, which vector instructions do), then rows are
// blended. A blurred shape's plane is mostly clear or full: a fine pixel whose coarse neighbours
// are all 0 is 0, and one whose neighbours are all 255 widens to 255 × 256 and blends back to
// exactly 255. So each row keeps the fine columns that can hold anything but 0, [from, to), and
// within them its longest stretch of full ones, [fullFrom, fullTo); only the rest is worked out
// value by value. Rows of nothing but 0 have an empty span.
struct Span {
    int from, to, fullFrom, fullTo;
};

// The first fine column whose tap (its lower or upper coarse pixel, as `tapOf` picks) reaches c.
template <class TapOf> int firstAtLeast(const std::vector<Tap>& across, int c, TapOf tapOf) {
    return int(std::partition_point(across.begin(), across.end(), [&](const Tap& t) { return tapOf(t) < c; }) -
               across.begin());
}

// The longest run of 255 among in[c0 … c1], as [first, end); empty when there is none.
std::pair<int, int> longestFull(const std::uint8_t* in, int c0, int c1) {
    int full0 = 0, full1 = 0;
    for (int c = c0; c <= c1;) {
        if (in[c] != 255) {
            ++c;
            continue;
        }
        int end = c;
        while (end <= c1 && in[end] == 255) ++end;
        if (end - c > full1 - full0) {
            full0 = c;
            full1 = end;
        }
        c = end;
    }
    return {full0, full1};
}

// The span of one coarse row of `coarseWidth` values, in the fine columns of `across`.
Span spanOf(const std::uint8_t* in, int coarseWidth, const std::vector<Tap>& across) {
    const int width = int(across.size());
    int c0 = 0, c1 = coarseWidth - 1;
    while (c0 < coarseWidth && in[c0] == 0) ++c0;
    if (c0 == coarseWidth) return Span{width, 0, width, 0};
    while (in[c1] == 0) --c1;
    const auto [full0, full1] = longestFull(in, c0, c1);
    const auto lowerOf = [](const Tap& t) { return t.lower; };
    const auto upperOf = [](const Tap& t) { return t.upper; };
    Span span;
    span.from = firstAtLeast(across, c0, upperOf);
    span.to = firstAtLeast(across, c1 + 1, lowerOf);
    span.fullFrom = std::clamp(firstAtLeast(across, full0, lowerOf), span.from, span.to);
    span.fullTo =
        full1 > full0 ? std::clamp(firstAtLeast(across, full1, upperOf), span.fullFrom, span.to) : span.fullFrom;
    return span;
}

// One coarse row widened into `out`, a fine row of values in 1/256, within its span.
void widenRow(const std::uint8_t* in, const std::vector<Tap>& across, const Span& span, std::uint16_t* out) {
    auto widen = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            const Tap& t = across[std::size_t(x)];
            out[x] = std::uint16_t(in[t.lower] * (256 - t.weight) + in[t.upper] * t.weight);
        }
    };
    widen(span.from, span.fullFrom);
    std::fill(out + span.fullFrom, out + span.fullTo, std::uint16_t(255 * 256));
    widen(span.fullTo, span.to);
}

// One fine row blended from the widened rows about it (`wide`, rows of `width`), whose spans are
// `a` (the lower) and `b` (the upper).
void blendRow(const Tap& t, const Span& a, const Span& b, const std::vector<std::uint16_t>& wide, int width,
              std::uint8_t* __restrict out) {
    const int from = std::min(a.from, b.from), to = std::max(a.to, b.to);
    if (from >= to) return;
    int fullFrom = std::max(a.fullFrom, b.fullFrom), fullTo = std::min(a.fullTo, b.fullTo);
    if (fullFrom >= fullTo) fullFrom = fullTo = to;
    const std::uint16_t* upper = wide.data() + std::size_t(t.upper) * std::size_t(width);
    const std::uint16_t* lower = wide.data() + std::size_t(t.lower) * std::size_t(width);
    const auto wl = std::uint16_t(256 - t.weight), wu = std::uint16_t(t.weight);
    blendLines(lower + from, upper + from, wl, wu, out + from, fullFrom - from);
    std::fill(out + fullFrom, out + fullTo, std::uint8_t(255));
    blendLines(lower + fullTo, upper + fullTo, wl, wu, out + fullTo, to - fullTo);
}

} // namespace

std::vector<std::uint8_t> enlarge(const std::vector<std::uint8_t>& coarse, int coarseWidth, int coarseHeight,
                                  int factor, int width, int height) {
    std::vector<std::uint8_t> fine(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)));
    if (coarseWidth <= 0 || coarseHeight <= 0 || factor <= 0 || fine.empty() ||
        coarse.size() < std::size_t(coarseWidth) * std::size_t(coarseHeight))
        return fine;
    const std::vector<Tap> across = tapsOf(width, coarseWidth, factor), down = tapsOf(height, coarseHeight, factor);
    std::vector<Span> spans(static_cast<std::size_t>(coarseHeight));
    std::vector<std::uint16_t> wide(std::size_t(coarseHeight) * std::size_t(width));
    for (int y = 0; y < coarseHeight; ++y) {
        const std::uint8_t* in = coarse.data() + std::size_t(y) * std::size_t(coarseWidth);
        const Span& span = spans[std::size_t(y)] = spanOf(in, coarseWidth, across);
        if (span.from < span.to) widenRow(in, across, span, wide.data() + std::size_t(y) * std::size_t(width));
    }
    for (int y = 0; y < height; ++y) {
        const Tap& t = down[std::size_t(y)];
        blendRow(t, spans[std::size_t(t.lower)], spans[std::size_t(t.upper)], wide, width,
                 fine.data() + std::size_t(y) * std::size_t(width));
    }
    return fine;
}

} // namespace Tessarine::BoxBlur
