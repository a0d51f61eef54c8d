#pragma once
// The application's command line, read before the window system is touched: --help and
// --version print and end the process (so they work over SSH or in a script, with no display),
// an unknown option ends it with a usage line and status 2, and Qt's own options (-platform,
// -style, …) are let through for QApplication to read.
#include <QString>
#include <QStringList>

#include <optional>

namespace Tessarine::StartOptions {

// What to do before starting: nothing (start the application), or print and end.
struct Exit {
    int status = 0;
    QString out;  // for standard output
    QString err;  // for standard error
};

// `arguments` as the process received them, the program's name first; `version` is the one
// --version prints. No value: start the application with these arguments.
std::optional<Exit> read(const QStringList& arguments, const QString& version);

} // namespace Tessarine::StartOptions
