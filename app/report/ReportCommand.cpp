#include "app/report/ReportCommand.h"

#include <QCommandLineParser>
#include <QFile>

#include <exception>
#include <string>
#include <string_view>

#include "app/report/LogoFile.h"
#include "app/report/ReportPDF.h"
#include "testkit/ControlCharacters.h"
#include "testkit/SessionArchive.h"
#include "testkit/ToolOutput.h"

namespace Tessarine::ReportCommand {

using RorozErurEvo::TestSession;

namespace {

const QString tool = QStringLiteral("tessarine-report");
// Printed under every mistake on the command line.
const QString usageLine = QStringLiteral(
    "Usage: tessarine-report --in session.json [--in more.json ...] --out report.pdf [--company name]\n"
    "                        [--contact text] [--logo file]");

// Why the tool stops, worded for the person at the terminal.
struct Failure {
    QString message;
};

// A message as the terminal gets it: the file names and arguments in it are the caller's, and a
// newline or an escape sequence among them is shown, not obeyed.
QString shown(const QString& message) {
    return QString::fromStdString(RorozErurEvo::ControlCharacters::escaped(message.toStdString()));
}

// By the session folder's rules: a pipe, a device or a file bigger than any session is refused
// unread, so the tool can neither hang nor run out of memory on what it is given.
TestSession readSession(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    try {
        return RorozErurEvo::SessionArchive::readFile(std::string(local.constData(), static_cast<std::size_t>(local.size())));
    } catch (const RorozErurEvo::UnreadableFile& error) {
        throw Failure{QStringLiteral("Couldn't read %1: %2").arg(path, QString::fromUtf8(error.what()))};
    } catch (const std::exception& error) {
        throw Failure{QStringLiteral("%1 is not a session file: %2").arg(path, QString::fromUtf8(error.what()))};
    }
}

// A logo is read by the same rules: a pipe or a device given as the picture must not hang the
// tool either.
QImage readLogo(const QString& path) {
    LogoFile::Picture logo = LogoFile::read(path);
    if (logo.image.isNull()) throw Failure{QStringLiteral("Couldn't read the logo %1: %2").arg(path, logo.error)};
    return logo.image;
}

QString exitStatuses() {
    return QStringLiteral("\nExit status:\n"
                          "  0  The report was written (or this help or the version was shown).\n"
                          "  1  A session file or the logo couldn't be read, or the report couldn't be saved;\n"
                          "     the report file is then left as it was.\n"
                          "  2  The command line is wrong: an unknown option, or no --in or --out.\n");
}

} // namespace

std::variant<int, Request> parse(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the PDF report of saved Tessarine session files."));
    const QCommandLineOption in(QStringLiteral("in"), QStringLiteral("A saved session file; repeat for more."),
                                QStringLiteral("session.json"));
    const QCommandLineOption output(QStringLiteral("out"), QStringLiteral("The PDF file to write; - for standard output."),
                                    QStringLiteral("report.pdf"));
    const QCommandLineOption company(QStringLiteral("company"), QStringLiteral("Company name in the header."),
                                     QStringLiteral("name"));
    const QCommandLineOption contact(QStringLiteral("contact"), QStringLiteral("Contact line under the company name."),
                                     QStringLiteral("text"));
    const QCommandLineOption logo(QStringLiteral("logo"), QStringLiteral("Logo picture (PNG, JPEG, …)."),
                                  QStringLiteral("file"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version."));
    parser.addOptions({in, output, company, contact, logo, help, version});

    // A wrong command line is told apart from a run that failed, so a script can tell a typo
    // from a bad session file.
    auto usage = [&](const QString& message) {
        err << tool << ": " << shown(message) << '\n' << usageLine << Qt::endl;
        return usageError;
    };
    if (!parser.parse(arguments)) return usage(parser.errorText() + QStringLiteral(" (see --help)"));
    if (parser.isSet(help)) {
        // The parser's own first line names the program as it was started (or not at all before
        // the application object exists); the tool's usage line says more.
        const QString text = parser.helpText();
        out << usageLine << text.mid(text.indexOf(QLatin1Char('\n'))) << exitStatuses();
        out.flush();
        return 0;
    }
    if (parser.isSet(version)) {
        out << tool << ' ' << AppInfo::current().version << Qt::endl;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("Unexpected argument %1; session files are given with --in.")
                         .arg(parser.positionalArguments().front()));
    if (!parser.isSet(in)) return usage(QStringLiteral("Give at least one session file with --in."));
    if (!parser.isSet(output) || parser.value(output).isEmpty())
        return usage(QStringLiteral("Give the PDF file to write with --out."));
    return Request{
        .sessions = parser.values(in),
        .out = parser.value(output),
        .company = parser.value(company),
        .contact = parser.value(contact),
        .logo = parser.isSet(logo) ? std::optional(parser.value(logo)) : std::nullopt,
    };
}

int make(const Request& request, QTextStream& err, int standardOutput) {
    try {
        std::vector<TestSession> sessions;
        for (const QString& path : request.sessions) sessions.push_back(readSession(path));
        QImage picture = request.logo ? readLogo(*request.logo) : QImage();
        const ReportInput input{
            .sessions = sessions,
            .branding = ReportBranding::make(request.company.toStdString(), request.contact.toStdString(), picture),
            .app = AppInfo::current(),
        };
        QByteArray pdf;
        try {
            pdf = ReportPDF::render(input);
        } catch (const std::exception& error) {
            throw Failure{QStringLiteral("Couldn't save the report: ") + QString::fromUtf8(error.what())};
        }
        const QByteArray target = QFile::encodeName(request.out);
        if (auto error = RorozErurEvo::ToolOutput::write(
                std::string(target.constData(), static_cast<std::size_t>(target.size())),
                std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())), standardOutput))
            throw Failure{QStringLiteral("Couldn't save the report: ") + QString::fromStdString(*error)};
    } catch (const Failure& failure) {
        err << tool << ": " << shown(failure.message) << Qt::endl;
        return runFailed;
    }
    return 0;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, int standardOutput) {
    auto request = parse(arguments, out, err);
    if (const int* status = std::get_if<int>(&request)) return *status;
    return make(std::get<Request>(request), err, standardOutput);
}

} // namespace Tessarine::ReportCommand
