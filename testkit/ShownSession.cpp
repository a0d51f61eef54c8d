#include "testkit/ShownSession.h"

#include "testkit/DisplayText.h"

namespace RorozErurEvo::DisplayText {

namespace {

// The copies are made field by field: copying a text of megabytes only to cut it would cost
// what the cut saves.
std::optional<std::string> cutField(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return field(*text);
}

} // namespace

DeviceInfo shown(const DeviceInfo& device) {
    return DeviceInfo{.name = field(device.name),
                      .vendor = cutField(device.vendor),
                      .category = cutField(device.category),
                      .vendorID = device.vendorID,
                      .productID = device.productID,
                      .serial = cutField(device.serial),
                      .transport = cutField(device.transport),
                      .batteryLevel = device.batteryLevel,
                      .batteryState = cutField(device.batteryState),
                      .firmwareVersion = device.firmwareVersion,
                      .guid = cutField(device.guid)};
}

TestResult shown(const TestResult& result) {
    TestResult copy;
    copy.id = result.id;
    copy.kind = result.kind;
    copy.element = field(result.element);
    copy.source = result.source;
    copy.verdict = result.verdict;
    copy.headline = headline(result.headline);
    copy.measures.reserve(result.measures.size());
    for (const auto& measure : result.measures)
        copy.measures.push_back(Measure{measure.id, field(measure.label), measure.value, measure.unit, measure.limit});
    copy.details.reserve(result.details.size());
    for (const auto& line : result.details) copy.details.push_back(field(line));
    copy.plot = result.plot;
    copy.timeline = result.timeline;
    copy.date = result.date;
    return copy;
}

TestSession shown(const TestSession& session) {
    TestSession copy;
    copy.version = session.version;
    copy.id = session.id;
    copy.date = session.date;
    copy.unit = field(session.unit);
    copy.label = field(session.label);
    copy.technician = field(session.technician);
    copy.ticket = field(session.ticket);
    copy.notes = session.notes;
    copy.device = shown(session.device);
    copy.results.reserve(session.results.size());
    for (const auto& result : session.results) copy.results.push_back(shown(result));
    copy.appVersion = cutField(session.appVersion);
    copy.profile = cutField(session.profile);
    return copy;
}

} // namespace RorozErurEvo::DisplayText
