#include "app/model/CommandState.h"

#include "app/model/AppModel.h"
#include "app/model/SessionLibrary.h"
#include "app/model/TestRunner.h"

namespace Tessarine {

namespace Commands {

std::shared_ptr<InputDevice> selectedDevice(const AppModel& model) {
    const auto& selection = model.selection();
    if (!selection || !selection->isDevice()) return nullptr;
    return model.device(selection->deviceID);
}

std::vector<RorozErurEvo::TestSession> currentSessions(const AppModel& model) {
    const auto& selection = model.selection();
    if (!selection) return {};
    if (selection->isDevice()) {
        auto device = selectedDevice(model);
        if (!device) return {};
        auto session = model.makeSession(*device);
        if (session.results.empty()) return {};
        return {std::move(session)};
    }
    if (selection->kind == SidebarItem::Kind::history) {
        if (const auto* saved = model.library().session(model.selectedSession())) return {*saved};
    }
    return {};
}

std::string suggestedName(const RorozErurEvo::TestSession& session) { return session.unitKey() + " " + session.label; }

std::string suggestedName(const std::vector<RorozErurEvo::TestSession>& sessions) {
    if (sessions.empty()) return {};
    return suggestedName(sessions.front());
}

void selectTab(AppModel& model, DetailTab tab) {
    if (!selectedDevice(model)) return;
    if (model.tab() != tab) model.setTab(tab);
}

void stopRunningTest(AppModel& model) {
    auto device = selectedDevice(model);
    if (!device) return;
    if (const TestRunner* existing = model.existingRunner(device->id()); !existing || !existing->hasActiveTest()) return;
    model.runner(device).cancel();
}

} // namespace Commands

CommandState CommandState::of(const AppModel& model) {
    CommandState state;
    state.saveSession = Commands::selectedDevice(model) != nullptr;
    state.tabs = state.saveSession;
    state.sessionItems = !Commands::currentSessions(model).empty();
    // Not while the history loads: the export would lack the sessions not read yet.
    state.exportAll = !model.library().loading() && !model.library().sessions().empty();
    return state;
}

} // namespace Tessarine
