// Decoding one 64-byte game-pad input report into element values, as the HID thread does for
// every report a device sends (up to 1000 a second for a wired pad). Target: under 1 µs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "testkit/HIDDescriptor.h"
#include "testkit/HIDReportDecoder.h"

using namespace RorozErurEvo;

namespace {

// A common layout of a 64-byte pad report: report id 1; X, Y, Z, Rz; a hat, 14 buttons and a
// 6-bit counter; two analogue triggers Rx and Ry; then 54 bytes of vendor data (motion, touch).
const std::vector<std::uint8_t> padDescriptor = {
    0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x85, 0x01,
    0x09, 0x30, 0x09, 0x31, 0x09, 0x32, 0x09, 0x35, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x04,
    0x81, 0x02,
    0x09, 0x39, 0x15, 0x00, 0x25, 0x07, 0x75, 0x04, 0x95, 0x01, 0x81, 0x42,
    0x05, 0x09, 0x19, 0x01, 0x29, 0x0E, 0x25, 0x01, 0x75, 0x01, 0x95, 0x0E, 0x81, 0x02,
    0x06, 0x00, 0xFF, 0x09, 0x20, 0x75, 0x06, 0x95, 0x01, 0x25, 0x3F, 0x81, 0x02,
    0x05, 0x01, 0x09, 0x33, 0x09, 0x34, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02,
    0x06, 0x00, 0xFF, 0x09, 0x21, 0x95, 0x36, 0x81, 0x02,
    0xC0,
};

std::vector<std::uint8_t> report(std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(64);
    bytes[0] = 0x01;
    for (std::size_t i = 1; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 37);
    return bytes;
}

// Every report differs from the one before in every byte, the worst case: every element changes.
void BM_DecodeChangingPadReport(benchmark::State& state) {
    HIDDescriptor descriptor = HIDDescriptor::parse(padDescriptor);
    HIDReportDecoder decoder(descriptor);
    std::vector<HIDReportDecoder::Value> changed;
    const std::vector<std::uint8_t> reports[2] = {report(1), report(2)};
    std::size_t n = 0;
    for (auto _ : state) {
        decoder.decode(reports[n++ & 1], changed);
        benchmark::DoNotOptimize(changed.data());
    }
    state.counters["elements"] = static_cast<double>(descriptor.elements.size());
}
BENCHMARK(BM_DecodeChangingPadReport);

// A pad at rest: the same report again, nothing changes.
void BM_DecodeRestingPadReport(benchmark::State& state) {
    HIDDescriptor descriptor = HIDDescriptor::parse(padDescriptor);
    HIDReportDecoder decoder(descriptor);
    std::vector<HIDReportDecoder::Value> changed;
    const std::vector<std::uint8_t> bytes = report(1);
    for (auto _ : state) {
        decoder.decode(bytes, changed);
        benchmark::DoNotOptimize(changed.data());
    }
}
BENCHMARK(BM_DecodeRestingPadReport);

} // namespace
