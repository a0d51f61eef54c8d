// A Qt header first: the tap and the report decoder must read the same after Qt's keyword
// macros (signals, slots, emit) as before them.
#include <QObject>

#include "app/devices/HIDTap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "support/HIDDescriptors.h"

using namespace Tessarine;
using namespace RorozErurEvo;
using Kind = ElementInfo::Kind;
using Role = ElementInfo::Role;

namespace {

struct Field {
    int page;
    int usage;
    std::int64_t min = 0;
    std::int64_t max = 255;
    int bits = 8;
    HIDElementType type = HIDElementType::input;
};

constexpr int desktop = 1;
constexpr int X = 0x30, Y = 0x31, Z = 0x32, Rx = 0x33, Ry = 0x34, Rz = 0x35, hat = 0x39;

// A descriptor as the parser would give it: cookies 1, 2, 3… and fields packed one after another.
HIDDescriptor describe(const std::vector<Field>& fields) {
    HIDDescriptor d;
    d.applications = {{1, 5}};
    int offset = 0;
    for (const auto& f : fields) {
        HIDElement e;
        e.type = f.type;
        e.cookie = static_cast<std::uint32_t>(d.elements.size() + 1);
        e.page = f.page;
        e.usage = f.usage;
        e.logicalMin = f.min;
        e.logicalMax = f.max;
        e.reportSize = f.bits;
        e.bitOffset = offset;
        e.isSigned = f.min < 0;
        offset += f.bits;
        d.elements.push_back(e);
    }
    return d;
}

// A report holding one value per element of `d`, in element order.
std::vector<std::uint8_t> report(const HIDDescriptor& d, const std::vector<std::int64_t>& values) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const HIDElement& e = d.elements[i];
        const auto v = static_cast<std::uint64_t>(values[i]);
        for (int b = 0; b < e.reportSize; ++b) {
            const std::size_t bit = static_cast<std::size_t>(e.bitOffset + b);
            if (bytes.size() <= bit / 8) bytes.resize(bit / 8 + 1);
            if ((v >> b) & 1) bytes[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
        }
    }
    return bytes;
}

HIDTap tapOf(const HIDDescriptor& d, const Clock& clock = Clock::system()) {
    return HIDTap(7, "/dev/hidraw4", DeviceInfo{"Pad"}, d, clock);
}

std::vector<std::string> names(const std::vector<ElementInfo>& elements) {
    std::vector<std::string> list;
    for (const auto& e : elements) list.push_back(e.name);
    return list;
}

const std::vector<Field> padFields = {{desktop, X}, {desktop, Y}, {desktop, Z}, {desktop, Rz}, {desktop, Rx},
                                      {desktop, Ry}, {desktop, hat, 0, 7, 4},   {9, 1, 0, 1, 1},
                                      {9, 2, 0, 1, 1}};

} // namespace

TEST(HIDTap, PadCatalogueWithTriggersHatButtonsAndDefaultSticks) {
    HIDTap tap = tapOf(describe(padFields));
    const auto& e = tap.elements();
    ASSERT_EQ(e.size(), 9u);
    EXPECT_EQ(names(e), (std::vector<std::string>{"X", "Y", "Z", "Rz", "Left trigger", "Right trigger", "Hat switch",
                                                  "Button 1", "Button 2"}));
    EXPECT_EQ(e[0].id, "e1");
    EXPECT_EQ(e[0].kind, Kind::axis);
    EXPECT_TRUE(e[0].analog);
    EXPECT_EQ(e[0].rangeText(), "0…255");
    EXPECT_EQ(e[4].kind, Kind::trigger);
    EXPECT_EQ(e[4].role, Role::leftTrigger);
    EXPECT_EQ(e[5].role, Role::rightTrigger);
    EXPECT_EQ(e[6].kind, Kind::dpad);
    EXPECT_EQ(e[6].role, Role::dpad);
    EXPECT_EQ(e[6].symbol, "dpad");
    EXPECT_TRUE(e[6].isHat);
    EXPECT_FALSE(e[6].analog);
    EXPECT_EQ(e[7].kind, Kind::button);
    EXPECT_EQ(e[7].id, "e8");
    EXPECT_EQ(tap.byID().at("e5").kind, Kind::trigger);
    EXPECT_EQ(tap.byID().at("e7").bits, 4);
    EXPECT_EQ(tap.node(), "/dev/hidraw4");
    EXPECT_EQ(tap.key(), 7u);

    EXPECT_EQ(tap.pairs(), (std::vector<StickPair>{{"pair-1", "Left stick", "e1", "e2", true, Role::leftStick},
                                                   {"pair-2", "Right stick", "e3", "e4", true, Role::rightStick}}));
}

TEST(HIDTap, CatalogueLeavesOutWhatCannotBeShownOrRead) {
    HIDTap tap = tapOf(describe({
        {desktop, X, 0, 255, 0},                      // no bits
        {desktop, Y, 0, 255, 33},                     // wider than 32 bits
        {desktop, 0},                                 // usage 0
        {desktop, Z, 5, 5},                           // empty range
        {desktop, Rz, 9, 3},                          // inverted range
        {desktop, Rx, 0, 255, 8, HIDElementType::output},
        {desktop, Ry, 0, 255, 8, HIDElementType::feature},
        {7, 4, 0, 1, 1},                              // keyboard page
        {0xFF00, 1},                                  // vendor page
        {desktop, 0x36, 0, 0xFFFFFFFF, 32},           // a slider of 32 bits stays
    }));
    ASSERT_EQ(tap.elements().size(), 1u);
    EXPECT_EQ(tap.elements()[0].id, "e10");
    EXPECT_EQ(tap.elements()[0].logicalMax, INT_MAX); // saturated, not wrapped to −1
    EXPECT_TRUE(tap.pairs().empty());
}

TEST(HIDTap, EqualNamesAreNumberedAndSticksFollowTheAxesPresent) {
    HIDTap sliders = tapOf(describe({{desktop, 0x36}, {2, 0xBB}, {desktop, 0x36}, {desktop, 0x36}}));
    EXPECT_EQ(names(sliders.elements()), (std::vector<std::string>{"Slider", "Throttle", "Slider (2)", "Slider (3)"}));

    // Without Z and Rz, Rx and Ry stay axes and make the right stick.
    HIDTap rxRy = tapOf(describe({{desktop, X}, {desktop, Y}, {desktop, Rx}, {desktop, Ry}}));
    EXPECT_EQ(rxRy.elements()[2].kind, Kind::axis);
    EXPECT_EQ(rxRy.pairs().at(1), (StickPair{"pair-2", "Right stick", "e3", "e4", true, Role::rightStick}));

    HIDTap xy = tapOf(describe({{desktop, X}, {desktop, Y}}));
    EXPECT_EQ(xy.pairs(), (std::vector<StickPair>{{"pair-1", "Stick", "e1", "e2", true, Role::leftStick}}));
    HIDTap zRz = tapOf(describe({{desktop, Z}, {desktop, Rz}}));
    EXPECT_EQ(zRz.pairs(), (std::vector<StickPair>{{"pair-2", "Stick", "e1", "e2", true, Role::rightStick}}));
}

TEST(HIDTap, WheelBrakeAndAcceleratorBecomeTriggers) {
    HIDTap tap = tapOf(HIDDescriptor::parse(HIDTestDescriptors::wheel));
    const auto& e = tap.elements();
    ASSERT_GE(e.size(), 3u);
    EXPECT_EQ(e[0].name, "X");
    EXPECT_EQ(e[0].logicalMax, 65535);
    EXPECT_EQ(e[1].name, "Right trigger"); // accelerator
    EXPECT_EQ(e[1].role, Role::rightTrigger);
    EXPECT_EQ(e[2].name, "Left trigger"); // brake
    EXPECT_EQ(e[2].kind, Kind::trigger);
    EXPECT_TRUE(tap.pairs().empty());
}

TEST(HIDTap, ReportsRecordAxesSticksHatsAndButtons) {
    const HIDDescriptor d = describe(padFields);
    HIDTap tap = tapOf(d);
    CaptureBuffer& buffer = *tap.capture();
    // X at its minimum, Y at its maximum, Z and Rz centred, hat up, button 1 held.
    tap.inputReport(report(d, {0, 255, 128, 128, 0, 0, 0, 1, 0}), 1.0);
    auto x = buffer.axes("e1", 0, 10);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_EQ(x[0].value, 0);
    EXPECT_EQ(x[0].raw, 0);
    auto left = buffer.sticks("pair-1", 0, 10);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].x, -1);
    EXPECT_EQ(left[0].y, -1); // Y at its logical maximum is down
    EXPECT_EQ(left[0].raw, (RawPoint{0, 255}));
    auto hatSamples = buffer.sticks("e7", 0, 10);
    ASSERT_EQ(hatSamples.size(), 1u);
    EXPECT_EQ(hatSamples[0].x, 0);
    EXPECT_EQ(hatSamples[0].y, 1);
    EXPECT_FALSE(hatSamples[0].raw);
    EXPECT_EQ(buffer.snapshot().pressed, (std::set<std::string>{"e8"}));
    EXPECT_EQ(buffer.rawValues("e2", 0, 10), (std::vector<int>{255}));

    // Hat released to its null state, button released; the unchanged axes record nothing new.
    tap.inputReport(report(d, {0, 255, 128, 128, 0, 0, 8, 0, 0}), 2.0);
    EXPECT_EQ(buffer.axes("e1", 0, 10).size(), 1u);
    EXPECT_EQ(buffer.stick("e7", 2.0)->x, 0);
    EXPECT_EQ(buffer.stick("e7", 2.0)->y, 0);
    EXPECT_EQ(buffer.events(0, 10), (std::vector<ButtonEvent>{{"e8", true, 1.0}, {"e8", false, 2.0}}));
}

TEST(HIDTap, ButtonsAnyNonZeroValueIsAPressAndSignedFieldsReadNegative) {
    const HIDDescriptor d = describe({{9, 1, 0, 1, 2}, {desktop, X, -127, 127, 8}, {desktop, Y, -127, 127, 8}});
    HIDTap tap = tapOf(d);
    tap.inputReport(report(d, {2, 0x81, 127}), 1.0);
    EXPECT_EQ(tap.capture()->snapshot().pressed, (std::set<std::string>{"e1"}));
    EXPECT_EQ(tap.capture()->axes("e2", 0, 10).at(0).raw, -127);
    EXPECT_EQ(tap.capture()->stick("pair-1", 1.0)->raw, (RawPoint{-127, 127}));
    tap.inputReport(report(d, {0, 0x81, 127}), 2.0);
    EXPECT_TRUE(tap.capture()->snapshot().pressed.empty());
}

TEST(HIDTap, TriggersRecordPressAndReleaseWithHysteresis) {
    const HIDDescriptor d = describe(padFields);
    HIDTap tap = tapOf(d);
    auto pull = [&](std::int64_t rx, double t) { tap.inputReport(report(d, {128, 128, 128, 128, rx, 0, 8, 0, 0}), t); };
    pull(0, 1.0);
    pull(120, 2.0);  // 0.47: not yet pressed
    pull(140, 3.0);  // 0.55: pressed
    pull(115, 4.0);  // 0.45: still pressed
    pull(90, 5.0);   // 0.35: released
    pull(200, 6.0);  // pressed again
    EXPECT_EQ(tap.capture()->events(0, 10), (std::vector<ButtonEvent>{{"e5", true, 3.0}, {"e5", false, 5.0},
                                                                       {"e5", true, 6.0}}));
    EXPECT_EQ(tap.capture()->axes("e5", 0, 10).size(), 6u); // the axis samples are all there
    EXPECT_EQ(tap.capture()->snapshot().presses.at("e5"), 2);
}

TEST(HIDTap, PairsNeedBothAxesAndFollowEdits) {
    const HIDDescriptor d = describe({{desktop, X}, {desktop, Y}, {desktop, Z}, {desktop, Rz}});
    FakeClock clock(50.0);
    HIDTap tap = tapOf(d, clock);
    // A short report carries X only: an axis sample, but no stick without Y.
    tap.inputReport(std::vector<std::uint8_t>{0x40}, 1.0);
    EXPECT_EQ(tap.capture()->axes("e1", 0, 10).size(), 1u);
    EXPECT_TRUE(tap.capture()->sticks("pair-1", 0, 100).empty());

    tap.inputReport(report(d, {0x40, 0x80, 0x00, 0xFF}), 2.0);
    ASSERT_EQ(tap.capture()->sticks("pair-1", 0, 100).size(), 1u);

    // An edited pair is recorded at once, at the clock's time; one naming an unknown element is not.
    const StickPair swapped{"pair-1", "Left stick", "e3", "e4", false, Role::leftStick};
    tap.setPairs({swapped, StickPair{"pair-9", "Hand-made", "e1", "e77", true, Role::other}});
    EXPECT_EQ(tap.pairs().size(), 2u);
    auto edited = tap.capture()->stick("pair-1", 100);
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->t, 50.0);
    EXPECT_EQ(edited->x, -1);
    EXPECT_EQ(edited->y, 1); // not inverted now
    EXPECT_TRUE(tap.capture()->sticks("pair-9", 0, 100).empty());

    // No pairs: no stick samples at all from then on.
    tap.setPairs({});
    const auto before = tap.capture()->sticks("pair-1", 0, 100).size();
    tap.inputReport(report(d, {0x10, 0x20, 0x30, 0x40}), 3.0);
    EXPECT_EQ(tap.capture()->sticks("pair-1", 0, 100).size(), before);
    EXPECT_TRUE(tap.capture()->sticks("pair-2", 3.0, 3.0).empty());
}
