#pragma once
// The record of everything one device reported, as time-stamped samples.
//
// Sources write from their own threads (a controller's SDL thread, the HID thread, the main
// thread for the demo); the model, runners and views read on the main thread. One mutex per
// buffer guards everything; every operation holds it for its own run only and never calls out
// while holding it. Queries hand out copies, so results stay valid after the lock is released.
//
// Plain C++ on purpose (no Qt), so the sanitizers see every line of it.
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "testkit/AxisTracker.h"
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
    // Length of each raw tracker's recent window, seconds.
    static constexpr double rawTrackerWindow = 1.0;

    // Analogue triggers read as pressed above this travel and as released below the next, so
    // that noise near the threshold does not read as chatter (unit fractions of travel).
    static constexpr double triggerPressAbove = 0.5;
    static constexpr double triggerReleaseBelow = 0.4;

    CaptureBuffer() = default;
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
    Snapshot snapshot() const;
    std::map<std::string, RorozErurEvo::AxisTracker> rawTrackers() const;

private:
    // A log that remembers whether its times never went backwards, so that a window over the
    // usual in-order log is two binary searches and one block copy instead of a full scan.
    template <class T> class Log {
    public:
        void append(T item);
        const std::vector<T>& items() const { return entries; }
        const T* newest() const { return entries.empty() ? nullptr : &entries.back(); }
        std::vector<T> window(double from, double to) const;

    private:
        void trim();
        std::vector<T> entries;
        bool ordered = true;
    };

    void stamp(double t);

    mutable std::mutex lock;
    Snapshot now; // sticks and axes are left empty here: their latest values are the logs' newest
    std::unordered_map<std::string, Log<RorozErurEvo::StickSample>> stickLog;
    std::unordered_map<std::string, Log<RorozErurEvo::TriggerSample>> axisLog;
    Log<RorozErurEvo::ButtonEvent> eventLog;
    Log<RorozErurEvo::MotionSample> motionLog;
    Log<RorozErurEvo::TouchSample> touchLog;
    Log<double> stampLog;
    std::map<std::string, RorozErurEvo::AxisTracker> raw;
    std::unordered_map<std::string, Log<RawEntry>> rawLog;
};

} // namespace Tessarine
