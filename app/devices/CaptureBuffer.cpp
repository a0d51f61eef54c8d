#include "app/devices/CaptureBuffer.h"

#include <algorithm>
#include <cmath>

using namespace RorozErurEvo;

namespace Tessarine {

namespace {

template <class T> double timeOf(const T& item) { return item.t; }
double timeOf(double t) { return t; }

template <class Map> auto* find(Map& map, const std::string& key) {
    auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

// Newest entry of a log with t <= time, scanning backwards from the newest.
template <class T> std::optional<T> newestAtOrBefore(const std::vector<T>& items, double time) {
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (it->t <= time) return *it;
    return std::nullopt;
}

} // namespace

// ---- Log

template <class T> void CaptureBuffer::Log<T>::append(T item) {
    const double t = timeOf(item);
    if (ordered && (std::isnan(t) || (!entries.empty() && !(timeOf(entries.back()) <= t)))) ordered = false;
    // A log never holds more than maxEntries + 1 entries, so the last doubling of its storage
    // stops there instead of reserving room it will never use.
    if (entries.size() == entries.capacity() && entries.capacity() * 2 > maxEntries + 1)
        entries.reserve(std::max(entries.capacity(), maxEntries + 1));
    entries.push_back(std::move(item));
    trim();
}

// Cutting a whole block at once pays for the move once per (maxEntries - keptEntries) appends.
template <class T> void CaptureBuffer::Log<T>::trim() {
    if (entries.size() <= maxEntries) return;
    entries.erase(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(entries.size() - keptEntries));
    if (!ordered)
        ordered = std::none_of(entries.begin(), entries.end(), [](const T& e) { return std::isnan(timeOf(e)); }) &&
                  std::is_sorted(entries.begin(), entries.end(),
                                 [](const T& a, const T& b) { return timeOf(a) < timeOf(b); });
}

template <class T> std::vector<T> CaptureBuffer::Log<T>::window(double from, double to) const {
    if (!(from <= to)) return {};
    if (ordered) {
        auto lo = std::lower_bound(entries.begin(), entries.end(), from,
                                   [](const T& e, double v) { return timeOf(e) < v; });
        auto hi = std::upper_bound(lo, entries.end(), to, [](double v, const T& e) { return v < timeOf(e); });
        return std::vector<T>(lo, hi);
    }
    // Copies whole runs of in-window entries at once; a log that went back in time only here
    // and there is still mostly one long run.
    auto inside = [from, to](const T& e) {
        const double t = timeOf(e);
        return from <= t && t <= to;
    };
    using Iterator = typename std::vector<T>::const_iterator;
    std::vector<std::pair<Iterator, Iterator>> runs;
    std::size_t total = 0;
    for (auto it = std::find_if(entries.begin(), entries.end(), inside); it != entries.end();) {
        const auto runEnd = std::find_if_not(it, entries.end(), inside);
        runs.emplace_back(it, runEnd);
        total += static_cast<std::size_t>(runEnd - it);
        it = std::find_if(runEnd, entries.end(), inside);
    }
    std::vector<T> result;
    result.reserve(total);
    for (const auto& [first, last] : runs) result.insert(result.end(), first, last);
    return result;
}

// ---- writers

void CaptureBuffer::stamp(double t) {
    stampLog.append(t);
    if (now.lastEvent <= t) now.lastEvent = t;
}

// The latest sample of a key is always the newest entry of its log (a trim keeps the newest
// entries), so writers keep only the logs and snapshot() reads the latest values from them.
void CaptureBuffer::recordStick(const std::string& key, double x, double y, std::optional<RawPoint> rawPoint,
                                double t) {
    std::lock_guard guard(lock);
    auto& log = stickLog[key];
    if (const auto* latest = log.newest(); latest && latest->x == x && latest->y == y && latest->raw == rawPoint)
        return;
    log.append(StickSample{t, x, y, rawPoint});
    stamp(t);
}

void CaptureBuffer::recordAxis(const std::string& key, double value, std::optional<RawCount> rawCount, double t) {
    std::lock_guard guard(lock);
    auto& log = axisLog[key];
    if (const auto* latest = log.newest(); latest && latest->value == value && latest->raw == rawCount) return;
    log.append(TriggerSample{t, value, rawCount});
    stamp(t);
}

void CaptureBuffer::recordTriggerPress(const std::string& key, double travel, double t) {
    if (travel > triggerPressAbove) recordButton(key, true, t);
    else if (travel < triggerReleaseBelow) recordButton(key, false, t);
}

void CaptureBuffer::recordButton(const std::string& key, bool down, double t) {
    std::lock_guard guard(lock);
    if (down == now.pressed.contains(key)) return;
    if (down) {
        now.pressed.insert(key);
        now.presses[key] += 1;
    } else {
        now.pressed.erase(key);
    }
    eventLog.append(ButtonEvent{key, down, t});
    stamp(t);
}

void CaptureBuffer::recordMotion(const MotionSample& sample) {
    std::lock_guard guard(lock);
    now.motion = sample;
    motionLog.append(sample);
}

void CaptureBuffer::recordTouch(const TouchSample& sample) {
    std::lock_guard guard(lock);
    now.touches.insert_or_assign(sample.finger, sample);
    touchLog.append(sample);
}

void CaptureBuffer::liftTouch(int finger) {
    std::lock_guard guard(lock);
    now.touches.erase(finger);
}

void CaptureBuffer::recordRaw(const std::string& key, int value, double t) {
    std::lock_guard guard(lock);
    auto tracker = raw.find(key);
    if (tracker == raw.end()) tracker = raw.emplace(key, AxisTracker(rawTrackerWindow)).first;
    tracker->second.add(value, t);
    rawLog[key].append(RawEntry{t, value});
}

// ---- resets

void CaptureBuffer::resetRawRange() {
    std::lock_guard guard(lock);
    for (auto& [key, tracker] : raw) tracker.resetRange();
}

void CaptureBuffer::resetPresses() {
    std::lock_guard guard(lock);
    now.presses.clear();
}

// ---- queries

std::vector<StickSample> CaptureBuffer::sticks(const std::string& key, double from, double to) const {
    std::lock_guard guard(lock);
    const auto* log = find(stickLog, key);
    return log ? log->window(from, to) : std::vector<StickSample>{};
}

std::optional<StickSample> CaptureBuffer::stick(const std::string& key, double time) const {
    std::lock_guard guard(lock);
    const auto* log = find(stickLog, key);
    return log ? newestAtOrBefore(log->items(), time) : std::nullopt;
}

std::vector<TriggerSample> CaptureBuffer::axes(const std::string& key, double from, double to) const {
    std::lock_guard guard(lock);
    const auto* log = find(axisLog, key);
    return log ? log->window(from, to) : std::vector<TriggerSample>{};
}

std::optional<TriggerSample> CaptureBuffer::axis(const std::string& key, double time) const {
    std::lock_guard guard(lock);
    const auto* log = find(axisLog, key);
    return log ? newestAtOrBefore(log->items(), time) : std::nullopt;
}

std::vector<ButtonEvent> CaptureBuffer::events(double from, double to) const {
    std::lock_guard guard(lock);
    return eventLog.window(from, to);
}

std::vector<MotionSample> CaptureBuffer::motion(double from, double to) const {
    std::lock_guard guard(lock);
    return motionLog.window(from, to);
}

std::vector<TouchSample> CaptureBuffer::touches(double from, double to) const {
    std::lock_guard guard(lock);
    return touchLog.window(from, to);
}

std::vector<double> CaptureBuffer::stamps(double from, double to) const {
    std::lock_guard guard(lock);
    return stampLog.window(from, to);
}

std::vector<int> CaptureBuffer::rawValues(const std::string& key, double from, double to) const {
    std::vector<RawEntry> entries;
    {
        std::lock_guard guard(lock);
        const auto* log = find(rawLog, key);
        if (!log) return {};
        entries = log->window(from, to);
    }
    std::vector<int> values;
    values.reserve(entries.size());
    for (const auto& e : entries) values.push_back(e.v);
    return values;
}

std::vector<StickSample> CaptureBuffer::trail(const std::string& key, double seconds, double nowTime) const {
    std::lock_guard guard(lock);
    const auto* log = find(stickLog, key);
    if (!log) return {};
    const auto& items = log->items();
    const double cutoff = nowTime - seconds;
    auto first = items.begin();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->t < cutoff) {
            first = it.base(); // the entry after the older one
            break;
        }
    }
    return std::vector<StickSample>(first, items.end());
}

CaptureBuffer::Snapshot CaptureBuffer::snapshot() const {
    std::lock_guard guard(lock);
    Snapshot copy = now;
    for (const auto& [key, log] : stickLog)
        if (const auto* latest = log.newest()) copy.sticks.emplace(key, *latest);
    for (const auto& [key, log] : axisLog)
        if (const auto* latest = log.newest()) copy.axes.emplace(key, *latest);
    return copy;
}

std::map<std::string, AxisTracker> CaptureBuffer::rawTrackers() const {
    std::lock_guard guard(lock);
    return raw;
}

template class CaptureBuffer::Log<StickSample>;
template class CaptureBuffer::Log<TriggerSample>;
template class CaptureBuffer::Log<ButtonEvent>;
template class CaptureBuffer::Log<MotionSample>;
template class CaptureBuffer::Log<TouchSample>;
template class CaptureBuffer::Log<double>;
template class CaptureBuffer::Log<CaptureBuffer::RawEntry>;

} // namespace Tessarine
