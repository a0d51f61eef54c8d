// Decoding one 64-byte game-pad input report into element values, and decoding it and
// recording every value into the device's capture buffer, as the HID thread does for every
// report a device sends (up to 8000 a second for a high-speed USB pad).
// Target: decode and record under 150 ns per report on a realistic stream, so eight pads at
// 8 kHz cost under 1 % of one core.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "app/devices/HIDTap.h"
#include "bench/PadStream.h"
#include "testkit/HIDDescriptor.h"
#include "testkit/HIDReportDecoder.h"

using namespace RorozErurEvo;

namespace {

const std::vector<std::uint8_t>& padDescriptor = PadStream::descriptor();

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

// The HID thread's whole work per report: decode, then record every changed catalogue value
// (raw log, axis samples, button events, the stick pairs) into the buffer. The stream is
// replayed in a loop at 8 kHz; its times keep rising, so logs trim as in a long run, and as no
// frame reads the raw trackers, they take in their raw logs here, before each trim.
void BM_DecodeAndRecordPadStream(benchmark::State& state) {
    Tessarine::HIDTap tap(1, "/dev/hidraw1", DeviceInfo{.name = "Pad"}, HIDDescriptor::parse(padDescriptor));
    const auto stream = PadStream::reports(8192);
    double t = 1000;
    std::size_t n = 0;
    for (auto _ : state) {
        tap.inputReport(stream[n++ & 8191], t);
        t += 1.0 / 8000;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeAndRecordPadStream);

} // namespace
