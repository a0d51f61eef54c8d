#pragma once
// One open raw HID device as the bench sees it: its identity, the catalogue of its input
// elements, the stick pairs that join two axes into a stick, and the recording of every
// reported value into the device's capture buffer.
//
// Threads: built and fed reports on the HID thread; setPairs() and pairs() come from the main
// thread. `lock` guards the pairs and the latest axis values; everything else is fixed when the
// tap is built. The lock is never held while writing to the buffer.
//
// A report costs one hold of the buffer's lock (a very wide one a hold per valuesPerHold
// values): its values are published to `last_` (atomics, read by the main thread's pair
// recording) and recorded under the buffer's lock in one Batch, with every element's buffer slot,
// its logs' first storage and the stick pairs it feeds resolved beforehand (the pairs again only
// after setPairs()). What is recorded is exactly what record() records for each value in turn.
#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/devices/CaptureBuffer.h"
#include "app/base/Clock.h"
#include "app/devices/ElementInfo.h"
#include "app/base/ThreadSafety.h"
#include "testkit/AxisScale.h"
#include "testkit/DeviceInfo.h"
#include "testkit/HIDDescriptor.h"
#include "testkit/HIDReportDecoder.h"

namespace Tessarine {

class HIDTap {
public:
    // What a value needs to be recorded.
    struct Meta {
        std::string id;
        ElementInfo::Kind kind = ElementInfo::Kind::axis;
        std::int64_t min = 0;
        std::int64_t max = 0;
        int bits = 0; // report size
        friend bool operator==(const Meta&, const Meta&) = default;
    };

    // `key` is the monitor's device key, `node` the device node it reads. `startingReports` are
    // the device's current input reports, as read() gives them, when it answered a request for
    // them: their values are recorded at once, so the buffer starts with the resting state.
    HIDTap(std::uint64_t key, std::string node, RorozErurEvo::DeviceInfo info,
           const RorozErurEvo::HIDDescriptor& descriptor, const Clock& clock = Clock::system(),
           std::span<const std::vector<std::uint8_t>> startingReports = {});
    HIDTap(const HIDTap&) = delete;
    HIDTap& operator=(const HIDTap&) = delete;

    std::uint64_t key() const { return key_; }
    const std::string& node() const { return node_; }
    const RorozErurEvo::DeviceInfo& info() const { return info_; }
    const std::vector<ElementInfo>& elements() const { return elements_; }
    const std::shared_ptr<CaptureBuffer>& capture() const { return capture_; }
    const std::map<std::string, Meta>& byID() const { return byID_; }
    std::vector<StickPair> pairs() const;

    // One input report as read from the device, at time t (seconds of uptime). HID thread.
    void inputReport(std::span<const std::uint8_t> report, double t);
    // Values of one report written under one hold of the buffer's lock: a report of more (only
    // a device with hundreds of elements sends one, its first above all) is written in several
    // holds, and a frame reading the buffer waits behind one of them at the most.
    static constexpr std::size_t valuesPerHold = 1024;
    // Records one sign-extended value of an element.
    void record(const Meta& meta, std::int64_t value, double t);
    // Records a stick pair from its axes' latest values; nothing until both have reported.
    void recordPair(const StickPair& pair, double t);
    // Replaces the pairs and records each at once, so an edited stick shows where it is. Main thread.
    void setPairs(std::vector<StickPair> pairs);

    // "Left stick" from X/Y and "Right stick" from Z/Rz or else Rx/Ry; a single pair is "Stick".
    static std::vector<StickPair> defaultPairs(const std::vector<ElementInfo>& elements);

private:
    // What the HID thread needs to record one catalogue element.
    struct Recorder {
        Meta meta;
        CaptureBuffer::Slot slot = 0;
        std::size_t index = 0;           // catalogue index: into last_ and pairsOf_
        bool keepsLast = false;          // an axis or trigger, whose value the pairs read
        // An axis's unit and centred value for every count of its logical range, when the range
        // is small (every 8- and 10-bit axis): the very numbers AxisScale computes, looked up
        // instead of divided out for each report. Axes of one range share one table, so that a
        // device of thousands of axes holds a few tables, not thousands.
        std::shared_ptr<const std::vector<std::array<double, 2>>> scaled;
        std::array<double, 2> scale(std::int64_t value) const {
            if (scaled && value >= meta.min && static_cast<std::uint64_t>(value - meta.min) < scaled->size())
                return (*scaled)[static_cast<std::size_t>(value - meta.min)];
            return {RorozErurEvo::AxisScale::unit(value, meta.min, meta.max),
                    RorozErurEvo::AxisScale::centered(value, meta.min, meta.max)};
        }
    };
    // A stick pair with its axes resolved, for the HID thread.
    struct ResolvedPair {
        CaptureBuffer::Slot slot = 0;
        std::size_t x = 0, y = 0;        // catalogue indices
        bool invertY = false;
    };

    static constexpr std::size_t prefetchAhead = 16; // values
    std::optional<std::size_t> indexOf(const std::string& id) const;
    // Writes changed_[from, to) under the batch's hold.
    void writeValues(CaptureBuffer::Batch& batch, std::size_t from, std::size_t to, double t);
    // Rebuilds resolved_ and pairsOf_ from a copy of the pairs. HID thread.
    void resolve(const std::vector<StickPair>& pairs);
    // A recorder per catalogue element (elements_, from the descriptor elements `sources`), with
    // its buffer slot and logs prepared.
    void makeRecorders(const RorozErurEvo::HIDDescriptor& descriptor, const std::vector<std::size_t>& sources);

    const std::uint64_t key_;
    const std::string node_;
    const RorozErurEvo::DeviceInfo info_;
    const Clock& clock_;
    std::vector<ElementInfo> elements_;
    std::shared_ptr<CaptureBuffer> capture_ = std::make_shared<CaptureBuffer>();
    std::vector<Recorder> recorders_;                 // one per catalogue element
    // Descriptor element index → catalogue index, notCatalogued for the elements left out.
    static constexpr std::uint32_t notCatalogued = UINT32_MAX;
    std::vector<std::uint32_t> catalogueIndex_;
    std::map<std::string, Meta> byID_;
    std::unordered_map<std::string, std::size_t> indexByID_;
    RorozErurEvo::HIDReportDecoder decoder_;      // HID thread only
    std::vector<RorozErurEvo::HIDReportDecoder::Value> changed_; // HID thread only

    // HID thread only: the resolved pairs, the pairs each element feeds and the latest axis
    // values (the same as last_, without the lock).
    std::vector<ResolvedPair> resolved_;
    std::vector<std::vector<std::size_t>> pairsOf_;
    std::vector<std::optional<std::int64_t>> lastLocal_;
    std::vector<double> centered_; // the centred value of lastLocal_, for the pairs
    std::uint64_t resolvedVersion_ = 0;

    mutable Mutex lock_;
    std::vector<StickPair> pairs_ GUARDED_BY(lock_);
    std::atomic<std::uint64_t> pairsVersion_{1};      // counts replacements of pairs_
    // Latest value per catalogue index, axes and triggers only; noValue until the first.
    static constexpr std::int64_t noValue = INT64_MIN;
    std::unique_ptr<std::atomic<std::int64_t>[]> last_;
};

} // namespace Tessarine
