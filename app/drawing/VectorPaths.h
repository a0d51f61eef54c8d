#pragma once
// Which vector instructions the blurs and blends take: the widest the processor has (256-bit
// with AVX2, 128-bit with SSE2, which every x86-64 processor has) or the plain loops. Every path
// gives the plain loops' results exactly; the tests force each in turn to hold it to that.
namespace Tessarine::VectorPaths {

enum class Width { plain = 0, bits128 = 128, bits256 = 256 };

// The widest the processor has.
Width widest();
// The widest the blurs and blends take: the processor's widest, unless a test narrowed it.
Width current();
inline bool use128() { return current() >= Width::bits128; }
inline bool use256() { return current() >= Width::bits256; }

// For tests: from now on the blurs and blends take no path wider than `width`, nor wider than
// the processor has; force(widest()) undoes it. Returns whether the processor has `width`.
bool force(Width width);

} // namespace Tessarine::VectorPaths
