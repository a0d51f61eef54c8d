#include "testkit/OrderedValues.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace RorozErurEvo {

namespace {

// The bits of a double turned so that unsigned order is numeric order.
std::uint64_t orderKey(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
}

std::size_t groupOf(std::uint64_t key) { return static_cast<std::size_t>(key >> 52); }
std::size_t bucketOf(std::uint64_t key) { return static_cast<std::size_t>((key >> 40) & 0xFFF); }

} // namespace

OrderedValues::OrderedValues() : groups_(fanOut) {}
OrderedValues::OrderedValues(OrderedValues&&) noexcept = default;
OrderedValues& OrderedValues::operator=(OrderedValues&&) noexcept = default;
OrderedValues::~OrderedValues() = default;

void OrderedValues::insert(double v) {
    if (std::isnan(v)) return;
    if (v == 0) v = 0; // -0 and 0 are one value
    const std::uint64_t key = orderKey(v);
    auto& group = groups_[groupOf(key)];
    if (!group) group = std::make_unique<Group>();
    const std::size_t b = bucketOf(key);
    auto& bucket = group->buckets[b];
    auto at = std::lower_bound(bucket.begin(), bucket.end(), v, [](const Entry& e, double x) { return e.value < x; });
    if (at != bucket.end() && at->value == v)
        ++at->count;
    else
        bucket.insert(at, Entry{v, 1});
    ++group->counts[b];
    ++groupCounts_[groupOf(key)];
    ++count_;
}

bool OrderedValues::erase(double v) {
    if (std::isnan(v)) return false;
    if (v == 0) v = 0;
    const std::uint64_t key = orderKey(v);
    auto& group = groups_[groupOf(key)];
    if (!group) return false;
    const std::size_t b = bucketOf(key);
    auto& bucket = group->buckets[b];
    auto at = std::lower_bound(bucket.begin(), bucket.end(), v, [](const Entry& e, double x) { return e.value < x; });
    if (at == bucket.end() || at->value != v) return false;
    if (--at->count == 0) bucket.erase(at);
    --group->counts[b];
    --groupCounts_[groupOf(key)];
    --count_;
    return true;
}

double OrderedValues::at(std::size_t k) const {
    for (std::size_t g = 0; g < fanOut; ++g) {
        if (k >= groupCounts_[g]) {
            k -= groupCounts_[g];
            continue;
        }
        const Group& group = *groups_[g];
        for (std::size_t b = 0; b < fanOut; ++b) {
            if (k >= group.counts[b]) {
                k -= group.counts[b];
                continue;
            }
            for (const Entry& entry : group.buckets[b]) {
                if (k < entry.count) return entry.value;
                k -= entry.count;
            }
        }
    }
    return 0;
}

} // namespace RorozErurEvo
