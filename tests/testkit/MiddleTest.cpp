#include "testkit/Middle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "testkit/Fmt.h"
#include "testkit/OrderedValues.h"
#include "testkit/SeededRandom.h"

using namespace RorozErurEvo;

namespace {

template <class T> Stats::Middle<T> bySorting(std::vector<T> values) {
    std::sort(values.begin(), values.end(), Stats::Ascending{});
    return {values[(values.size() - 1) / 2], values[values.size() / 2]};
}

} // namespace

// Selection must land on exactly what a full sort gives, for both conventions, whatever the
// count's parity, ties and order; the sorted readers (an array, the ordered multiset) agree.
TEST(Middle, SelectionAgreesWithAFullSortForEveryCountAndBothConventions) {
    SeededRandom random(7);
    for (std::size_t n = 1; n <= 41; ++n) {
        std::vector<int> counts;
        std::vector<double> reals;
        OrderedValues ordered;
        for (std::size_t i = 0; i < n; ++i) {
            counts.push_back(static_cast<int>(random.next() % 9) - 4); // many ties
            reals.push_back(random.unit() * 10 - 5);
            ordered.insert(reals.back());
        }
        const auto expectedCounts = bySorting(counts);
        auto selected = counts;
        const auto middle = Stats::middleInPlace(selected);
        ASSERT_TRUE(middle);
        EXPECT_EQ(middle->lower, expectedCounts.lower) << n;
        EXPECT_EQ(middle->upper, expectedCounts.upper) << n;

        const auto expectedReals = bySorting(reals);
        auto copy = reals;
        EXPECT_EQ(Stats::medianInPlace(copy), expectedReals.mean()) << n;
        EXPECT_EQ(Stats::median(reals), expectedReals.mean()) << n;
        const auto fromOrdered = Stats::middleOfSorted(ordered.size(), [&](std::size_t k) { return ordered.at(k); });
        EXPECT_EQ(fromOrdered->lower, expectedReals.lower) << n;
        EXPECT_EQ(fromOrdered->upper, expectedReals.upper) << n;
    }
}

TEST(Middle, ConventionsForEvenCountsEmptySetsAndNaN) {
    std::vector<int> four{40, 10, 30, 20};
    const auto m = Stats::middleInPlace(four);
    EXPECT_EQ(m->lower, 20);
    EXPECT_EQ(m->upper, 30);   // the raw rest: a value really read
    EXPECT_EQ(m->mean(), 25.0); // the statistics' median
    std::vector<long long> none;
    EXPECT_FALSE(Stats::middleInPlace(none));
    EXPECT_FALSE(Stats::median({}));
    EXPECT_FALSE(Stats::middleOfSorted(0, [](std::size_t) { return 1.0; }));

    // The mean of two large counts must not overflow their type.
    std::vector<int> large{std::numeric_limits<int>::max(), std::numeric_limits<int>::max() - 2};
    EXPECT_EQ(Stats::middleInPlace(large)->mean(), std::numeric_limits<int>::max() - 1.0);

    // NaNs sort after every number: selecting among them stays inside the array and leaves the
    // numbers' order intact.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Stats::median({nan, 3, nan, 1, 2}), 3.0);
    EXPECT_EQ(Stats::median({nan, 1, 2}), 2.0);
    EXPECT_TRUE(std::isnan(*Stats::median({nan, nan, 1})));
    std::vector<double> many(1000, nan);
    many[500] = 4;
    EXPECT_TRUE(std::isnan(Stats::middleInPlace(many)->upper));
}

// The ordered multiset against a sorted vector while values come and go: values of every sign
// and size, many ties, values sharing a bucket, -0 taken for 0; erasing what is not there says so.
TEST(Middle, OrderedValuesFollowASortedCopyThroughInsertsAndErases) {
    SeededRandom random(11);
    OrderedValues ordered;
    std::vector<double> sorted;
    auto draw = [&]() -> double {
        switch (random.next() % 5) {
        case 0: return static_cast<double>(random.next() % 7) * 0.001;     // ties, and 0
        case 1: return 0.001 + static_cast<double>(random.next() % 50) * 1e-12; // one bucket
        case 2: return (random.unit() - 0.5) * 1e6;
        case 3: return std::ldexp(random.unit(), static_cast<int>(random.next() % 200) - 100);
        default: return -0.0;
        }
    };
    for (int step = 0; step < 4000; ++step) {
        if (!sorted.empty() && random.next() % 3 == 0) {
            const double v = sorted[random.next() % sorted.size()];
            ASSERT_TRUE(ordered.erase(v));
            sorted.erase(std::find(sorted.begin(), sorted.end(), v));
        } else {
            const double v = draw();
            ordered.insert(v);
            sorted.insert(std::upper_bound(sorted.begin(), sorted.end(), v), v);
        }
        ASSERT_EQ(ordered.size(), sorted.size());
        if (step % 97 != 0) continue;
        for (std::size_t k = 0; k < sorted.size(); ++k) ASSERT_EQ(ordered.at(k), sorted[k]) << k;
    }
    EXPECT_FALSE(ordered.erase(12345.678));
    EXPECT_FALSE(ordered.erase(std::numeric_limits<double>::quiet_NaN()));
    ordered.insert(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(ordered.size(), sorted.size()) << "not a number is never held";
}
