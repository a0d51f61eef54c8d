// The command-line report: session files in, a PDF out, and a clear refusal of bad input that
// leaves an existing report untouched.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "PdfTools.h"
#include "app/report/AppInfo.h"
#include "app/report/ReportCommand.h"
#include "support/ReportSamples.h"
#include "support/TestFiles.h"
#include "testkit/SessionArchive.h"

using namespace Tessarine;

namespace {

struct Outcome {
    int status = 0;
    QString out;
    QString err;
};

struct Folder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& data) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return path(name);
    }
    QString session(const QString& name, int results) const {
        return write(name, QByteArray::fromStdString(RorozErurEvo::SessionCoder::encode(ReportSamples::session(results))));
    }
};

Outcome run(QStringList arguments, int standardOutput = -1) {
    Outcome r;
    QTextStream out(&r.out), err(&r.err);
    arguments.prepend(QStringLiteral("tessarine-report"));
    r.status = ReportCommand::run(arguments, out, err, standardOutput);
    return r;
}

// Everything a reader of the pipe at `from` receives, copied by a child process into `to`.
pid_t copyFromPipe(const QString& from, const QString& to) {
    return TestFiles::copyFromPipe(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString());
}

} // namespace

TEST(ReportCommand, WritesTheReportOfEverySessionGivenInOrder) {
    REQUIRE_PDF_TOOLS();
    Folder f;
    QImage logo(64, 32, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save(f.path(QStringLiteral("logo.png"))));
    QString out = f.path(QStringLiteral("out.pdf"));
    Outcome r = run({"--in", f.session("a.json", 20), "--in", f.session("b.json", 2), "--out", out, "--company",
                 "Fixit Shop", "--contact", "fixit@example.com", "--logo", f.path("logo.png")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());

    PdfTools::Document pdf(out);
    EXPECT_EQ(pdf.pageCount(), 3);
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Fixit Shop")));
    EXPECT_TRUE(pdf.text(3).contains(QStringLiteral("fixit@example.com")));
}

TEST(ReportCommand, BadInputStopsWithTheFileAndTheCauseAndLeavesTheOldReport) {
    Folder f;
    QString out = f.write(QStringLiteral("out.pdf"), "old report");
    QString good = f.session(QStringLiteral("good.json"), 1);
    QString notSession = f.write(QStringLiteral("list.json"), R"({"sessions": []})");
    QString notJson = f.write(QStringLiteral("notes.txt"), "hello");
    QString missing = f.path(QStringLiteral("missing.json"));

    struct Case {
        QStringList arguments;
        QString message;
        int status;  // 1: a run that failed; 2: a wrong command line
    };
    const std::vector<Case> cases{
        {{"--in", good, "--in", missing, "--out", out}, "Couldn't read " + missing + ": ", 1},
        {{"--in", notSession, "--out", out}, notSession + " is not a session file: ", 1},
        {{"--in", notJson, "--out", out}, notJson + " is not a session file: ", 1},
        {{"--in", good, "--out", out, "--logo", notJson}, "Couldn't read the logo " + notJson + ": ", 1},
        {{"--out", out}, "Give at least one session file with --in.", 2},
        {{"--in", good}, "Give the PDF file to write with --out.", 2},
        {{"--in", good, "--out", out, "--colour", "red"}, "Unknown option 'colour'", 2},
        {{good, "--out", out}, "Unexpected argument " + good, 2},
    };
    for (const Case& c : cases) {
        Outcome r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("tessarine-report: " + c.message)) << r.err.toStdString();
        // A mistake on the command line is answered with the usage line, as the application does.
        EXPECT_EQ(r.err.contains("\nUsage: tessarine-report --in "), c.status == 2) << r.err.toStdString();
    }
    QFile kept(out);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old report");
}

// The names on the command line are the caller's: a newline or an escape sequence in one is shown
// in the message, and cannot forge a line of it or give the terminal an order.
TEST(ReportCommand, ControlCharactersInTheNamesGivenAreShownEscaped) {
    Folder f;
    const QString dir = f.path(QString());
    Outcome r = run({"--in", dir + "a\n\x1b[2Jb.json", "--out", f.path("out.pdf")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("tessarine-report: Couldn't read " + dir + "a\\n\\x1b[2Jb.json: ")) << r.err.toStdString();
    r = run({"x\ry", "--out", f.path("out.pdf")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("tessarine-report: Unexpected argument x\\ry; ")) << r.err.toStdString();
}

TEST(ReportCommand, SpecialOrOversizeSessionFilesAreRefusedUnread) {
    Folder f;
    QString out = f.write(QStringLiteral("out.pdf"), "old report");
    // A pipe with no writer would block a plain read forever.
    QString pipe = f.path(QStringLiteral("pipe.json"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Sparse: bigger than any session file the folder reads, without taking the disk.
    QString huge = f.path(QStringLiteral("huge.json"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(RorozErurEvo::SessionArchive::maxFileBytes) + 1));
    }
    for (const auto& [path, cause] : {std::pair{pipe, QStringLiteral("not a regular file")},
                                      std::pair{huge, QStringLiteral("larger than 32 MB")}}) {
        Outcome r = run({"--in", path, "--out", out});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "tessarine-report: Couldn't read " + path + ": " + cause + "\n");
    }
    // A logo is read by the same rules.
    Outcome r = run({"--in", f.session(QStringLiteral("good.json"), 1), "--out", out, "--logo", pipe});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tessarine-report: Couldn't read the logo " + pipe + ": not a regular file\n");
    QFile kept(out);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old report");
}

TEST(ReportCommand, ThePDFStreamsIntoAPipeOrStandardOutput) {
    REQUIRE_PDF_TOOLS();
    Folder f;
    QString session = f.session(QStringLiteral("a.json"), 20);
    QString pipe = f.path(QStringLiteral("report.pdf")), copy = f.path(QStringLiteral("copy.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const pid_t reader = copyFromPipe(pipe, copy);
    ASSERT_GT(reader, 0);
    Outcome r = run({"--in", session, "--out", pipe});
    ::waitpid(reader, nullptr, 0);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(PdfTools::Document(copy).pageCount(), 2);
    EXPECT_TRUE(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile()) << "the pipe is still a pipe";

    // "-": the descriptor standing for standard output, read back through a second pipe.
    QString viaStdout = f.path(QStringLiteral("stdout.pdf"));
    QString second = f.path(QStringLiteral("second"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(second).constData(), 0600), 0);
    const pid_t secondReader = copyFromPipe(second, viaStdout);
    const int fd = ::open(QFile::encodeName(second).constData(), O_WRONLY);
    ASSERT_GE(fd, 0);
    r = run({"--in", session, "--out", "-"}, fd);
    ::close(fd);
    ::waitpid(secondReader, nullptr, 0);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << "nothing but the PDF goes to standard output";
    EXPECT_EQ(PdfTools::Document(viaStdout).pageCount(), 2);
}

TEST(ReportCommand, AReportThatCannotBeWrittenSaysWhyAndLeavesNoFile) {
    Folder f;
    QString out = f.path(QStringLiteral("no-such-folder/out.pdf"));
    Outcome r = run({"--in", f.session("a.json", 1), "--out", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("tessarine-report: Couldn't save the report: "))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.json")})
        << "no temporary file is left behind";
}

// Run as root with its report in a folder every user may write to (as /tmp), the tool neither
// hands the report to a pipe another user planted at its name nor waits there for the planter to
// read: it says why and stops, and the pipe was never opened. Making the pipe another user's takes
// root.
TEST(ReportCommand, APipeAnotherUserPlantedInASharedFolderIsRefusedAtOnce) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root and a user \"nobody\" to make another user's pipe";
    Folder f;
    const QString shared = f.path(QStringLiteral("shared")), out = shared + QStringLiteral("/report.pdf");
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(out).constData(), 0666), 0);
    ASSERT_EQ(::chown(QFile::encodeName(out).constData(), nobody->pw_uid, nobody->pw_gid), 0);
    TestFiles::PipeWatch watch(QFile::encodeName(out).toStdString());
    ASSERT_TRUE(watch.watching());
    Outcome r = run({"--in", f.session("a.json", 1), "--out", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("tessarine-report: Couldn't save the report: could not write \u201C%1\u201D: "
                                    "\u201C%1\u201D is a named pipe another user made in a folder every user can "
                                    "write to; such a pipe is not written to\n")
                         .arg(out));
    EXPECT_FALSE(watch.opened());
    EXPECT_EQ(watch.received(), "");
}

TEST(ReportCommand, HelpNamesEveryOptionAndExitStatusAndVersionPrintsIt) {
    Outcome r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--in", "--out", "--company", "--contact", "--logo", "--version"})
        EXPECT_TRUE(r.out.contains(QLatin1String(option))) << option;
    for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  "})
        EXPECT_TRUE(r.out.contains(QLatin1String(status))) << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty());

    Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tessarine-report " + AppInfo::current().version + "\n");
}
