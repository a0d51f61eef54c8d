#include "app/devices/CaptureBuffer.h"

#include <algorithm>
#include <cmath>

using namespace RorozErurEvo;

namespace Tessarine {

namespace {

// Newest entry of a log with t <= time, scanning backwards from the newest.
template <class L> auto newestAtOrBefore(const L& log, double time) -> std::optional<std::decay_t<decltype(log.at(0))>> {
    for (std::size_t i = log.size(); i-- > 0;)
        if (log.at(i).t <= time) return log.at(i);
    return std::nullopt;
}

} // namespace

// ---- Log

template <class T> void CaptureBuffer::Log<T>::straighten(std::size_t capacity) {
    std::vector<T> block;
    block.reserve(std::max<std::size_t>(capacity, count));
    for (std::size_t i = 0; i < count; ++i) block.push_back(std::move(entries[(head + i) % entries.size()]));
    entries.swap(block);
    ringSize = static_cast<std::uint32_t>(entries.size());
    head = 0;
}

template <class T> T& CaptureBuffer::Log<T>::grow(const Limits& limits) {
    // No free slot: grow. A ring is never full under fixed limits (a trim leaves a third of it
    // free), but it is made one block again before it grows all the same.
    if (head != 0) straighten(entries.size());
    // A log never holds more than its limit + 1 entries, so the last doubling of its storage
    // stops there instead of reserving room it will never use.
    if (count == entries.capacity() && entries.capacity() * 2 > limits.most + 1)
        entries.reserve(std::max(entries.capacity(), limits.most + 1));
    ++ringSize;
    return entries.emplace_back();
}

// Dropping a whole block at once keeps the rule of the limits: the log grows to `most` entries
// and falls back to the newest `kept` on the next append.
template <class T> void CaptureBuffer::Log<T>::trim(const Limits& limits) {
    if (count <= limits.most) return;
    const auto drop = static_cast<std::uint32_t>(count - limits.kept);
    head = static_cast<std::uint32_t>((head + drop) % entries.size());
    count -= drop;
    if (count > 1) secondTime = timeOf(at(1));
    // Storage reserved under a larger limit is given back once the limit has shrunk.
    if (entries.capacity() > limits.most + 1) straighten(limits.most + 1);
    if (!ordered) {
        ordered = true;
        for (std::size_t i = 0; i < count && ordered; ++i) {
            const double ti = timeOf(at(i));
            if (std::isnan(ti) || (i > 0 && timeOf(at(i - 1)) > ti)) ordered = false;
        }
    }
}

template <class T> std::vector<T> CaptureBuffer::Log<T>::from(std::size_t first) const {
    std::vector<T> result;
    if (first >= count) return result;
    result.reserve(count - first);
    const std::size_t start = head + first;
    const std::size_t end = head + count; // exclusive, possibly past the end of the storage
    const std::size_t n = entries.size();
    if (end <= n) {
        result.insert(result.end(), entries.begin() + static_cast<std::ptrdiff_t>(start),
                      entries.begin() + static_cast<std::ptrdiff_t>(end));
    } else if (start >= n) {
        result.insert(result.end(), entries.begin() + static_cast<std::ptrdiff_t>(start - n),
                      entries.begin() + static_cast<std::ptrdiff_t>(end - n));
    } else {
        result.insert(result.end(), entries.begin() + static_cast<std::ptrdiff_t>(start), entries.end());
        result.insert(result.end(), entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(end - n));
    }
    return result;
}

template <class T> std::vector<T> CaptureBuffer::Log<T>::window(double from, double to) const {
    if (!(from <= to)) return {};
    if (ordered) {
        // First entry at or after `from`, then first entry after `to`, by logical index.
        auto firstWhere = [this](std::size_t lo, auto before) {
            std::size_t hi = count;
            while (lo < hi) {
                const std::size_t mid = lo + (hi - lo) / 2;
                if (before(timeOf(at(mid)))) lo = mid + 1;
                else hi = mid;
            }
            return lo;
        };
        const std::size_t lo = firstWhere(0, [from](double t) { return t < from; });
        const std::size_t hi = firstWhere(lo, [to](double t) { return !(to < t); });
        std::vector<T> result = this->from(lo);
        result.resize(hi - lo);
        return result;
    }
    std::vector<T> result;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = timeOf(at(i));
        if (from <= t && t <= to) result.push_back(at(i));
    }
    return result;
}

// ---- elements and the budget

namespace {

constexpr std::size_t globalLogsLargest = (CaptureBuffer::maxEntries + 1) *
                                          (sizeof(ButtonEvent) + sizeof(MotionSample) + sizeof(TouchSample) + sizeof(double));

} // namespace

CaptureBuffer::CaptureBuffer(std::size_t byteBudget) : budget_(byteBudget) {
    MutexLock guard(lock);
    counts(globalLogsLargest);
}

void CaptureBuffer::newLimits() {
    // The limits are worked out for a little more than is in use, so that a device beginning
    // thousands of logs at once works them out a few hundred times rather than once a log.
    limitsFor_ = largest_ + largest_ / 64;
    flushStamps(); // under the limits they were made under
    takeAllRaw();  // the same for the raw trackers' histories
    const double share = static_cast<double>(budget_) / static_cast<double>(limitsFor_);
    limits_.most = std::max(minimumEntries, static_cast<std::size_t>(static_cast<double>(maxEntries) * share));
    limits_.kept = std::max(minimumEntries * 2 / 3, limits_.most * keptEntries / maxEntries);
    limits_.rawHistory = std::max(minimumHistoryEntries,
                                  static_cast<std::size_t>(static_cast<double>(rawHistoryEntries) * share));
}

CaptureBuffer::Element& CaptureBuffer::element(const std::string& key) {
    auto [it, added] = slots_.try_emplace(key, static_cast<Slot>(bySlot_.size()));
    if (added) {
        const std::size_t n = bySlot_.size();
        if (n % elementsPerBlock == 0) elementBlocks_.push_back(std::make_unique<Element[]>(elementsPerBlock));
        Element& e = elementBlocks_.back()[n % elementsPerBlock];
        e.key = key;
        bySlot_.push_back(&e);
    }
    return *bySlot_[it->second];
}

const CaptureBuffer::Element* CaptureBuffer::find(const std::string& key) const {
    auto it = slots_.find(key);
    return it == slots_.end() ? nullptr : bySlot_[it->second];
}

CaptureBuffer::Slot CaptureBuffer::slot(const std::string& key) {
    MutexLock guard(lock);
    element(key);
    return slots_.at(key);
}

void CaptureBuffer::prepare(const std::vector<FirstLogs>& slots) {
    MutexLock guard(lock);
    for (const FirstLogs& first : slots) {
        Element& e = *bySlot_.at(first.slot);
        if (first.begins & rawLog) e.raw.reserveFirst();
        if (first.begins & axisLog) e.axes.reserveFirst();
        if (first.begins & stickLog) e.sticks.reserveFirst();
    }
}

// ---- writers

void CaptureBuffer::writeButton(Element& e, bool down, double t) {
    if (down == e.pressed) return;
    e.pressed = down;
    if (down) e.presses += 1;
    eventLog.appendWith(t, limits_, [&](ButtonEvent& event) { // in place: the key is copied once
        event.input = e.key;
        event.down = down;
        event.t = t;
    });
    stamp(t);
}

void CaptureBuffer::firstRaw() {
    counts((maxEntries + 1) * sizeof(RawEntry) + rawHistoryEntries * rawHistoryEntryBytes);
}

void CaptureBuffer::takeRaw(const Element& e) const {
    if (e.raw.appended() == 0) return;
    if (!e.tracker) e.tracker.emplace(rawTrackerWindow);
    const std::uint64_t appended = e.raw.appended();
    const std::uint64_t first = appended - e.raw.size(); // running number of the oldest entry kept
    AxisTracker& tracker = *e.tracker;
    const std::size_t most = limits_.rawHistory;
    e.raw.visitFrom(static_cast<std::size_t>(std::max(e.rawTaken, first) - first), [&](const RawEntry& entry) {
        tracker.add(entry.v, entry.t);
        if (tracker.times().size() > most) tracker.forgetOldest(tracker.times().size() - most * 2 / 3);
    });
    e.rawTaken = appended;
    e.historyEntries = static_cast<std::uint32_t>(tracker.times().size());
}

void CaptureBuffer::takeAllRaw() {
    for (Element* e : untaken_) {
        takeRaw(*e);
        e->listedUntaken = false;
    }
    untaken_.clear();
}

void CaptureBuffer::recordStick(const std::string& key, double x, double y, std::optional<RawPoint> rawPoint,
                                double t) {
    MutexLock guard(lock);
    writeStick(element(key), x, y, rawPoint.has_value(), rawPoint ? rawPoint->x : 0, rawPoint ? rawPoint->y : 0, t);
    flushStamps();
}

void CaptureBuffer::recordAxis(const std::string& key, double value, std::optional<RawCount> rawCount, double t) {
    MutexLock guard(lock);
    writeAxis(element(key), value, rawCount.has_value(), rawCount.value_or(0), t);
    flushStamps();
}

void CaptureBuffer::recordTriggerPress(const std::string& key, double travel, double t) {
    if (travel > triggerPressAbove) recordButton(key, true, t);
    else if (travel < triggerReleaseBelow) recordButton(key, false, t);
}

void CaptureBuffer::recordButton(const std::string& key, bool down, double t) {
    MutexLock guard(lock);
    writeButton(element(key), down, t);
    flushStamps();
}

void CaptureBuffer::recordMotion(const MotionSample& sample) {
    MutexLock guard(lock);
    now.motion = sample;
    motionLog.append(sample, limits_);
}

void CaptureBuffer::recordTouch(const TouchSample& sample) {
    MutexLock guard(lock);
    now.touches.insert_or_assign(sample.finger, sample);
    touchLog.append(sample, limits_);
}

void CaptureBuffer::liftTouch(int finger) {
    MutexLock guard(lock);
    now.touches.erase(finger);
}

void CaptureBuffer::recordRaw(const std::string& key, int value, double t) {
    MutexLock guard(lock);
    writeRaw(element(key), value, t);
}

// ---- resets

void CaptureBuffer::resetRawRange() {
    MutexLock guard(lock);
    for (Element* e : bySlot_)
        if (e->raw.appended() > 0) {
            takeRaw(*e);
            e->tracker->resetRange();
        }
}

void CaptureBuffer::resetPresses() {
    MutexLock guard(lock);
    for (Element* e : bySlot_) e->presses = 0;
}

// ---- queries

std::vector<StickSample> CaptureBuffer::sticks(const std::string& key, double from, double to) const {
    MutexLock guard(lock);
    const auto* e = find(key);
    return e ? e->sticks.window(from, to) : std::vector<StickSample>{};
}

std::optional<StickSample> CaptureBuffer::stick(const std::string& key, double time) const {
    MutexLock guard(lock);
    const auto* e = find(key);
    return e ? newestAtOrBefore(e->sticks, time) : std::nullopt;
}

std::vector<TriggerSample> CaptureBuffer::axes(const std::string& key, double from, double to) const {
    MutexLock guard(lock);
    const auto* e = find(key);
    return e ? e->axes.window(from, to) : std::vector<TriggerSample>{};
}

std::optional<TriggerSample> CaptureBuffer::axis(const std::string& key, double time) const {
    MutexLock guard(lock);
    const auto* e = find(key);
    return e ? newestAtOrBefore(e->axes, time) : std::nullopt;
}

std::vector<ButtonEvent> CaptureBuffer::events(double from, double to) const {
    MutexLock guard(lock);
    return eventLog.window(from, to);
}

std::vector<MotionSample> CaptureBuffer::motion(double from, double to) const {
    MutexLock guard(lock);
    return motionLog.window(from, to);
}

std::vector<TouchSample> CaptureBuffer::touches(double from, double to) const {
    MutexLock guard(lock);
    return touchLog.window(from, to);
}

std::vector<double> CaptureBuffer::stamps(double from, double to) const {
    MutexLock guard(lock);
    return stampLog.window(from, to);
}

std::vector<int> CaptureBuffer::rawValues(const std::string& key, double from, double to) const {
    std::vector<RawEntry> entries;
    {
        MutexLock guard(lock);
        const auto* e = find(key);
        if (!e) return {};
        entries = e->raw.window(from, to);
    }
    std::vector<int> values;
    values.reserve(entries.size());
    for (const auto& e : entries) values.push_back(e.v);
    return values;
}

std::vector<StickSample> CaptureBuffer::trail(const std::string& key, double seconds, double nowTime) const {
    MutexLock guard(lock);
    const auto* e = find(key);
    if (!e) return {};
    const auto& log = e->sticks;
    const double cutoff = nowTime - seconds;
    std::size_t first = 0;
    for (std::size_t i = log.size(); i-- > 0;) {
        if (log.at(i).t < cutoff) {
            first = i + 1; // the entry after the older one
            break;
        }
    }
    return log.from(first);
}

bool CaptureBuffer::followTrail(const std::string& key, double seconds, double nowTime, std::deque<StickSample>& trail,
                                TrailCursor& cursor) const {
    MutexLock guard(lock);
    const auto* e = find(key);
    const double cutoff = nowTime - seconds;
    if (!e) {
        const bool changed = !trail.empty();
        trail.clear();
        cursor = TrailCursor{};
        return changed;
    }
    const auto& log = e->sticks;
    const std::uint64_t first = log.appended() - log.size(); // running number of the oldest entry kept
    // In an ordered log the trail is exactly the samples at or after the cutoff, so it moves
    // forward with the log and the cutoff.
    const bool canFollow = cursor.following && log.inOrder() && !std::isnan(cutoff) && cutoff >= cursor.cutoff &&
                           cursor.seen >= first && cursor.seen <= log.appended();
    if (!canFollow) {
        std::deque<StickSample> fresh;
        std::size_t start = 0;
        for (std::size_t i = log.size(); i-- > 0;)
            if (log.at(i).t < cutoff) {
                start = i + 1;
                break;
            }
        for (std::size_t i = start; i < log.size(); ++i) fresh.push_back(log.at(i));
        const bool changed = fresh != trail;
        trail.swap(fresh);
        cursor = TrailCursor{log.appended(), cutoff, log.inOrder() && !std::isnan(cutoff)};
        return changed;
    }
    bool changed = false;
    for (std::uint64_t n = cursor.seen; n < log.appended(); ++n) {
        trail.push_back(log.at(static_cast<std::size_t>(n - first)));
        changed = true;
    }
    while (!trail.empty() && trail.front().t < cutoff) {
        trail.pop_front();
        changed = true;
    }
    cursor.seen = log.appended();
    cursor.cutoff = cutoff;
    return changed;
}

CaptureBuffer::Snapshot CaptureBuffer::snapshot() const {
    MutexLock guard(lock);
    Snapshot copy = now;
    for (const Element* element : bySlot_) {
        const Element& e = *element;
        if (const auto* latest = e.sticks.newest()) copy.sticks.emplace(e.key, *latest);
        if (const auto* latest = e.axes.newest()) copy.axes.emplace(e.key, *latest);
        if (e.pressed) copy.pressed.insert(e.key);
        if (e.presses > 0) copy.presses.emplace(e.key, e.presses);
    }
    return copy;
}

std::map<std::string, AxisTracker> CaptureBuffer::rawTrackers() const {
    MutexLock guard(lock);
    std::map<std::string, AxisTracker> copy;
    for (const Element* e : bySlot_)
        if (e->raw.appended() > 0) {
            takeRaw(*e);
            copy.emplace(e->key, *e->tracker);
        }
    return copy;
}

std::map<std::string, RawLive> CaptureBuffer::rawLive(double nowTime, double stampResolution) {
    MutexLock guard(lock);
    std::map<std::string, RawLive> live;
    for (Element* element : bySlot_) {
        Element& e = *element;
        if (e.raw.appended() == 0) continue;
        takeRaw(e);
        if (!e.live) e.live = std::make_unique<AxisTrackerLive>();
        const auto figures = e.live->update(*e.tracker, nowTime);
        RawLive entry{e.tracker->value, e.tracker->minSeen, e.tracker->maxSeen, figures.jitter, figures.rate};
        // Stepped stamps (a joystick layer's milliseconds, at most a thousand a second) are
        // few enough to be counted again in full.
        if (stampResolution > 0) {
            const auto timed = e.tracker->timedRate(nowTime, stampResolution);
            entry.rate = timed ? std::optional<double>(timed->hz) : std::nullopt;
            entry.rateAtLeast = timed && timed->atLeast;
        }
        live.emplace(e.key, std::move(entry));
    }
    return live;
}

std::size_t CaptureBuffer::memoryBytes() const {
    MutexLock guard(lock);
    std::size_t bytes = eventLog.bytes() + motionLog.bytes() + touchLog.bytes() + stampLog.bytes();
    for (const Element* element : bySlot_) {
        const Element& e = *element;
        bytes += e.sticks.bytes() + e.axes.bytes() + e.raw.bytes();
        takeRaw(e);
        if (e.tracker)
            bytes += e.tracker->times().capacity() * sizeof(double) + e.tracker->values().capacity() * sizeof(int);
    }
    return bytes;
}

template class CaptureBuffer::Log<StickSample>;
template class CaptureBuffer::Log<TriggerSample>;
template class CaptureBuffer::Log<ButtonEvent>;
template class CaptureBuffer::Log<MotionSample>;
template class CaptureBuffer::Log<TouchSample>;
template class CaptureBuffer::Log<double>;
template class CaptureBuffer::Log<CaptureBuffer::RawEntry>;

} // namespace Tessarine
