#pragma once
// The record of everything one device reported, as time-stamped samples.
//
// Sources write from their own threads (a controller's SDL thread, the HID thread, the main
// thread for the demo); the model, runners and views read on the main thread. One mutex per
// buffer guards everything; every operation holds it for its own run only and never calls out
// while holding it. Queries hand out copies, so results stay valid after the lock is released.
//
// Plain C++ on purpose (no Qt), so the sanitizers see every line of it.
//
// Everything kept of one element key (its stick, axis and raw logs, its raw tracker, its button
// state) lives in one record reached through a slot number. A source that writes many values
// per report (a raw HID device: up to 8,000 reports a second, each with a dozen values) looks
// its slots up once and writes a whole report under one hold of the lock with a Batch.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "app/devices/ElementInfo.h"
#include "app/base/ThreadSafety.h"
#include "testkit/AxisTracker.h"
#include "testkit/AxisTrackerLive.h"
#include "testkit/Samples.h"
#include "testkit/StickGeometry.h"

namespace Tessarine {

class CaptureBuffer {
public:
    using RawCount = decltype(RorozErurEvo::TriggerSample::raw)::value_type;

    // The latest state of every element, for live display.
    struct Snapshot {
        std::map<std::string, RorozErurEvo::StickSample> sticks;  // latest sample per stick element
        std::map<std::string, RorozErurEvo::TriggerSample> axes;  // latest sample per axis or trigger element
        std::set<std::string> pressed;              // buttons currently held
        std::map<std::string, int> presses;         // presses per button since creation or resetPresses()
        std::optional<RorozErurEvo::MotionSample> motion;
        std::map<int, RorozErurEvo::TouchSample> touches;         // per finger currently on the surface
        double lastEvent = 0;                       // seconds; newest stick, axis or button record

        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };

    // One raw HID value with its time (seconds).
    struct RawEntry {
        double t;
        int v;
        friend bool operator==(const RawEntry&, const RawEntry&) = default;
    };

    // Every log keeps at most this many entries after any operation...
    static constexpr std::size_t maxEntries = 150'000;
    // ...and is cut back to this many newest entries when it would exceed it.
    static constexpr std::size_t keptEntries = 100'000;

    // Besides the entry limits, every log keeps only its recent span, seconds back from its
    // newest entry: an append drops the entries older than that, except the newest of them,
    // which is still the value at the span's start. So a window, or the value at a time, that
    // lies within the span is answered exactly as from the whole log (the entry limits
    // allowing), and every log fills within its span whatever its rate (at the demo's 8 ms a
    // log takes 20 minutes to reach its entry limit, one written on change alone hours). Each
    // span is several times the longest stretch its readers ask for:
    //   sticks: the stick tests (snapback up to 60 s, circularity 45 s, drift 2 s plus the
    //           drift test length, 5 s unless changed), the batch drift run, the trail (4 s at
    //           most) and the value at a test's start;
    static constexpr double stickSpan = 300;
    //   axes: the trigger test (up to 20 s) and a trigger's value at a test's start;
    static constexpr double axisSpan = 300;
    //   raw values: the axis sweep (45 s), pedal (20 s) and centre tests and the raw view's
    //           axis checks (a rest and a sweep of a few seconds each);
    static constexpr double rawSpan = 300;
    //   motion: the motion test (under 8 s), the motion graph (4 s) and the soak runner, which
    //           reads what came since its previous frame;
    static constexpr double motionSpan = 300;
    //   touches: the touchpad test (up to 40 s) and its trace;
    static constexpr double touchSpan = 300;
    //   stamps: the soak runner (since its previous frame) and the raw view's rate (1 s);
    static constexpr double stampSpan = 300;
    //   button events: the buttons test, which has no time limit and ends when every button
    //           has come, and the hold test (25 s); kept longest, as they are few.
    static constexpr double eventSpan = 1800;
    // Length of each raw tracker's recent window, seconds.
    static constexpr double rawTrackerWindow = 1.0;

    // A device's whole capture memory stays under this many bytes. Every log and raw history
    // is counted at its largest (the entry limits above; a raw element's recent history at two
    // windows of 8,000 values a second with room for its live figures), and a pad, wheel or
    // flight stick with every log full stays well below it (a pad with two dozen elements: about
    // 150 MB), so it keeps exactly what the limits above say. Only a device with thousands of
    // elements (16,383 axes in one report: 1.5 MB a report) reaches it: then every log and raw
    // history of that device keeps the same smaller share of its limit, oldest entries dropped
    // first, so that the whole stays under the budget however long the device floods.
    static constexpr std::size_t deviceByteBudget = std::size_t{512} << 20;
    // Entries counted per raw history at its largest, and bytes per entry with its live figures.
    static constexpr std::size_t rawHistoryEntries = 16'000;
    static constexpr std::size_t rawHistoryEntryBytes = 64;
    // No log is cut below this many entries, and no raw tracker's history below the next,
    // whatever the share.
    static constexpr std::size_t minimumEntries = 16;
    static constexpr std::size_t minimumHistoryEntries = 4;

    // An element key resolved once, for the Batch writers.
    using Slot = std::uint32_t;

    // Analogue triggers read as pressed above this travel and as released below the next, so
    // that noise near the threshold does not read as chatter (unit fractions of travel).
    static constexpr double triggerPressAbove = 0.5;
    static constexpr double triggerReleaseBelow = 0.4;

    // `byteBudget` is deviceByteBudget unless a test wants a smaller one.
    explicit CaptureBuffer(std::size_t byteBudget = deviceByteBudget);
    CaptureBuffer(const CaptureBuffer&) = delete;
    CaptureBuffer& operator=(const CaptureBuffer&) = delete;

    // Writers (any thread).
    void recordStick(const std::string& key, double x, double y, std::optional<RorozErurEvo::RawPoint> raw, double t);
    void recordAxis(const std::string& key, double value, std::optional<RawCount> raw, double t);
    void recordButton(const std::string& key, bool down, double t);
    // A trigger's travel as a press or release of the same key: pressed above
    // triggerPressAbove, released below triggerReleaseBelow, unchanged in between. Every source
    // records triggers this way, because the buttons test expects them among the buttons.
    void recordTriggerPress(const std::string& key, double travel, double t);
    void recordMotion(const RorozErurEvo::MotionSample& sample);
    void recordTouch(const RorozErurEvo::TouchSample& sample);
    void liftTouch(int finger);
    void recordRaw(const std::string& key, int value, double t);

    // The slot of an element key, made on first use; slots stay valid for the buffer's life.
    Slot slot(const std::string& key);
    // Makes the first storage of the logs the writers of each slot will begin (Batch::raw, axis,
    // stick), for all the slots at once and in their order: a device's first report, which
    // begins a log for every one of its elements, then allocates nothing while it holds the lock
    // and finds their storage together in memory.
    enum Begins : unsigned { rawLog = 1, axisLog = 2, stickLog = 4 };
    struct FirstLogs {
        Slot slot;
        unsigned begins; // Begins
    };
    void prepare(const std::vector<FirstLogs>& slots);

    // The writers above for slots, all under one hold of the lock: one report, one lock.
    // Each does exactly what the writer of the same name does for the slot's key.
    class Batch {
    public:
        explicit Batch(CaptureBuffer& buffer) : buffer_(buffer), guard_(buffer.lock) {}
        ~Batch() {
            buffer_.lock.assertHeld();
            buffer_.flushStamps();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // A batch holds the buffer's lock from its construction to its end.
        void stick(Slot slot, double x, double y, const std::optional<RorozErurEvo::RawPoint>& raw, double t) {
            buffer_.lock.assertHeld();
            buffer_.writeStick(*buffer_.bySlot_[slot], x, y, raw.has_value(), raw ? raw->x : 0, raw ? raw->y : 0, t);
        }
        void axis(Slot slot, double value, const std::optional<RawCount>& raw, double t) {
            buffer_.lock.assertHeld();
            buffer_.writeAxis(*buffer_.bySlot_[slot], value, raw.has_value(), raw.value_or(0), t);
        }
        void button(Slot slot, bool down, double t) {
            buffer_.lock.assertHeld();
            buffer_.writeButton(*buffer_.bySlot_[slot], down, t);
        }
        void triggerPress(Slot slot, double travel, double t) {
            if (travel > triggerPressAbove) button(slot, true, t);
            else if (travel < triggerReleaseBelow) button(slot, false, t);
        }
        void raw(Slot slot, int value, double t) {
            buffer_.lock.assertHeld();
            buffer_.writeRaw(*buffer_.bySlot_[slot], value, t);
        }
        // Fetches what writing to a slot touches of its element, ahead of writing it.
        void prefetch(Slot slot) const {
            buffer_.lock.assertHeld();
            const Element* e = buffer_.bySlot_[slot];
            for (const char* at = reinterpret_cast<const char*>(e); at <= reinterpret_cast<const char*>(&e->pressed);
                 at += 64)
                __builtin_prefetch(at, 1);
        }

    private:
        CaptureBuffer& buffer_;
        MutexLock guard_;
    };

    // Resets (main thread).
    void resetRawRange();
    void resetPresses();

    // Queries. Windows are closed at both ends; results keep log order (oldest first).
    std::vector<RorozErurEvo::StickSample> sticks(const std::string& key, double from, double to) const;
    std::optional<RorozErurEvo::StickSample> stick(const std::string& key, double time) const;
    std::vector<RorozErurEvo::TriggerSample> axes(const std::string& key, double from, double to) const;
    std::optional<RorozErurEvo::TriggerSample> axis(const std::string& key, double time) const;
    std::vector<RorozErurEvo::ButtonEvent> events(double from, double to) const;
    std::vector<RorozErurEvo::MotionSample> motion(double from, double to) const;
    std::vector<RorozErurEvo::TouchSample> touches(double from, double to) const;
    std::vector<double> stamps(double from, double to) const;
    std::vector<int> rawValues(const std::string& key, double from, double to) const;
    // The tail of the key's stick log after the newest sample older than now - seconds.
    std::vector<RorozErurEvo::StickSample> trail(const std::string& key, double seconds, double now) const;
    // The same trail kept up to date frame after frame: the samples logged since the last call
    // are appended and those that fell out of it are dropped from the front, so a frame costs
    // what changed rather than a copy of the whole trail (1.5 s at 8 kHz: 12,000 samples).
    // Anything the moving window cannot follow (a log back in time, `now` going back, samples
    // trimmed unseen) is answered by a fresh copy. Returns whether the trail changed.
    struct TrailCursor {
        std::uint64_t seen = 0;   // log entries appended before this count are in the trail or past
        double cutoff = 0;        // now - seconds of the previous call
        bool following = false;
    };
    bool followTrail(const std::string& key, double seconds, double now, std::deque<RorozErurEvo::StickSample>& trail,
                     TrailCursor& cursor) const;
    Snapshot snapshot() const;
    std::map<std::string, RorozErurEvo::AxisTracker> rawTrackers() const;
    // Every raw element's live figures at `now`: value, range, jitter and report rate over the
    // tracker's window, as from the trackers, kept up to date without copying the histories.
    // Main thread; `now` is expected not to go back (it may, at the cost of a full pass).
    // `stampResolution`: seconds per step of the clock that stamped the values (0 for a fine one).
    std::map<std::string, RawLive> rawLive(double now, double stampResolution = 0);
    // Bytes the logs and raw histories hold now (their reserved storage).
    std::size_t memoryBytes() const;

private:
    // The current entry limits of every log, the same for all of them: the full limits above
    // until the device's logs at their largest would pass its budget.
    struct Limits {
        std::size_t most = maxEntries;
        std::size_t kept = keptEntries;
        std::size_t rawHistory = SIZE_MAX; // entries of a raw tracker's history
    };

    // A log that remembers whether its times never went backwards, so that a window over the
    // usual in-order log is two binary searches and one block copy instead of a full scan.
    // Once full it is a ring: a trim drops the oldest entries by moving the start, never by
    // moving the entries, so the writers never pay for copying a whole log.
    //
    // Its bookkeeping fills one cache line: a report writes to a dozen logs, and a wide device's
    // first report to a log or two of every element.
    template <class T> class Log {
    public:
        Log() = default;
        Log(const Log&) = delete;
        Log& operator=(const Log&) = delete;
        // Inline, with the writers below: a raw HID report makes a dozen appends, and a sample
        // handed through calls by value costs more than the append itself.
        void append(const T& item, const Limits& limits) {
            appendWith(timeOf(item), limits, [&item](T& entry) { entry = item; });
        }
        // The same, calling `beforeDrop` before any entry leaves the log (a trim or the span).
        template <class BeforeDrop> void append(const T& item, const Limits& limits, BeforeDrop beforeDrop) {
            appendWith(timeOf(item), limits, [&item](T& entry) { entry = item; }, beforeDrop);
        }
        // Appends an entry at time t that `fill` writes in place.
        template <class Fill> void appendWith(double t, const Limits& limits, Fill fill) {
            appendWith(t, limits, fill, [] {});
        }
        template <class Fill, class BeforeDrop>
        void appendWith(double t, const Limits& limits, Fill fill, BeforeDrop beforeDrop) {
            // The newest time and the second oldest are kept beside the ring, so that neither
            // test below reaches into the storage.
            if (ordered && !(newestTime <= t) && (count > 0 || t != t)) ordered = false;
            T& entry = place(limits);
            fill(entry);
            newestTime = t;
            if (++count == 2) secondTime = t;
            ++total;
            if (count > limits.most) {
                beforeDrop();
                trim(limits);
            }
            // The oldest entry goes once the next one is also before the span: the newest entry
            // before the span's start stays, as the value there.
            const double cutoff = t - span();
            if (count > 1 && secondTime < cutoff && std::isfinite(cutoff)) {
                beforeDrop();
                dropBefore(cutoff);
            }
        }
        std::size_t size() const { return count; }
        bool inOrder() const { return ordered; }
        std::uint64_t appended() const { return total; } // entries ever appended
        const T& at(std::size_t i) const { // i-th oldest
            const std::size_t slot = head + i;
            return entries[slot < ringSize ? slot : slot - ringSize];
        }
        const T* newest() const { return count == 0 ? nullptr : &at(count - 1); }
        bool empty() const { return count == 0; }
        std::vector<T> window(double from, double to) const;
        std::vector<T> from(std::size_t first) const; // entries first… newest
        // Calls f with entries first… newest, oldest first.
        template <class F> void visitFrom(std::size_t first, F f) const {
            if (first >= count) return;
            const std::size_t start = head + first < ringSize ? head + first : head + first - ringSize;
            const std::size_t end = head + count; // exclusive, possibly past the end of the storage
            const T* base = entries.data();
            if (end <= ringSize || start < head) { // one block
                const std::size_t stop = end <= ringSize ? end : end - ringSize;
                for (const T* e = base + start; e != base + stop; ++e) f(*e);
                return;
            }
            for (const T* e = base + start; e != base + ringSize; ++e) f(*e);
            for (const T* e = base; e != base + (end - ringSize); ++e) f(*e);
        }
        std::size_t bytes() const { return entries.capacity() * sizeof(T); }
        // Storage for the first few entries of a log that has none.
        void reserveFirst() {
            if (entries.capacity() == 0) entries.reserve(firstEntries);
        }
        static constexpr std::size_t firstEntries = 4;

    private:
        static double timeOf(const T& item) {
            if constexpr (std::is_same_v<T, double>) return item;
            else return item.t;
        }
        // Seconds kept back from the newest entry: each log of a kind has the span of its kind.
        static constexpr double span() {
            if constexpr (std::is_same_v<T, RorozErurEvo::StickSample>) return stickSpan;
            else if constexpr (std::is_same_v<T, RorozErurEvo::TriggerSample>) return axisSpan;
            else if constexpr (std::is_same_v<T, RawEntry>) return rawSpan;
            else if constexpr (std::is_same_v<T, RorozErurEvo::MotionSample>) return motionSpan;
            else if constexpr (std::is_same_v<T, RorozErurEvo::TouchSample>) return touchSpan;
            else if constexpr (std::is_same_v<T, RorozErurEvo::ButtonEvent>) return eventSpan;
            else return stampSpan;
        }
        // The storage for a new newest entry, not yet counted. The storage a few entries on is
        // fetched ahead: a log is written front to back, and a report writes to a dozen logs.
        // Always inlined, as a call costs about as much as the rest of it.
        [[gnu::always_inline]] T& place(const Limits& limits) {
            T* at;
            if (count < ringSize) {
                const std::size_t slot = head + count;
                at = &entries[slot < ringSize ? slot : slot - ringSize];
            } else if (head == 0 && ringSize < entries.capacity()) {
                at = &entries.emplace_back();
                ++ringSize;
            } else {
                return grow(limits);
            }
            // The address is worked out as a number: near the storage's end it lies past it, where
            // pointer arithmetic may not go (a prefetch of it is harmless). A log's first few
            // entries have no storage that far on.
            if (ringSize > prefetchAhead / sizeof(T))
                __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(at) + prefetchAhead), 1);
            return *at;
        }
        static constexpr std::size_t prefetchAhead = 512; // bytes: eight cache lines
        T& grow(const Limits& limits); // a new last entry when the storage is full
        void dropBefore(double cutoff) {
            do {
                head = head + 1 < ringSize ? head + 1 : 0;
                --count;
                if (count > 1) secondTime = timeOf(at(1));
            } while (count > 1 && secondTime < cutoff);
        }
        void trim(const Limits& limits);
        void straighten(std::size_t capacity); // makes the ring one block again, head at 0
        std::vector<T> entries; // a ring once full: the oldest entry at `head`
        // Entries of the storage, kept as a number (the writers ask it at every append), the
        // oldest entry's place and the entries kept: a log keeps at most maxEntries + 1.
        std::uint32_t ringSize = 0;
        std::uint32_t head = 0;
        std::uint32_t count = 0;
        bool ordered = true;
        std::uint64_t total = 0;
        double newestTime = 0; // the newest entry's time
        double secondTime = 0; // time of at(1), when there are two entries or more
    };

    static_assert(sizeof(Log<RawEntry>) == 64, "a log's bookkeeping fills one cache line");

    // Everything kept of one key. What a report writes comes first, the raw and axis logs
    // together, so that writing an element touches as few cache lines as it can: a device's first
    // report touches every element once.
    struct Element {
        Log<RawEntry> raw;
        Log<RorozErurEvo::TriggerSample> axes;
        mutable std::uint64_t rawTaken = 0; // raw entries appended before this number are in the tracker
        mutable std::uint32_t historyEntries = 0; // the tracker's history when it last took some
        bool listedUntaken = false;               // in untaken_
        bool pressed = false;
        int presses = 0; // since creation or resetPresses(); listed in the snapshot when above 0
        std::string key;
        Log<RorozErurEvo::StickSample> sticks;
        // The raw tracker takes in the raw log's entries when it is read, or before the log
        // drops any it has not taken: the HID thread only appends to the log. Made when it first
        // takes some (takeRaw), not in the device's first report.
        mutable std::optional<RorozErurEvo::AxisTracker> tracker;
        // Made by the first rawLive() that lists the element, on the main thread: it is the
        // largest part of an element, and a device's first report has no use for it.
        std::unique_ptr<RorozErurEvo::AxisTrackerLive> live;
    };

    Element& element(const std::string& key) REQUIRES(lock); // made when missing
    const Element* find(const std::string& key) const REQUIRES(lock);
    // The writers, lock held. The latest sample of a key is always the newest entry of its log
    // (a trim keeps the newest entries), so writers keep only the logs and snapshot() reads the
    // latest values from them.
    //
    // Every record stamps its time, and the stamps are the device's reports: the records made at
    // one time are one report (a raw report's dozen values, an axis with the stick it feeds, a
    // demo frame written value by value) and leave one stamp, so that a report rate counts
    // reports, not values. Report times come from a clock read once per report, so two reports
    // never share one exactly. The stamp waits and goes into the log at the end of the hold of
    // the lock that wrote, at a stamp of another time, and before the limits change; nothing
    // reads the stamps in between.
    void stamp(double t) REQUIRES(lock) {
        if (stampWaiting_ && std::bit_cast<std::uint64_t>(t) != std::bit_cast<std::uint64_t>(stampTime_))
            flushStamps();
        stampTime_ = t;
        stampWaiting_ = true;
    }
    void flushStamps() REQUIRES(lock) {
        if (!stampWaiting_) return;
        const double* newest = stampLog.newest();
        if (!newest || std::bit_cast<std::uint64_t>(*newest) != std::bit_cast<std::uint64_t>(stampTime_))
            stampLog.append(stampTime_, limits_);
        if (now.lastEvent <= stampTime_) now.lastEvent = stampTime_;
        stampWaiting_ = false;
    }
    // The raw parts come as plain numbers: handed through as optionals they cost more than the
    // writing itself. Always inlined into a Batch's writers, where the compiler would otherwise
    // call them, for a sixth of a report's time.
    [[gnu::always_inline]] void writeStick(Element& e, double x, double y, bool hasRaw, std::int64_t rawX,
                                           std::int64_t rawY, double t) REQUIRES(lock) {
        const auto* latest = e.sticks.newest();
        if (latest && latest->x == x && latest->y == y && latest->raw.has_value() == hasRaw &&
            (!hasRaw || (latest->raw->x == rawX && latest->raw->y == rawY)))
            return;
        if (!latest) counts((maxEntries + 1) * sizeof(RorozErurEvo::StickSample));
        e.sticks.appendWith(t, limits_, [&](RorozErurEvo::StickSample& s) {
            // Written whole: assigning the optional alone would read the old entry first.
            s = RorozErurEvo::StickSample{t, x, y,
                                          hasRaw ? std::optional(RorozErurEvo::RawPoint{rawX, rawY}) : std::nullopt};
        });
        stamp(t);
    }
    [[gnu::always_inline]] void writeAxis(Element& e, double value, bool hasRaw, RawCount raw, double t)
        REQUIRES(lock) {
        const auto* latest = e.axes.newest();
        if (latest && latest->value == value && latest->raw.has_value() == hasRaw && (!hasRaw || *latest->raw == raw))
            return;
        if (!latest) counts((maxEntries + 1) * sizeof(RorozErurEvo::TriggerSample));
        e.axes.appendWith(t, limits_, [&](RorozErurEvo::TriggerSample& s) {
            s = RorozErurEvo::TriggerSample{t, value, hasRaw ? std::optional<long long>(raw) : std::nullopt};
        });
        stamp(t);
    }
    void writeButton(Element& e, bool down, double t) REQUIRES(lock);
    void writeRaw(Element& e, int value, double t) REQUIRES(lock) {
        if (e.raw.appended() == 0) firstRaw();
        e.raw.append(RawEntry{t, value}, limits_, [&] {
            lock.assertHeld(); // the append runs inside this writer's hold
            takeRaw(e);
        });
        const std::uint64_t untaken = e.raw.appended() - e.rawTaken;
        // A tracker whose history and untaken entries fit under the smallest limit there can be
        // takes them in alike under any limits, whenever it does; any other must take them in
        // before the limits change (takeAllRaw).
        if (!e.listedUntaken && e.historyEntries + untaken > minimumHistoryEntries) {
            e.listedUntaken = true;
            untaken_.push_back(&e);
        }
        // The tracker catches up in runs of a few dozen values: taken together they cost the
        // writer less than one at a time, a device coming into view has little to take in, and
        // the frame seldom pays for a tracker's prune (every element of every pad prunes at
        // the same moment, every two seconds).
        if (untaken >= rawTakenBehind) takeRaw(e);
    }
    static constexpr std::uint64_t rawTakenBehind = 64; // raw entries a tracker may lag its log
    // Brings the element's raw tracker up to its raw log.
    void takeRaw(const Element& e) const REQUIRES(lock);
    // Brings up to their logs the trackers that could take entries in differently under the
    // limits about to come: only those listed in untaken_, so that a device's first report,
    // which begins a log for every element and changes the limits again and again, never walks
    // every element.
    void takeAllRaw() REQUIRES(lock);
    void firstRaw() REQUIRES(lock); // counts a raw element's log and its tracker's history
    // A log or history is about to get its first entry: count it at its largest. Past the
    // budget, every log's limits become the same smaller share of their largest (the stamps
    // waiting and the raw entries not yet taken in go in first, under the limits they were made
    // under).
    void counts(std::size_t largestBytes) REQUIRES(lock) {
        largest_ += largestBytes;
        if (largest_ > budget_ && largest_ > limitsFor_) newLimits();
    }
    void newLimits() REQUIRES(lock);

    mutable Mutex lock;
    const std::size_t budget_;
    std::size_t largest_ GUARDED_BY(lock) = 0; // bytes of every log and history in use, each at its largest
    std::size_t limitsFor_ GUARDED_BY(lock) = 0; // the largest_ limits_ hold for, when past the budget
    Limits limits_ GUARDED_BY(lock);
    Snapshot now GUARDED_BY(lock); // only motion, touches and lastEvent: the rest is read from the elements
    // The elements, in blocks that never move: a slot's element stays where it is, and a wide
    // device's elements lie together in memory, in the order its first report walks them.
    static constexpr std::size_t elementsPerBlock = 32;
    std::vector<std::unique_ptr<Element[]>> elementBlocks_ GUARDED_BY(lock);
    std::vector<Element*> bySlot_ GUARDED_BY(lock); // every element, by slot
    std::unordered_map<std::string, Slot> slots_ GUARDED_BY(lock);
    // The elements whose trackers may have to take entries in before the limits change, each once.
    std::vector<Element*> untaken_ GUARDED_BY(lock);
    Log<RorozErurEvo::ButtonEvent> eventLog GUARDED_BY(lock);
    Log<RorozErurEvo::MotionSample> motionLog GUARDED_BY(lock);
    Log<RorozErurEvo::TouchSample> touchLog GUARDED_BY(lock);
    Log<double> stampLog GUARDED_BY(lock);
    double stampTime_ GUARDED_BY(lock) = 0;      // the time of the stamp waiting, when there is one
    bool stampWaiting_ GUARDED_BY(lock) = false;
};

} // namespace Tessarine
