#pragma once
// The user's commands on sessions and reports, as the views call them: saving a unit's session,
// copying its listing, opening listed sessions whole, deleting one, the PDF report, printing,
// the JSON and CSV exports, a tester's result, the report logo, and the short notice that tells
// the user how a command went. The application model is the one implementation; a view that
// only runs commands reaches nothing past this interface.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/model/UnitRecord.h"
#include "testkit/SessionSummary.h"
#include "testkit/TestResult.h"
#include "testkit/TestSession.h"
#include "testkit/Uuid.h"

namespace Tessarine {

class InputDevice;

class SessionCommands {
public:
    enum class ExportFormat { json, csv };
    // What a save tells once its file is written or refused: absent when it was saved, else the
    // message the user was shown.
    using Saved = std::function<void(const std::optional<std::string>& error)>;

    // A session of the device's unit record and results, as saving would write it; changes nothing.
    virtual RorozErurEvo::TestSession makeSession(const InputDevice& device) const = 0;
    // Opens the save-session sheet for the device; nothing without one.
    virtual void requestSave(const std::shared_ptr<InputDevice>& device) = 0;
    // Records the unit and saves its session; returns the session, also when it could not be
    // saved. The file is written off the main thread: once it is, the toast tells the outcome and
    // then `done` hears it.
    virtual RorozErurEvo::TestSession saveSession(const std::shared_ptr<InputDevice>& device, UnitRecord record,
                                                  Saved done = {}) = 0;
    virtual void copyListing(const RorozErurEvo::TestSession& session) = 0;
    // Reads the listed sessions whole (SessionLibrary::open) and hands them, in the order given,
    // to `use` on the main thread: at once when they are at hand, else once read, with a toast
    // saying so meanwhile when there are several. When one cannot be read the toast says
    // "Couldn't open the session: <problem>" and `use` is not called.
    virtual void openSessions(std::vector<RorozErurEvo::SessionSummary> listed,
                              std::function<void(std::vector<RorozErurEvo::TestSession>)> use) = 0;
    // Deletes a saved session, its file off the main thread. When the file cannot be removed the
    // session stays listed (it would come back at the next launch) and the toast says why.
    virtual void removeSession(const RorozErurEvo::Uuid& id) = 0;
    virtual void exportPDF(const std::vector<RorozErurEvo::TestSession>& sessions,
                           const std::string& suggestedName) = 0;
    // The PDF of a comparison: the before session's pages, then the after session's, each test
    // read by the one measure the comparison judged it by.
    virtual void exportComparisonPDF(const RorozErurEvo::TestSession& before, const RorozErurEvo::TestSession& after,
                                     const std::string& suggestedName) = 0;
    // The print panel for the report of the sessions; nothing for an empty list or when the user
    // cancels; a failure is toasted.
    virtual void printReport(const std::vector<RorozErurEvo::TestSession>& sessions) = 0;
    // Asks for a file and exports the sessions to it off the main thread, a session at a time,
    // with the progress shown and a cancel offered (ExportProgress); the toast tells
    // the outcome.
    virtual void exportSessions(const std::vector<RorozErurEvo::TestSession>& sessions, ExportFormat format,
                                const std::string& suggestedName) = 0;
    // The same for listed sessions, each read whole from its file when its turn comes: an export
    // of the whole history holds one session at a time.
    virtual void exportListed(std::vector<RorozErurEvo::SessionSummary> listed, ExportFormat format,
                              const std::string& suggestedName) = 0;
    // Saves what the keyboard or mouse tester measured as a session of its own (TesterSessions.h)
    // and toasts the outcome.
    virtual void saveTesterResult(const RorozErurEvo::TestResult& result, const std::string& name,
                                  const std::string& unit) = 0;
    virtual void importLogo() = 0;
    virtual void removeLogo() = 0;
    // The short notice at the bottom of the window; none hides it.
    virtual void setToast(std::optional<std::string> value) = 0;

protected:
    ~SessionCommands() = default;
};

} // namespace Tessarine
