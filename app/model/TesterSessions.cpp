#include "app/model/TesterSessions.h"

#include "app/model/AppModel.h"
#include "app/model/SessionLibrary.h"

#include "testkit/DisplayText.h"

namespace Tessarine {

RorozErurEvo::TestSession testerSession(const RorozErurEvo::TestResult& result, const std::string& name,
                                        const std::string& unit, const std::string& technician,
                                        RorozErurEvo::Date date, const std::string& appVersion) {
    RorozErurEvo::TestSession session;
    session.version = RorozErurEvo::TestSession::currentVersion;
    session.id = RorozErurEvo::Uuid::random();
    session.date = date;
    session.unit = unit;
    session.label = "Tested";
    session.technician = technician;
    session.device.name = name;
    session.results = {result};
    session.appVersion = appVersion;
    return session;
}

void saveTesterSession(AppModel& model, const RorozErurEvo::TestResult& result, const std::string& name,
                       const std::string& unit) {
    auto session = testerSession(result, name, unit, model.settings().defaultTechnician(),
                                 RorozErurEvo::Dates::now(), AppInfo::current().version.toStdString());
    const std::string saved = "Saved to History: " + RorozErurEvo::DisplayText::field(session.unitKey());
    // The library lives as long as the model: the outcome lands only while both do.
    model.library().saveInBackground(std::move(session), [&model, saved](const std::optional<std::string>& error) {
        model.setToast(error ? *error : saved);
    });
}

} // namespace Tessarine
