#pragma once
// Time order of recorded samples and events. Recordings are usually in order already, but the
// analyses never rely on it; a stable order keeps records that share a time in their log order.
// A time that is not a number sorts after every real time, so the comparison stays a strict
// weak order whatever a source wrote.
#include <algorithm>
#include <cmath>
#include <vector>

namespace RorozErurEvo {

namespace TimeOrder {
template <class T> bool before(const T& a, const T& b) {
    if (std::isnan(a.t) || std::isnan(b.t)) return !std::isnan(a.t) && std::isnan(b.t);
    return a.t < b.t;
}
} // namespace TimeOrder

template <class T> std::vector<T> sortedByTime(std::vector<T> records) {
    std::stable_sort(records.begin(), records.end(), TimeOrder::before<T>);
    return records;
}

// Calls visit(record) for each record in time order without copying the records; a log that
// is already in order (the usual case) is walked in place.
template <class T, class Visit> void forEachInTimeOrder(const std::vector<T>& records, Visit&& visit) {
    if (std::is_sorted(records.begin(), records.end(), TimeOrder::before<T>)) {
        for (const T& record : records)
            visit(record);
        return;
    }
    std::vector<const T*> order;
    order.reserve(records.size());
    for (const T& record : records)
        order.push_back(&record);
    std::stable_sort(order.begin(), order.end(),
                     [](const T* a, const T* b) { return TimeOrder::before(*a, *b); });
    for (const T* record : order)
        visit(*record);
}

} // namespace RorozErurEvo
