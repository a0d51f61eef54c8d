#pragma once
// Time order of recorded samples and events. Recordings are usually in order already, but the
// analyses never rely on it; a stable sort keeps records that share a time in their log order.
// A time that is not a number sorts after every real time, so the comparison stays a strict
// weak order whatever a source wrote.
#include <algorithm>
#include <cmath>
#include <vector>

namespace RorozErurEvo {

template <class T> std::vector<T> sortedByTime(std::vector<T> records) {
    std::stable_sort(records.begin(), records.end(), [](const T& a, const T& b) {
        if (std::isnan(a.t) || std::isnan(b.t)) return !std::isnan(a.t) && std::isnan(b.t);
        return a.t < b.t;
    });
    return records;
}

} // namespace RorozErurEvo
