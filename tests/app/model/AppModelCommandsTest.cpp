// The session commands: saving, the listing text, the exports and the report with their panels
// and toasts, the report logo and branding, and the settings request.
#include <gtest/gtest.h>

#include "CommandFakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <sys/stat.h>

#include <cmath>

#include "app/model/CommandState.h"
#include "support/HeldWorker.h"
#include "support/TestLog.h"
#include "testkit/ListingText.h"
#include "testkit/SessionExport.h"
#include "support/CsvRows.h"

using namespace Tessarine;
using RorozErurEvo::TestSession;

namespace {

struct CommandBench {
    explicit CommandBench(std::unique_ptr<BackgroundWorker> worker = std::make_unique<InlineWorker>())
        : bench(true, {}, nullptr, nullptr, std::move(worker)) {
        m.setClipboard(clipboard);
        m.setFileChooser(chooser);
        m.setReportRenderer(renderer);
        bench.controllers->list = {pad};
        m.refreshControllers();
    }
    QString out(const QString& name) const { return bench.folder.filePath(name); }
    // Lands what the file work posted back to the main thread.
    void land() { bench.executor->runAll(); }
    std::vector<TestSession> sessions(int n) {
        std::vector<TestSession> list;
        for (int i = 0; i < n; ++i) list.push_back(m.makeSession(*pad));
        return list;
    }
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    std::shared_ptr<Fakes::Clipboard> clipboard = std::make_shared<Fakes::Clipboard>();
    std::shared_ptr<Fakes::Chooser> chooser = std::make_shared<Fakes::Chooser>();
    std::shared_ptr<Fakes::Renderer> renderer = std::make_shared<Fakes::Renderer>();
    std::shared_ptr<InputDevice> pad = Fakes::pad("gc-1", "Bench Pad");
};

// A bench whose file work waits for the test to let it run.
struct HeldBench {
    HeldBench() : worker(*made), c(std::move(made)) {}
    // Starts the JSON export of three new sessions into `name`; they are returned.
    std::vector<TestSession> exportThree(const QString& name) {
        auto three = c.sessions(3);
        c.chooser->answer = c.out(name);
        c.m.exportSessions(three, AppModel::ExportFormat::json, "Unit");
        return three;
    }
    std::unique_ptr<HeldWorker> made = std::make_unique<HeldWorker>();
    HeldWorker& worker;
    CommandBench c;
};

QStringList sessionFiles(const AppModel& m) {
    return QDir(m.sessionsFolder()).entryList(QDir::Files);
}

} // namespace

TEST(AppModelCommands, SavingWritesOneSessionFileAndToastsTheUnitAndStage) {
    CommandBench c;
    c.m.settings().setDefaultTechnician("Robin");
    c.m.runner(c.pad).store("drift|Left Stick|processed", Fakes::someResult(RorozErurEvo::TestKind::drift, "Left Stick"));

    // No serial anywhere: the unit key falls back to the device's name.
    UnitRecord fresh = c.m.deviceLists().unit(*c.pad);
    EXPECT_EQ(fresh, (UnitRecord{.unit = "", .stage = "Before repair", .technician = "Robin"}));
    TestSession saved = c.m.saveSession(c.pad, fresh);
    EXPECT_FALSE(c.m.toast().has_value()) << "told once the file is written";
    c.land();
    EXPECT_EQ(c.m.toast(), "Saved: Bench Pad, Before repair");
    EXPECT_EQ(sessionFiles(c.m), QStringList{QString::fromStdString(saved.id.text()) + ".json"});
    EXPECT_EQ(c.m.deviceLists().units().at("gc-1"), fresh);
    EXPECT_EQ(saved.technician, "Robin");
    EXPECT_EQ(saved.profile, "Your thresholds");
    EXPECT_EQ(saved.results.size(), 1u);
    EXPECT_EQ(c.m.library().sessions().size(), 1u);

    // A cleared stage saves an empty label, named "session" in the toast.
    TestSession unlabelled = c.m.saveSession(c.pad, UnitRecord{.unit = " SN-7 ", .stage = ""});
    c.land();
    EXPECT_EQ(unlabelled.label, "");
    EXPECT_EQ(c.m.toast(), "Saved: SN-7, session");
    EXPECT_EQ(sessionFiles(c.m).size(), 2);
}

TEST(AppModelCommands, ASaveThatCannotBeWrittenToastsWhyAndKeepsTheRecord) {
    CommandBench c;
    QFile blocker(c.m.sessionsFolder()); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    std::optional<std::string> heard;
    // The log has it too, naming the session and the cause.
    TestLog::ExpectedWarnings logged("tessarine.model",
                                     QString::fromUtf8("Couldn't save the session \u201CSN-1, Intake\u201D: could not create the folder "));
    TestSession session = c.m.saveSession(c.pad, UnitRecord{.unit = "SN-1", .stage = "Intake"},
                                          [&](const std::optional<std::string>& error) { heard = error; });
    c.land();
    EXPECT_EQ(logged.count(), 1);
    ASSERT_TRUE(c.m.toast().has_value());
    EXPECT_EQ(heard, c.m.toast()) << "the caller hears what the user was told";
    EXPECT_TRUE(c.m.toast()->starts_with("Couldn't save the session: ")) << *c.m.toast();
    EXPECT_EQ(session.unit, "SN-1") << "the built session is returned all the same";
    EXPECT_EQ(c.m.deviceLists().units().at("gc-1").unit, "SN-1");
    EXPECT_TRUE(c.m.library().sessions().empty());
}

TEST(AppModelCommands, ExportAsksForAFileAndWritesJSONThatReadsBack) {
    CommandBench c;
    c.m.exportSessions({}, AppModel::ExportFormat::json, "Unit");
    EXPECT_EQ(c.m.toast(), "Nothing to export yet");
    EXPECT_TRUE(c.chooser->asked.empty());
    c.m.setToast(std::nullopt);

    auto one = c.sessions(1);
    c.chooser->answer = std::nullopt; // cancelled
    c.m.exportSessions(one, AppModel::ExportFormat::json, "A/B: C");
    ASSERT_EQ(c.chooser->asked.size(), 1u);
    EXPECT_EQ(c.chooser->asked[0].type, FileChooser::Type::json);
    EXPECT_EQ(c.chooser->asked[0].name, "A-B- C.json");
    EXPECT_FALSE(c.m.toast().has_value()) << "a cancelled panel says nothing";

    c.chooser->answer = c.out("export.json");
    c.m.exportSessions(one, AppModel::ExportFormat::json, "Unit");
    EXPECT_TRUE(c.m.exportProgress().count().has_value()) << "under way until it lands";
    c.land();
    EXPECT_FALSE(c.m.exportProgress().count().has_value());
    EXPECT_EQ(c.m.toast(), "Exported 1 session");
    QFile file(c.out("export.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto back = RorozErurEvo::SessionExport::sessionsFromJson(file.readAll().toStdString());
    EXPECT_EQ(back, one);

    auto three = c.sessions(3);
    c.chooser->answer = c.out("export.csv");
    c.m.exportSessions(three, AppModel::ExportFormat::csv, "Unit");
    c.land();
    EXPECT_EQ(c.chooser->asked.back().type, FileChooser::Type::csv);
    EXPECT_EQ(c.chooser->asked.back().name, "Unit.csv");
    EXPECT_EQ(c.m.toast(), "Exported 3 sessions");
    QFile csv(c.out("export.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(CsvRows::parse(csv.readAll().toStdString()).size(), 4u) << "header and one row per session";
}

TEST(AppModelCommands, AnExportThatCannotBeWrittenOrEncodedToastsWhy) {
    CommandBench c;
    auto one = c.sessions(1);
    c.chooser->answer = c.out("no such folder/export.json");
    {
        TestLog::ExpectedWarnings logged("tessarine.model", "could not export");
        c.m.exportSessions(one, AppModel::ExportFormat::json, "Unit");
        c.land();
        EXPECT_EQ(logged.count(), 1);
    }
    ASSERT_TRUE(c.m.toast().has_value());
    EXPECT_TRUE(c.m.toast()->starts_with("Couldn't export: ")) << *c.m.toast();
    EXPECT_GT(c.m.toast()->size(), std::string("Couldn't export: ").size()) << "with the system's description";

    // A number that is not finite cannot be encoded; nothing is written.
    auto broken = Fakes::someResult(RorozErurEvo::TestKind::drift, "Left Stick");
    broken.measures.push_back(RorozErurEvo::Measure{.id = "offset", .label = "Offset", .value = std::nan(""), .unit = RorozErurEvo::MeasureUnit::percent, .limit = std::nullopt});
    one[0].results = {broken};
    c.chooser->answer = c.out("broken.json");
    {
        TestLog::ExpectedWarnings logged("tessarine.model", "could not export");
        c.m.exportSessions(one, AppModel::ExportFormat::json, "Unit");
        c.land();
    }
    EXPECT_TRUE(c.m.toast()->starts_with("Couldn't export: ")) << *c.m.toast();
    EXPECT_FALSE(QFile::exists(c.out("broken.json")));
}

TEST(AppModelCommands, TheWholeHistoryIsExportedFromItsFilesASessionAtATime) {
    CommandBench c;
    std::vector<TestSession> saved = c.sessions(3);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        saved[i].date = RorozErurEvo::Dates::fromSeconds(1.7e9 + static_cast<double>(i));
        saved[i].notes = "notes/" + std::to_string(i);
        ASSERT_TRUE(c.m.library().save(saved[i]));
    }
    c.m.library().load(); // listed from the folder: nothing at hand, each read from its file
    c.chooser->answer = c.out("all.csv");
    c.m.exportListed(c.m.library().sessions(), AppModel::ExportFormat::csv, "Tessarine sessions");
    EXPECT_EQ(c.chooser->asked.back().name, "Tessarine sessions.csv");
    c.land();
    EXPECT_EQ(c.m.toast(), "Exported 3 sessions");
    QFile csv(c.out("all.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().toStdString(), RorozErurEvo::SessionExport::csv({saved[2], saved[1], saved[0]}));

    // A session whose file went since it was listed stops the export, naming it; no file is made.
    QFile::remove(QString::fromStdString(c.m.library().archive()->url(saved[1].id).string()));
    c.chooser->answer = c.out("all.json");
    {
        TestLog::ExpectedWarnings logged("tessarine.model", "could not");
        c.m.exportListed(c.m.library().sessions(), AppModel::ExportFormat::json, "Tessarine sessions");
        c.land();
        EXPECT_EQ(logged.count(), 2) << "the file that could not be read, and the export";
    }
    ASSERT_TRUE(c.m.toast());
    EXPECT_TRUE(c.m.toast()->starts_with("Couldn't export: ")) << *c.m.toast();
    EXPECT_TRUE(c.m.toast()->ends_with(": its file was deleted after the history was listed")) << *c.m.toast();
    EXPECT_FALSE(QFile::exists(c.out("all.json")));
}

TEST(AppModelCommands, OneExportRunsAtATimeAndACancelledOneLeavesNoFile) {
    HeldBench held;
    HeldWorker& worker = held.worker;
    CommandBench& c = held.c;
    const auto three = held.exportThree("three.json");
    EXPECT_EQ(c.m.exportProgress().count(), (ExportProgress::Count{0, 3}));
    c.m.exportSessions(three, AppModel::ExportFormat::csv, "Unit");
    EXPECT_EQ(c.chooser->asked.size(), 1u) << "refused before asking for a file";
    EXPECT_EQ(c.m.toast(), "An export is still under way: wait for it or cancel it first");

    c.m.cancelExport();
    EXPECT_FALSE(c.m.exportProgress().count().has_value());
    EXPECT_EQ(c.m.toast(), "Export cancelled");
    worker.release();
    c.land();
    EXPECT_FALSE(QFile::exists(c.out("three.json")));
    EXPECT_EQ(QDir(c.bench.folder.path()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden), QStringList{});
    EXPECT_EQ(c.m.toast(), "Export cancelled") << "the cancelled export lands nothing";

    // Quitting cancels the export under way too.
    c.chooser->answer = c.out("quit.json");
    c.m.exportSessions(three, AppModel::ExportFormat::json, "Unit");
    c.m.shutdown();
    worker.release();
    c.land();
    EXPECT_FALSE(QFile::exists(c.out("quit.json")));
}

TEST(AppModelCommands, AnExportsCountIsShownOnTheFrameTickAndOnlyItsEndIsPosted) {
    HeldBench held;
    HeldWorker& worker = held.worker;
    CommandBench& c = held.c;
    held.exportThree("three.json");
    worker.release();
    // Nothing the worker made reaches the main thread while it writes: the window's thread would
    // free it, and its heap's lock is then the worker's to hold.
    EXPECT_EQ(c.bench.executor->pending(), 1) << "the outcome alone";
    c.m.tick(c.bench.clock.now());
    EXPECT_EQ(c.m.exportProgress().count(), (ExportProgress::Count{0, 3})) << "no sooner than progressInterval";
    c.bench.clock.advance(1.5 * std::chrono::duration<double>(AppModel::progressInterval).count());
    c.m.tick(c.bench.clock.now());
    EXPECT_EQ(c.m.exportProgress().count(), (ExportProgress::Count{3, 3})) << "the worker's count";
    c.land();
    EXPECT_FALSE(c.m.exportProgress().count().has_value());
    EXPECT_EQ(c.m.toast(), "Exported 3 sessions");
    c.m.tick(c.bench.clock.now() + 1);
    EXPECT_FALSE(c.m.exportProgress().count().has_value()) << "a tick after the end shows nothing";
}

TEST(AppModelCommands, TheReportIsRenderedIntoTheChosenFileOrItsFailureToasted) {
    CommandBench c;
    c.m.exportPDF({}, "Unit");
    EXPECT_TRUE(c.chooser->asked.empty()) << "no sessions, no panel";
    EXPECT_FALSE(c.m.toast().has_value());

    auto two = c.sessions(2);
    c.m.exportPDF(two, "Unit"); // cancelled
    EXPECT_EQ(c.chooser->asked.back().type, FileChooser::Type::pdf);
    EXPECT_EQ(c.chooser->asked.back().name, "Unit.pdf");
    EXPECT_EQ(c.renderer->rendered, 0);
    EXPECT_FALSE(c.m.toast().has_value());

    c.chooser->answer = c.out("report.pdf");
    c.m.settings().setCompanyName("Fixit Ltd");
    c.m.exportPDF(two, "Unit");
    EXPECT_FALSE(c.m.toast().has_value()) << "told once the file is written";
    c.land();
    EXPECT_EQ(c.m.toast(), "Report saved");
    EXPECT_EQ(c.renderer->rendered, 2);
    EXPECT_EQ(c.renderer->branding, c.m.reportBranding()) << "the report carries the shop's branding";
    ASSERT_TRUE(c.renderer->branding.has_value());
    EXPECT_EQ(c.renderer->app.version, AppInfo::current().version);
    EXPECT_EQ(c.renderer->app.scopeNote, AppInfo::current().scopeNote);
    EXPECT_TRUE(QFile::exists(c.out("report.pdf")));

    c.renderer->failure = "the page could not be drawn";
    c.m.exportPDF(two, "Unit");
    EXPECT_EQ(c.m.toast(), "Couldn't save the report: the page could not be drawn");

    // A named pipe chosen as the file is refused and stays a pipe, as would a device.
    c.renderer->failure.reset();
    const QString pipe = c.out("pipe.pdf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    c.chooser->answer = pipe;
    c.m.exportPDF(two, "Unit");
    c.land();
    EXPECT_EQ(c.m.toast(), "Couldn't save the report: " + pipe.toStdString() + " is not a regular file");
    EXPECT_EQ(QFileInfo(pipe).isFile(), false);
    EXPECT_TRUE(QFileInfo::exists(pipe));
}

TEST(AppModelCommands, PrintingGoesToTheRendererAndAFailureIsToasted) {
    CommandBench c;
    c.m.printReport({});
    EXPECT_EQ(c.renderer->printed, 0);
    c.m.printReport(c.sessions(2));
    EXPECT_EQ(c.renderer->printed, 2);
    EXPECT_FALSE(c.m.toast().has_value());

    c.renderer->failure = "the printer is offline";
    c.m.printReport(c.sessions(1));
    EXPECT_EQ(c.m.toast(), "Couldn't print the report: the printer is offline");

    c.m.setReportRenderer(nullptr);
    c.m.printReport(c.sessions(1));
    EXPECT_EQ(c.m.toast(), "Couldn't print the report: The report renderer is not available.");
}

TEST(AppModelCommands, ReportFileNamesAreTrimmedAndEachRunOfUnsafeCharactersIsOneDash) {
    EXPECT_EQ(AppModel::reportFileName("A/B: C"), "A-B- C");
    EXPECT_EQ(AppModel::reportFileName("a\\b?c%d*e|f\"g<h>i"), "a-b-c-d-e-f-g-h-i");
    EXPECT_EQ(AppModel::reportFileName("SN/12:3 "), "SN-12-3");
    EXPECT_EQ(AppModel::reportFileName("A//B C"), "A-B C");
    EXPECT_EQ(AppModel::reportFileName("a/:*?b\nc"), "a-b-c") << "a run, and a control character";
    EXPECT_EQ(AppModel::reportFileName(" \t "), "Tessarine Report");
    EXPECT_EQ(AppModel::reportFileName(""), "Tessarine Report");
    EXPECT_EQ(AppModel::reportFileName("  Pad 7 "), "Pad 7");
    EXPECT_EQ(AppModel::reportFileName("Ünit/7"), "Ünit-7") << "other characters stay as they are";
    // A unit of megabytes is offered as a name a file system takes, cut between characters.
    const std::string name = AppModel::reportFileName(std::string(30u << 20, 'u') + " " + std::string(10, 'x'));
    EXPECT_EQ(name, std::string(60, 'u'));
    const std::string wide = AppModel::reportFileName(std::string(300, ' ') + "\U0001F600" + std::string(100, 'x'));
    EXPECT_EQ(wide, "\U0001F600" + std::string(59, 'x'));
    EXPECT_LE((wide + ".json").size(), 255u);
}

TEST(AppModelCommands, ExportsOfferTheUnitAndStageAsACleanName) {
    CommandBench c;
    c.chooser->answer = std::nullopt;
    TestSession serial = c.m.makeSession(*c.pad);
    serial.unit = "SN/12:3 ";
    serial.label = "";
    c.m.exportSessions({serial}, AppModel::ExportFormat::csv, Commands::suggestedName(serial));
    TestSession doubled = serial;
    doubled.unit = "A//B";
    doubled.label = "C";
    c.m.exportSessions({doubled}, AppModel::ExportFormat::json, Commands::suggestedName(doubled));
    c.m.exportPDF({doubled}, Commands::suggestedName(doubled));
    ASSERT_EQ(c.chooser->asked.size(), 3u);
    EXPECT_EQ(c.chooser->asked[0].name, "SN-12-3.csv");
    EXPECT_EQ(c.chooser->asked[1].name, "A-B C.json");
    EXPECT_EQ(c.chooser->asked[2].name, "A-B C.pdf");
}

TEST(AppModelCommands, CopyingPutsTheListingTextOnTheClipboard) {
    CommandBench c;
    TestSession session = c.m.makeSession(*c.pad);
    c.m.copyListing(session);
    EXPECT_EQ(c.clipboard->texts, QStringList{QString::fromStdString(RorozErurEvo::ListingSummary::text(session, "Tessarine"))});
    EXPECT_EQ(c.m.toast(), "Listing text copied");
}

TEST(AppModelCommands, TheLogoIsImportedAsPNGAndRemovedSilently) {
    CommandBench c;
    EXPECT_FALSE(c.m.reportBranding().has_value());

    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(c.out("logo.jpg"), "JPEG"));
    c.chooser->answer = c.out("logo.jpg");
    c.m.importLogo();
    EXPECT_TRUE(c.m.settings().logo().isNull()) << "taken once its file is written";
    c.land();
    EXPECT_EQ(c.chooser->asked.back().type, FileChooser::Type::image);
    ASSERT_FALSE(c.m.settings().logo().isNull());
    EXPECT_EQ(c.m.settings().logo().size(), QSize(4, 3));
    QImage kept(c.m.logoPath(), "PNG");
    EXPECT_EQ(kept.size(), QSize(4, 3)) << "kept as PNG in the data folder";
    auto branding = c.m.reportBranding();
    ASSERT_TRUE(branding.has_value()) << "a logo alone brands the report";
    EXPECT_EQ(branding->name, "");

    // Something that is not a picture changes nothing and says nothing.
    QFile text(c.out("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    c.chooser->answer = c.out("notes.txt");
    c.m.importLogo();
    c.land();
    EXPECT_FALSE(c.m.settings().logo().isNull());
    EXPECT_FALSE(c.m.toast().has_value());

    // A pipe picked in the panel is refused unread, and said; the logo stays.
    ASSERT_EQ(::mkfifo(QFile::encodeName(c.out("pipe.png")).constData(), 0600), 0);
    c.chooser->answer = c.out("pipe.png");
    {
        TestLog::ExpectedWarnings logged("tessarine.model", "could not read the logo");
        c.m.importLogo();
        c.land();
        EXPECT_EQ(logged.count(), 1);
    }
    EXPECT_EQ(c.m.settings().logo().size(), QSize(4, 3));
    EXPECT_EQ(c.m.toast(), "Couldn't read the logo: not a regular file");
    c.m.setToast(std::nullopt);

    c.m.removeLogo();
    c.land();
    EXPECT_TRUE(c.m.settings().logo().isNull());
    EXPECT_FALSE(QFile::exists(c.m.logoPath()));
    c.m.removeLogo(); // no file any more: still silent
    EXPECT_FALSE(c.m.toast().has_value());

    c.m.settings().setCompanyName("Fixit Ltd");
    c.m.settings().setCompanyContact("fixit@example.com");
    EXPECT_EQ(c.m.reportBranding(), (ReportBranding{"Fixit Ltd", "fixit@example.com", QImage()}));
}

TEST(AppModelCommands, SaveAndSettingsRequestsReachTheWindowLayer) {
    CommandBench c;
    c.m.requestSave(nullptr);
    EXPECT_EQ(c.m.navigation().saveSheetDevice(), nullptr);
    c.m.requestSave(c.pad);
    EXPECT_EQ(c.m.navigation().saveSheetDevice(), c.pad);

    c.m.openSettings("reports");
    c.m.openSettings("reports");
    EXPECT_EQ(c.m.settingsRequest(), 2) << "every request counts, even for the same tab";
    EXPECT_EQ(c.bench.defaults->string("settingsTab"), QString("reports"));
}
