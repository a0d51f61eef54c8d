#include "testkit/ShownSession.h"

#include "testkit/DisplayText.h"

namespace RorozErurEvo::DisplayText {

namespace {

void cutField(std::string& text) {
    text = field(text);
}

void cutField(std::optional<std::string>& text) {
    if (text) cutField(*text);
}

} // namespace

DeviceInfo shown(const DeviceInfo& device) {
    DeviceInfo copy = device;
    cutField(copy.name);
    for (auto* text : {&copy.vendor, &copy.category, &copy.serial, &copy.transport, &copy.batteryState, &copy.guid})
        cutField(*text);
    return copy;
}

TestResult shown(const TestResult& result) {
    TestResult copy = result;
    cutField(copy.element);
    cutField(copy.headline);
    for (auto& measure : copy.measures) cutField(measure.label);
    for (auto& line : copy.details) cutField(line);
    return copy;
}

TestSession shown(const TestSession& session) {
    TestSession copy = session;
    for (std::string* text : {&copy.unit, &copy.label, &copy.technician, &copy.ticket}) cutField(*text);
    cutField(copy.profile);
    cutField(copy.appVersion);
    copy.device = shown(session.device);
    for (auto& result : copy.results) result = shown(result);
    return copy;
}

} // namespace RorozErurEvo::DisplayText
