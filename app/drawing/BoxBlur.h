#pragma once
// A blur close to a Gaussian from three box blurs along each axis, over planes of pixels held
// row after row: one byte a pixel (the coverage of a single-colour effect) or four (premultiplied
// colour, each channel on its own). Values beyond the edges count as 0. A wide blur can be
// computed on a coarser grid and enlarged again with no visible difference: `reduction` tells how
// coarse, `reducedSigma` what is left to blur there (with `gaussian`), `enlarge` brings the plane
// back.
#include <cstdint>
#include <functional>
#include <vector>

namespace Tessarine::BoxBlur {

// Whether a caller reads any of the blurred values within columns x0 … x1 − 1 and rows
// y0 … y1 − 1 of the plane (a window that may reach past its edges). A blur told of it may leave
// the values no one reads as they were, unblurred; an empty one asks for every value.
using Wanted = std::function<bool(int x0, int x1, int y0, int y1)>;

// Whether every value of a `width` × `height` plane within columns x0 … x1 − 1 and rows
// y0 … y1 − 1 equals `value`, the window clipped to the plane; beyond the plane's edges values
// count as 0.
bool uniform(const std::uint8_t* plane, int width, int height, int x0, int x1, int y0, int y1, std::uint8_t value);

// Blurs in place with a standard deviation of `sigma` pixels; a sigma not above 0 (or not a
// number) leaves the plane as it is.
void blur(std::vector<std::uint8_t>& plane, int width, int height, double sigma, const Wanted& wanted = {});
void blur(std::vector<std::uint32_t>& pixels, int width, int height, double sigma);

// A true Gaussian of `sigma` pixels, for the small planes of a coarse grid, where the three boxes'
// whole widths would be too rough.
void gaussian(std::vector<std::uint8_t>& plane, int width, int height, double sigma, const Wanted& wanted = {});

// The whole number of pixels a side of a coarse pixel may span for a blur of `sigma` while the
// blur left on the coarse grid stays wide enough (2.5 coarse pixels or more) to enlarge smoothly.
int reduction(double sigma);
// The blur to apply on a grid `factor` times coarser so that, with the averaging into coarse
// pixels and the linear enlargement, the whole spreads as far as a blur of `sigma` fine pixels.
double reducedSigma(double sigma, int factor);

// A `width` × `height` plane from a coarse one of `coarseWidth` × `coarseHeight` whose pixel i
// covers fine pixels i·factor … (i + 1)·factor − 1, interpolated linearly between coarse pixel
// centres (the outermost ones carry on flat).
std::vector<std::uint8_t> enlarge(const std::vector<std::uint8_t>& coarse, int coarseWidth, int coarseHeight,
                                  int factor, int width, int height);

} // namespace Tessarine::BoxBlur
