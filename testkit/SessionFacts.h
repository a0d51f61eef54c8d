#pragma once
// What a session's list entry shows and how sessions group, worked out the same way from a whole
// session or from its summary: anything with unit, ticket, label, date, device and results whose
// items have kind, element and verdict.
#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/TestSession.h"

namespace RorozErurEvo::SessionFacts {

// The first of unit, serial and ticket that is not blank, trimmed; else the device name as is.
template <class S> std::string unitKey(const S& s) {
    for (const std::string* candidate : {&s.unit, s.device.serial ? &*s.device.serial : nullptr, &s.ticket}) {
        if (!candidate) continue;
        std::string trimmed = trimmedWhitespace(*candidate);
        if (!trimmed.empty()) return trimmed;
    }
    return s.device.name;
}

template <class S> Verdict verdict(const S& s) {
    Verdict result = Verdict::pass;
    for (const auto& r : s.results) result = std::max(result, r.verdict);
    return result;
}

template <class S> VerdictCounts counts(const S& s) {
    VerdictCounts counts;
    for (const auto& r : s.results) {
        switch (r.verdict) {
        case Verdict::pass: ++counts.pass; break;
        case Verdict::warn: ++counts.warn; break;
        case Verdict::fail: ++counts.fail; break;
        }
    }
    return counts;
}

// Catalogue order of kinds; within a kind, elements in the order they first appear.
template <class S> std::vector<std::size_t> sortedOrder(const S& s) {
    const auto& results = s.results;
    std::map<std::string_view, std::size_t> firstSeen;
    for (std::size_t i = 0; i < results.size(); ++i) firstSeen.emplace(results[i].element, i);
    std::vector<std::pair<int, std::size_t>> keys; // (kind order, element's first index) of each result
    keys.reserve(results.size());
    for (const auto& r : results) keys.emplace_back(order(r.kind), firstSeen.at(r.element));
    std::vector<std::size_t> sorted(results.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) sorted[i] = i;
    std::stable_sort(sorted.begin(), sorted.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return sorted;
}

template <class S> DeviceKind deviceKind(const S& s) {
    for (const auto& result : s.results) {
        if (result.kind == TestKind::keyboard) return DeviceKind::keyboard;
        if (result.kind == TestKind::mouse) return DeviceKind::mouse;
    }
    return DeviceKind::controller;
}

// "<device> — <label>", or the device name alone without a label.
template <class S> std::string title(const S& s) {
    if (s.label.empty()) return s.device.name;
    return s.device.name + " \u2014 " + s.label;
}

// Sessions grouped by unitKey as positions in `sessions`, each group newest first, groups by
// their newest session.
template <class S> std::vector<UnitIndexGroup> byUnitIndex(const std::vector<S>& sessions) {
    std::vector<UnitIndexGroup> groups;
    std::map<std::string, std::size_t> groupIndex;
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        std::string key = unitKey(sessions[i]);
        auto [it, inserted] = groupIndex.emplace(key, groups.size());
        if (inserted) groups.push_back(UnitIndexGroup{std::move(key), {}});
        groups[it->second].sessions.push_back(i);
    }
    auto newer = [&](std::size_t a, std::size_t b) { return sessions[a].date > sessions[b].date; };
    for (auto& group : groups) std::stable_sort(group.sessions.begin(), group.sessions.end(), newer);
    std::stable_sort(groups.begin(), groups.end(), [&](const UnitIndexGroup& a, const UnitIndexGroup& b) {
        return newer(a.sessions.front(), b.sessions.front());
    });
    return groups;
}

} // namespace RorozErurEvo::SessionFacts
