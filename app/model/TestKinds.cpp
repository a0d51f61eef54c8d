// The table of the test kinds: each family's records, then the kinds that neither the phase
// machine nor the finishing step drives.
#include "app/model/TestKinds.h"

#include <array>
#include <vector>


namespace Tessarine::TestKinds {

using RorozErurEvo::TestKind;

namespace {

// The checks a person answers: their result comes from the checklist, not from a recording.
// The rest have runners of their own (axis checks, the testers, the soak test) and, if started
// here, end by a cancel or as "not run".
constexpr Record otherRecords[] = {
    {.kind = TestKind::rumble, .manual = true},   {.kind = TestKind::lights, .manual = true},
    {.kind = TestKind::adaptiveTriggers, .manual = true},
    {.kind = TestKind::axisNoise},                {.kind = TestKind::reportRate},
    {.kind = TestKind::keyboard},                 {.kind = TestKind::mouse},
    {.kind = TestKind::soak},
};

constexpr std::size_t kindCount = RorozErurEvo::EnumTable<TestKind>::entries.size();

std::size_t slot(TestKind kind) { return static_cast<std::size_t>(kind); }

} // namespace

std::span<const Record> all() {
    static const std::vector<Record> records = [] {
        std::vector<Record> list;
        for (auto family : {stickRecords(), buttonRecords(), axisRecords(), sensorRecords(),
                            std::span<const Record>(otherRecords)})
            list.insert(list.end(), family.begin(), family.end());
        return list;
    }();
    return records;
}

const Record& record(TestKind kind) {
    static const std::array<Record, kindCount> byKind = [] {
        std::array<Record, kindCount> table{};
        for (std::size_t i = 0; i < kindCount; ++i) table[i].kind = static_cast<TestKind>(i);
        for (const Record& r : all())
            if (slot(r.kind) < kindCount) table[slot(r.kind)] = r;
        return table;
    }();
    static const Record none{};
    return slot(kind) < kindCount ? byKind[slot(kind)] : none;
}

} // namespace Tessarine::TestKinds
