#include "app/model/CommandState.h"

#include "app/model/AppModel.h"
#include "app/model/SessionLibrary.h"
#include "app/model/TestRunner.h"

namespace Tessarine {

namespace Commands {

std::shared_ptr<InputDevice> selectedDevice(const AppModel& model) {
    const auto& selection = model.navigation().selection();
    if (!selection || !selection->isDevice()) return nullptr;
    return model.device(selection->deviceID);
}

namespace {

// The selected device's session when it has results.
std::optional<RorozErurEvo::TestSession> deviceSession(const AppModel& model) {
    auto device = selectedDevice(model);
    if (!device) return std::nullopt;
    auto session = model.makeSession(*device);
    if (session.results.empty()) return std::nullopt;
    return session;
}

const RorozErurEvo::SessionSummary* pickedSession(const AppModel& model) {
    const auto& selection = model.navigation().selection();
    if (!selection || selection->kind != SidebarItem::Kind::history) return nullptr;
    return model.library().session(model.navigation().selectedSession());
}

} // namespace

bool hasCurrentSessions(const AppModel& model) {
    const auto& selection = model.navigation().selection();
    if (selection && selection->isDevice()) {
        auto device = selectedDevice(model);
        const TestRunner* runner = device ? model.deviceLists().existingRunner(device->id()) : nullptr;
        return runner && !runner->results().empty();
    }
    return pickedSession(model) != nullptr;
}

void withCurrentSessions(AppModel& model, std::function<void(std::vector<RorozErurEvo::TestSession>)> use) {
    const auto& selection = model.navigation().selection();
    if (selection && selection->isDevice()) {
        if (auto session = deviceSession(model)) use({std::move(*session)});
        return;
    }
    if (const auto* picked = pickedSession(model)) model.openSessions({*picked}, std::move(use));
}

std::string suggestedName(const RorozErurEvo::TestSession& session) { return session.unitKey() + " " + session.label; }

std::string suggestedName(const std::vector<RorozErurEvo::TestSession>& sessions) {
    if (sessions.empty()) return {};
    return suggestedName(sessions.front());
}

void selectTab(AppModel& model, DetailTab tab) {
    if (!selectedDevice(model)) return;
    if (model.navigation().tab() != tab) model.navigation().setTab(tab);
}

void stopRunningTest(AppModel& model) {
    auto device = selectedDevice(model);
    if (!device) return;
    if (const TestRunner* existing = model.deviceLists().existingRunner(device->id()); !existing || !existing->hasActiveTest()) return;
    model.runner(device).cancel();
}

} // namespace Commands

CommandState CommandState::of(const AppModel& model) {
    CommandState state;
    state.saveSession = Commands::selectedDevice(model) != nullptr;
    state.tabs = state.saveSession;
    state.sessionItems = Commands::hasCurrentSessions(model);
    // Not while the history loads: the export would lack the sessions not read yet.
    state.exportAll = !model.library().loading() && !model.library().sessions().empty();
    return state;
}

} // namespace Tessarine
