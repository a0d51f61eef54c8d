#pragma once
// What the menu commands act on and when they are enabled. The menus hold no state: every time
// they are shown or a shortcut is pressed, these rules are read again from the model.
#include <functional>
#include <string>
#include <vector>

#include "app/model/SidebarItem.h"
#include "testkit/SessionSummary.h"
#include "testkit/TestSession.h"

namespace Tessarine {

class AppModel;
class InputDevice;

struct CommandState {
    bool saveSession = false;   // a found device is selected
    bool sessionItems = false;  // export PDF, copy listing, export results, print: current sessions exist
    bool exportAll = false;     // the library has loaded and holds a session
    bool tabs = false;          // a found device is selected

    static CommandState of(const AppModel& model);
    friend bool operator==(const CommandState&, const CommandState&) = default;
};

namespace Commands {
// The selected device, when the selection is a device the model knows.
std::shared_ptr<InputDevice> selectedDevice(const AppModel& model);
// Whether there are current sessions: the selected device's session (when it has results), or
// the saved session picked in the history.
bool hasCurrentSessions(const AppModel& model);
// Hands the current sessions to `use`, whole: the device's at once, a saved one once read (not at
// all when it cannot be read: the model's toast says why). Nothing for everything else.
void withCurrentSessions(AppModel& model, std::function<void(std::vector<RorozErurEvo::TestSession>)> use);
// "<unit key> <label>" of the first session, the name suggested for reports and exports.
std::string suggestedName(const std::vector<RorozErurEvo::TestSession>& sessions);
std::string suggestedName(const RorozErurEvo::TestSession& session);
// Shows the tab for the selected device; writes it only when it differs.
void selectTab(AppModel& model, DetailTab tab);
// Stops the selected device's running test with no result and no announcement.
void stopRunningTest(AppModel& model);
// The name of the export of every saved session.
inline const std::string allSessionsName = "Tessarine sessions";
} // namespace Commands

} // namespace Tessarine
