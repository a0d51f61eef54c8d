#pragma once
// The middle of a set of values, the one home of every median and rest value in the system.
// Callers differ only in what they take for an even count: the statistics take the mean of the
// two middle values, the raw rest values the upper one (a reading the device really sent).
// Both come from one selection, so each caller states its convention where it reads the result.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <type_traits>
#include <vector>

namespace RorozErurEvo::Stats {

// Ascending order with NaNs after every number. Plain < is no strict weak ordering once a NaN
// is present, and sorting or selecting with it may read past the array.
struct Ascending {
    template <class T>
    bool operator()(const T& a, const T& b) const {
        if constexpr (std::is_floating_point_v<T>) {
            if (std::isnan(a)) return false;
            if (std::isnan(b)) return true;
        }
        return a < b;
    }
};

// The two middle values of a set in ascending order: the elements at (n − 1) / 2 and n / 2.
// For an odd count both are the middle element.
template <class T>
struct Middle {
    T lower;
    T upper;
    // The median of the statistics: the middle value, or the mean of the two middle ones.
    double mean() const { return (static_cast<double>(lower) + static_cast<double>(upper)) / 2; }
};

// The middle of values already in ascending order, read through kth(k) for the k-th smallest of
// `count` values (a sorted array, an ordered multiset); absent for no values.
template <class Kth>
auto middleOfSorted(std::size_t count, Kth kth) -> std::optional<Middle<decltype(kth(std::size_t{}))>> {
    if (count == 0) return std::nullopt;
    return Middle<decltype(kth(std::size_t{}))>{kth((count - 1) / 2), kth(count / 2)};
}

// The middle of unordered values, found by selection rather than a full sort; the values are
// reordered. Absent for no values.
template <class T>
std::optional<Middle<T>> middleInPlace(std::vector<T>& values) {
    if (values.empty()) return std::nullopt;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end(), Ascending{});
    if (values.size() % 2 == 1) return Middle<T>{*middle, *middle};
    // Selection leaves every smaller value before the middle; the largest of them is the lower one.
    return Middle<T>{*std::max_element(values.begin(), middle, Ascending{}), *middle};
}

// The median of the statistics, selected in place: the middle value, or the mean of the two
// middle ones; absent for no values.
template <class T>
std::optional<double> medianInPlace(std::vector<T>& values) {
    const auto middle = middleInPlace(values);
    if (!middle) return std::nullopt;
    return middle->mean();
}

} // namespace RorozErurEvo::Stats
