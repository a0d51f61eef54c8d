#pragma once
// A multiset of numbers that answers "the k-th smallest" while values come and go, at a cost
// that follows the number of distinct values held, not how many were ever put in: a soak run's
// rate intervals are millions of values but only as many distinct ones as the clock's
// resolution allows within the silences that count.
//
// Each distinct value is held once with its count, in a bucket chosen by the leading bits of
// its order-preserving 64-bit key: 4096 groups by sign and exponent, 4096 buckets per group by
// the next twelve bits. Counts per group and per bucket lead the k-th search to one bucket,
// whose values are kept sorted. Not a number is never held; -0 is held as 0.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace RorozErurEvo {

class OrderedValues {
public:
    OrderedValues();
    OrderedValues(OrderedValues&&) noexcept;
    OrderedValues& operator=(OrderedValues&&) noexcept;
    ~OrderedValues();

    std::size_t size() const { return count_; }

    // Ignores a value that is not a number.
    void insert(double v);
    // Removes one value equal to v; false when there is none.
    bool erase(double v);
    // The k-th smallest, counting from 0; k < size().
    double at(std::size_t k) const;

private:
    static constexpr std::size_t fanOut = 4096;
    struct Entry {
        double value;
        std::size_t count;
    };
    struct Group {
        std::array<std::size_t, fanOut> counts{};
        std::array<std::vector<Entry>, fanOut> buckets;
    };

    std::array<std::size_t, fanOut> groupCounts_{};
    std::vector<std::unique_ptr<Group>> groups_;
    std::size_t count_ = 0;
};

} // namespace RorozErurEvo
