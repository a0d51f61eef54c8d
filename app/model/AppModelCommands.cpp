// The session commands: saving a unit's session, the listing text, the PDF report and the JSON
// and CSV exports, the report logo and branding, and the request for the settings window.
// Every outcome reaches the user as a toast; a cancelled panel and a file that holds no picture
// end silently.
#include <QBuffer>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <utility>

#include "app/model/AppModel.h"

#include "app/base/Assign.h"
#include "app/base/Logging.h"
#include "app/model/AtomicFile.h"
#include "app/model/FreedMemory.h"
#include "app/model/TesterSessions.h"
#include "app/report/LogoFile.h"
#include "testkit/Date.h"
#include "testkit/DisplayText.h"
#include "testkit/Fmt.h"
#include "testkit/ListingText.h"
#include "testkit/PendingWrites.h"
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

TestSession AppModel::saveSession(const std::shared_ptr<InputDevice>& device, UnitRecord record, Saved done) {
    lists_->setUnit(device->id(), std::move(record));
    TestSession session = makeSession(*device);
    QPointer<AppModel> self(this);
    const std::string saved = "Saved: " + RorozErurEvo::PendingWrites::sessionName(session.unitKey(), session.label);
    library_->saveInBackground(session, [self, weak = std::weak_ptr<InputDevice>(device), results = session.results, saved,
                                         done = std::move(done)](const std::optional<std::string>& error) {
        if (!self) return;
        if (error) {
            self->setToast(*error);
        } else {
            // The results saved, unless the runner has moved on since it was asked.
            const auto device = weak.lock();
            const TestRunner* runner = device ? self->lists_->existingRunner(device->id()) : nullptr;
            if (runner && runner->orderedResults() == results) self->runner(device).markSaved();
            self->setToast(saved);
        }
        if (done) done(error);
    });
    return session;
}

void AppModel::copyListing(const TestSession& session) {
    if (clipboard_) clipboard_->setText(QString::fromStdString(RorozErurEvo::ListingSummary::text(session, appName)));
    setToast(std::string("Listing text copied"));
}

void AppModel::removeSession(const RorozErurEvo::Uuid& id) {
    QPointer<AppModel> self(this);
    // A failure is logged by the library, where it happens.
    library_->removeInBackground(id, [self](const std::optional<std::string>& error) {
        if (self && error) self->setToast(*error);
    });
}

void AppModel::writeInBackground(const QString& path, QByteArray data, std::string what,
                                 std::function<void(const std::optional<QString>& error)> landed) {
    QPointer<AppModel> self(this);
    auto landing = std::make_shared<decltype(landed)>(std::move(landed));
    parts_.background->runInOrder(path.toStdString(), std::move(what),
                                  [path, data = std::move(data), executor = parts_.executor, self, landing]() mutable {
                                      auto error = std::make_shared<std::optional<QString>>(AtomicFile::write(path, data));
                                      data = QByteArray();
                                      // The landing travels on, so what it holds is let go on the main thread.
                                      executor->post([self, landing = std::move(landing), error] {
                                          if (self && !self->shutDown_) (*landing)(*error);
                                      });
                                  });
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
    QByteArray data;
    try {
        if (!reportRenderer_) throw std::runtime_error("The report renderer is not available.");
        data = reportRenderer_->render(reportInput(sessions, beforeAndAfter));
    } catch (const std::exception& error) {
        setToast(failure("save the report", error.what()));
        return;
    }
    // Written off the main thread: a folder on a disk that stopped answering holds up no window.
    writeInBackground(*path, std::move(data), "writing the report " + path->toStdString(),
                      [this](const std::optional<QString>& error) {
                          if (error) setToast(failure("save the report", error->toStdString()));
                          else setToast(std::string("Report saved"));
                      });
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
    auto whole = std::make_shared<std::vector<SessionLibrary::Whole>>();
    whole->reserve(sessions.size());
    for (const auto& session : sessions) whole->push_back(std::make_shared<const TestSession>(session));
    // Shared, not handed over: the copies made here are let go here, with the list, once the
    // export lands.
    startExport([whole](std::size_t i) { return RorozErurEvo::ExportFile::Read{(*whole)[i], {}}; }, sessions.size(),
                format, suggestedName);
}

void AppModel::exportListed(std::vector<RorozErurEvo::SessionSummary> listed, ExportFormat format,
                            const std::string& suggestedName) {
    const std::size_t count = listed.size();
    auto sessions = std::make_shared<SessionLibrary::Listed>(library_->listed(std::move(listed)));
    startExport([sessions](std::size_t i) { return sessions->read(i); }, count, format, suggestedName);
}

void AppModel::startExport(std::function<RorozErurEvo::ExportFile::Read(std::size_t)> read, std::size_t count,
                           ExportFormat format, const std::string& suggestedName) {
    if (count == 0) {
        setToast(std::string("Nothing to export yet"));
        return;
    }
    if (exportProgress_->count()) {
        // One at a time, so that Cancel is never in doubt about which.
        setToast(std::string("An export is still under way: wait for it or cancel it first"));
        return;
    }
    if (!fileChooser_) return;
    const bool json = format == ExportFormat::json;
    auto path = fileChooser_->saveFile(json ? FileChooser::Type::json : FileChooser::Type::csv,
                                       QString::fromStdString(chosenName(suggestedName, json ? ".json" : ".csv")));
    if (!path || path->isEmpty() || shutDown_) return;
    RorozErurEvo::ExportFile::Job job;
    const QByteArray local = QFile::encodeName(*path);
    job.target = std::string(local.constData(), static_cast<std::size_t>(local.size()));
    job.format = json ? RorozErurEvo::ExportFile::Format::json : RorozErurEvo::ExportFile::Format::csv;
    job.app = appName;
    job.appVersion = AppInfo::current().version.toStdString();
    job.exported = RorozErurEvo::Dates::now();
    job.count = count;
    job.read = std::move(read);

    const std::uint64_t generation = ++exportGeneration_;
    exportRun_ = std::make_shared<ExportRun>();
    exportProgress_->setCount(ExportProgress::Count{0, count});
    exportShownAt_ = parts_.clock->now();
    const std::string what = "exporting " + std::to_string(count) + " sessions to " + path->toStdString();
    parts_.background->runInOrder(
        path->toStdString(), what,
        [job = std::move(job), run = exportRun_, executor = parts_.executor, self = QPointer<AppModel>(this),
         generation]() mutable {
            // Nothing crosses to the main thread until the export ends.
            const auto progress = [&run](std::size_t written) { run->written.store(written); };
            const auto outcome = RorozErurEvo::ExportFile::write(job, run->cancelled, progress);
            if (outcome.state == RorozErurEvo::ExportFile::Outcome::State::failed)
                qCWarning(logModel).noquote() << "could not export to" << QString::fromStdString(job.target.string()) << "-"
                                              << QString::fromStdString(outcome.problem);
            executor->post([self, generation, outcome, count = job.count, read = std::move(job.read)]() mutable {
                // What was read, made on this thread, is let go on it, and then the freed memory
                // goes back to the system, so the application's size after an export is what it
                // was before: neither takes the window's heap lock from the worker.
                read = nullptr;
                if (!self || self->shutDown_) return;
                giveBackFreedMemory();
                self->landExport(generation, outcome, count);
            });
        });
}

void AppModel::landExport(std::uint64_t generation, const RorozErurEvo::ExportFile::Outcome& outcome, std::size_t count) {
    using State = RorozErurEvo::ExportFile::Outcome::State;
    const bool current = generation == exportGeneration_;
    if (current) {
        exportRun_.reset();
        exportProgress_->setCount(std::nullopt);
    }
    // A file written before a cancel could stop it is there all the same: said so.
    if (outcome.state == State::written)
        setToast("Exported " + RorozErurEvo::Fmt::trim(static_cast<double>(count), 0) + (count == 1 ? " session" : " sessions"));
    else if (outcome.state == State::failed && current)
        setToast(failure("export", outcome.problem));
}

void AppModel::showExportProgress(double now) {
    const auto& shown = exportProgress_->count();
    if (!shown || !exportRun_ || now - exportShownAt_ < std::chrono::duration<double>(progressInterval).count()) return;
    exportShownAt_ = now;
    exportProgress_->setCount(ExportProgress::Count{exportRun_->written.load(), shown->total});
}

void AppModel::cancelExport() {
    if (!exportProgress_->count()) return;
    if (exportRun_) exportRun_->cancelled.store(true);
    exportRun_.reset();
    // The export's progress no longer counts; should it have been written whole already, its
    // landing says so.
    ++exportGeneration_;
    exportProgress_->setCount(std::nullopt);
    setToast(std::string("Export cancelled"));
}

void AppModel::saveTesterResult(const RorozErurEvo::TestResult& result, const std::string& name,
                                const std::string& unit) {
    saveTesterSession(*this, result, name, unit);
}

void AppModel::importLogo() {
    if (!fileChooser_) return;
    auto path = fileChooser_->openFile(FileChooser::Type::image);
    if (!path || path->isEmpty()) return;
    // Read, turned into PNG and written off the main thread; the logo is taken once its file is
    // written (a logo shown but not kept would vanish at the next launch). A logo removed or
    // picked meanwhile wins.
    const unsigned generation = ++logoGeneration_;
    QPointer<AppModel> self(this);
    const QString logo = logoPath();
    parts_.background->runInOrder(
        logo.toStdString(), "saving the report logo " + logo.toStdString(),
        [path = *path, logo, folder = supportFolder_, executor = parts_.executor, self, generation] {
            struct Outcome {
                QImage image;
                std::optional<std::string> error; // told to the user
            };
            auto outcome = std::make_shared<Outcome>();
            LogoFile::Picture picture = LogoFile::read(path);
            QByteArray png;
            QBuffer buffer(&png);
            if (!picture.decoded) {
                // A pipe, a device or a huge file picked in the panel: refused unread, and said.
                qCWarning(logModel) << "could not read the logo" << path << picture.error;
                outcome->error = failure("read the logo", picture.error.toStdString());
            } else if (!picture.image.isNull() && buffer.open(QIODevice::WriteOnly) &&
                       picture.image.save(&buffer, "PNG") && !png.isEmpty()) {
                QDir().mkpath(folder);
                if (auto error = AtomicFile::write(logo, png)) {
                    qCWarning(logModel) << "could not save the report logo" << logo << *error;
                    outcome->error = failure("save the logo", error->toStdString());
                } else {
                    outcome->image = std::move(picture.image);
                }
            }
            // Otherwise not a picture Qt can read: silently nothing.
            executor->post([self, generation, outcome] {
                if (!self || self->shutDown_ || generation != self->logoGeneration_) return;
                if (outcome->error) self->setToast(*outcome->error);
                else if (!outcome->image.isNull()) self->settings_->setLogo(outcome->image);
            });
        });
}

void AppModel::removeLogo() {
    ++logoGeneration_;
    if (!settings_->logo().isNull()) settings_->setLogo(QImage());
    // After any logo still being saved; a missing file is fine.
    const QString logo = logoPath();
    parts_.background->runInOrder(logo.toStdString(), "removing the report logo " + logo.toStdString(),
                                  [logo] { QFile::remove(logo); });
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
