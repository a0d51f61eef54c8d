// The session commands: saving a unit's session, the listing text, the PDF report and the JSON
// and CSV exports, the report logo and branding, and the request for the settings window.
// Every outcome reaches the user as a toast; a cancelled panel and a file that holds no picture
// end silently.
#include <QBuffer>
#include <QDir>
#include <QFile>

#include <algorithm>

#include "app/model/AppModel.h"

#include "app/devices/Logging.h"
#include "app/model/AtomicFile.h"
#include "app/model/TesterSessions.h"
#include "app/report/LogoFile.h"
#include "testkit/Date.h"
#include "testkit/DisplayText.h"
#include "testkit/Fmt.h"
#include "testkit/ListingText.h"
#include "testkit/SessionExport.h"
#include "testkit/Uuid.h"

namespace Tessarine {

using RorozErurEvo::TestSession;
namespace DisplayText = RorozErurEvo::DisplayText;

namespace {

const std::string appName = "Tessarine";
// Code points of a suggested file name at most: four bytes each stay within the 255 bytes a file
// name may take, with room for the extension.
constexpr std::size_t fileNameLength = 60;

// A failure the user reads in a toast: the action, then what the system said.
std::string failure(const std::string& action, const std::string& description) {
    return "Couldn't " + action + ": " + description;
}

std::string chosenName(const std::string& suggested, const char* extension) {
    return AppModel::reportFileName(suggested) + extension;
}

} // namespace

TestSession AppModel::makeSession(const InputDevice& device) const {
    UnitRecord record = lists_->unit(device);
    TestSession session;
    session.version = TestSession::currentVersion;
    session.id = RorozErurEvo::Uuid::random();
    session.date = RorozErurEvo::Dates::now();
    session.unit = record.unit;
    session.label = record.stage;
    session.technician = record.technician;
    session.ticket = record.ticket;
    session.notes = record.notes;
    session.device = device.identity();
    if (const TestRunner* runner = lists_->existingRunner(device.id()))
        session.results = runner->orderedResults();
    session.appVersion = AppInfo::current().version.toStdString();
    session.profile = settings_->thresholdsLabel(device);
    return session;
}

void AppModel::openSessions(std::vector<RorozErurEvo::SessionSummary> listed,
                            std::function<void(std::vector<TestSession>)> use) {
    if (listed.empty()) {
        use({});
        return;
    }
    const std::size_t count = listed.size();
    auto answered = std::make_shared<bool>(false);
    QPointer<AppModel> self(this);
    library_->open(std::move(listed), [self, answered, use = std::move(use)](SessionLibrary::Opened opened) {
        *answered = true;
        if (!self) return;
        if (!opened.problem.empty()) {
            self->setToast(SessionLibrary::openFailure(opened.problem));
            return;
        }
        std::vector<TestSession> sessions;
        sessions.reserve(opened.sessions.size());
        for (auto& whole : opened.sessions) {
            // A session read for this one use is nobody else's (the library reads them into
            // mutable storage): it is moved, not copied, so an export of thousands holds each once.
            if (whole.use_count() == 1) sessions.push_back(std::move(*std::const_pointer_cast<TestSession>(whole)));
            else sessions.push_back(*whole);
            whole.reset();
        }
        use(std::move(sessions));
    });
    if (!*answered && count > 1)
        setToast("Reading " + RorozErurEvo::Fmt::trim(static_cast<double>(count), 0) + " saved sessions\u2026");
}

void AppModel::requestSave(const std::shared_ptr<InputDevice>& device) {
    if (device) navigation_->setSaveSheetDevice(device);
}

TestSession AppModel::saveSession(const std::shared_ptr<InputDevice>& device, UnitRecord record) {
    lists_->setUnit(device->id(), std::move(record));
    TestSession session = makeSession(*device);
    library_->save(session);
    if (const auto& error = library_->lastError()) {
        setToast(*error);
    } else {
        if (lists_->existingRunner(device->id())) runner(device).markSaved();
        setToast("Saved: " + DisplayText::field(session.unitKey()) + ", " +
                 (session.label.empty() ? std::string("session") : DisplayText::field(session.label)));
    }
    return session;
}

void AppModel::copyListing(const TestSession& session) {
    if (clipboard_) clipboard_->setText(QString::fromStdString(RorozErurEvo::ListingSummary::text(session, appName)));
    setToast(std::string("Listing text copied"));
}

bool AppModel::removeSession(const RorozErurEvo::Uuid& id) {
    if (library_->remove(id)) return true;
    const std::string error = library_->lastError().value_or("Couldn't delete the session");
    qCWarning(logModel) << "could not delete the session" << QString::fromStdString(id.text()) << ":"
                        << QString::fromStdString(error);
    setToast(error);
    return false;
}

void AppModel::exportPDF(const std::vector<TestSession>& sessions, const std::string& suggestedName) {
    savePDF(sessions, suggestedName, false);
}

void AppModel::exportComparisonPDF(const TestSession& before, const TestSession& after, const std::string& suggestedName) {
    savePDF({before, after}, suggestedName, true);
}

void AppModel::savePDF(const std::vector<TestSession>& sessions, const std::string& suggestedName, bool beforeAndAfter) {
    if (sessions.empty() || !fileChooser_) return;
    auto path = fileChooser_->saveFile(FileChooser::Type::pdf, QString::fromStdString(chosenName(suggestedName, ".pdf")));
    if (!path || path->isEmpty()) return;
    try {
        if (!reportRenderer_) throw std::runtime_error("The report renderer is not available.");
        QByteArray data = reportRenderer_->render(reportInput(sessions, beforeAndAfter));
        if (auto error = AtomicFile::write(*path, data)) {
            setToast(failure("save the report", error->toStdString()));
            return;
        }
    } catch (const std::exception& error) {
        setToast(failure("save the report", error.what()));
        return;
    }
    setToast(std::string("Report saved"));
}

void AppModel::printReport(const std::vector<TestSession>& sessions) {
    if (sessions.empty()) return;
    try {
        if (!reportRenderer_) throw std::runtime_error("The report renderer is not available.");
        reportRenderer_->print(reportInput(sessions));
    } catch (const std::exception& error) {
        setToast(failure("print the report", error.what()));
    }
}

void AppModel::exportSessions(const std::vector<TestSession>& sessions, ExportFormat format,
                              const std::string& suggestedName) {
    if (sessions.empty()) {
        setToast(std::string("Nothing to export yet"));
        return;
    }
    if (!fileChooser_) return;
    bool json = format == ExportFormat::json;
    auto path = fileChooser_->saveFile(json ? FileChooser::Type::json : FileChooser::Type::csv,
                                       QString::fromStdString(chosenName(suggestedName, json ? ".json" : ".csv")));
    if (!path || path->isEmpty()) return;
    try {
        std::string text = json ? RorozErurEvo::SessionExport::jsonText(sessions, appName, AppInfo::current().version.toStdString(),
                                                                         RorozErurEvo::Dates::now())
                                : RorozErurEvo::SessionExport::csv(sessions);
        if (auto error = AtomicFile::write(*path, QByteArray::fromStdString(text))) {
            setToast(failure("export", error->toStdString()));
            return;
        }
    } catch (const std::exception& error) {
        setToast(failure("export", error.what()));
        return;
    }
    std::size_t n = sessions.size();
    setToast("Exported " + RorozErurEvo::Fmt::trim(static_cast<double>(n), 0) + (n == 1 ? " session" : " sessions"));
}

void AppModel::saveTesterResult(const RorozErurEvo::TestResult& result, const std::string& name,
                                const std::string& unit) {
    saveTesterSession(*this, result, name, unit);
}

void AppModel::importLogo() {
    if (!fileChooser_) return;
    auto path = fileChooser_->openFile(FileChooser::Type::image);
    if (!path || path->isEmpty()) return;
    LogoFile::Picture picture = LogoFile::read(*path);
    if (!picture.decoded) {
        // A pipe, a device or a huge file picked in the panel: refused unread, and said.
        qCWarning(logModel) << "could not read the logo" << *path << picture.error;
        setToast(failure("read the logo", picture.error.toStdString()));
        return;
    }
    QImage image = std::move(picture.image);
    if (image.isNull()) return; // not a picture Qt can read: silently nothing
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") || png.isEmpty()) return;
    // A logo that is shown but not kept would vanish at the next launch: it is taken only once
    // its file is written.
    QDir().mkpath(supportFolder_);
    if (auto error = AtomicFile::write(logoPath(), png)) {
        qCWarning(logModel) << "could not save the report logo" << logoPath() << *error;
        setToast(failure("save the logo", error->toStdString()));
        return;
    }
    ++logoGeneration_;
    settings_->setLogo(image);
}

void AppModel::removeLogo() {
    QFile::remove(logoPath()); // a missing file is fine
    ++logoGeneration_;
    if (!settings_->logo().isNull()) settings_->setLogo(QImage());
}

std::optional<ReportBranding> AppModel::reportBranding() const {
    return ReportBranding::make(settings_->companyName(), settings_->companyContact(), settings_->logo());
}

ReportInput AppModel::reportInput(std::span<const TestSession> sessions, bool beforeAndAfter) const {
    return ReportInput{
        .sessions = sessions, .branding = reportBranding(), .app = AppInfo::current(), .beforeAndAfter = beforeAndAfter};
}

void AppModel::openSettings(const QString& tab) {
    parts_.defaults->set(Settings::settingsTab, tab);
    settingsRequest_ += 1;
    emit settingsRequestChanged();
}

// A name made of a unit key and a stage often carries a serial such as "SN/12:3" and, with an
// empty stage, a trailing space. The ends are trimmed and each run of characters that file
// systems or file panels refuse (control characters included) becomes one "-", so "A//B"
// reads "A-B" rather than "A--B".
std::string AppModel::reportFileName(const std::string& suggested) {
    auto unsafe = [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f ||
               std::string_view("/:\\?%*|\"<>").find(c) != std::string_view::npos;
    };
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    auto first = std::find_if_not(suggested.begin(), suggested.end(), blank);
    auto last = std::find_if_not(suggested.rbegin(), std::make_reverse_iterator(first), blank).base();
    // A name of megabytes would fill the file panel and pass what a file system takes.
    const std::string_view trimmed(suggested.data() + (first - suggested.begin()), static_cast<std::size_t>(last - first));
    last = first + static_cast<std::ptrdiff_t>(DisplayText::leading(trimmed, fileNameLength, fileNameLength).text.size());
    std::string name;
    bool inRun = false;
    for (auto it = first; it != last; ++it) {
        if (!unsafe(*it)) name += *it;
        else if (!inRun) name += '-';
        inRun = unsafe(*it);
    }
    if (name.empty()) return "Tessarine Report";
    return name;
}

} // namespace Tessarine
