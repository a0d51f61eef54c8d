#pragma once
// Touchpad: the user drags one finger, then two, over the whole surface. The surface is cut into
// a grid of cells; the test judges the share of cells touched and how many fingers were seen.
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/Samples.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo::TouchpadAnalysis {

inline constexpr int columns = 8; // grid columns across the surface
inline constexpr int rows = 4;    // grid rows down the surface

// Cell of a touch, 0 to 31, counted along the rows. Positions outside −1…1 land in the border
// cells; a coordinate that is not a number counts as the lowest column or row.
int cell(const TouchSample& touch);

// Share of the cells touched, 0 to 1. Touches whose position is not finite are left out.
double coverage(const std::vector<TouchSample>& touches);

TestResult result(const std::vector<TouchSample>& touches, const std::string& element, ValueSource source, Date date);

} // namespace RorozErurEvo::TouchpadAnalysis
