#pragma once
// The command-line tool that makes a report from saved session files without the application:
//
//   tessarine-report --in a.json [--in b.json …] --out report.pdf
//                    [--company NAME] [--contact TEXT] [--logo PICTURE]
//
// The sessions are reported in the order given. Anything that cannot be read (a missing file, a
// file that is not a session, a picture that is not one) stops the tool with a message that
// names the file and the cause, and exit status 1; the report file is then not touched.
#include <QStringList>
#include <QTextStream>

namespace Tessarine::ReportCommand {

// `arguments` as the process received them, the program's name first. Returns the exit status.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace Tessarine::ReportCommand
