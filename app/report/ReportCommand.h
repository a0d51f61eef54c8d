#pragma once
// The command-line tool that makes a report from saved session files without the application:
//
//   tessarine-report --in a.json [--in b.json …] --out report.pdf|-
//                    [--company NAME] [--contact TEXT] [--logo PICTURE]
//
// The sessions are reported in the order given. Session files are read as the session folder
// reads them (regular files no bigger than its limit). Anything that cannot be read (a missing
// file, a pipe or device, a file too big, a file that is not a session, a picture that is not
// one) stops the tool with a message that names the file and the cause, and exit status 1; the
// report file is then not touched. The report goes to a file, replaced whole; "-" sends it to
// standard output, and a named pipe or character device given as --out receives it as a stream;
// another user's file, pipe, device or link at that name in a shared sticky folder (as /tmp) is
// refused.
// A wrong command line ends it with status 2; --help (which lists these statuses) and --version
// with 0.
#include <QStringList>
#include <QTextStream>

#include <optional>
#include <variant>

namespace Tessarine::ReportCommand {

inline constexpr int runFailed = 1;
inline constexpr int usageError = 2;

// The report a command line asks for.
struct Request {
    QStringList sessions; // in the order given
    QString out;          // "-" for standard output
    QString company;
    QString contact;
    std::optional<QString> logo;
};

// Reads the command line, `arguments` as the process received them, the program's name first.
// --help, --version and a wrong command line are answered here and their exit status returned;
// otherwise the request. Needs no application object, so the tool answers them before it starts
// the GUI that the report's fonts need.
std::variant<int, Request> parse(const QStringList& arguments, QTextStream& out, QTextStream& err);
// Makes the requested report; needs the GUI application. `standardOutput` is the descriptor the
// PDF goes to for "--out -". Returns the exit status.
int make(const Request& request, QTextStream& err, int standardOutput = 1);
// Both, one after the other.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err, int standardOutput = 1);

} // namespace Tessarine::ReportCommand
