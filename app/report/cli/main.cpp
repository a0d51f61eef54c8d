// tessarine-report: the PDF report of saved session files, without the application's window.
#include <QGuiApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

#include "app/base/LogEscaping.h"
#include "app/report/ReportCommand.h"

namespace {

QtMessageHandler passOn = nullptr;

// Starting the GUI looks the runtime folder up, and without XDG_RUNTIME_DIR (over SSH, from cron)
// Qt warns that it made one in /tmp. The tool never uses that folder: the warning would only
// make a good run look like a failed one.
void withoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    passOn(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    using namespace Tessarine;
    LogEscaping::install();
    QCoreApplication::setApplicationName(QStringLiteral("tessarine-report"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARINE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The command line is read before the GUI starts: help, the version and a mistake are
    // answered at once, and without what starting a GUI may say on standard error.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    auto request = ReportCommand::parse(arguments, out, err);
    if (const int* status = std::get_if<int>(&request)) return *status;

    // Fonts need a GUI application but no screen: a report can be made over SSH or in a script.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    passOn = qInstallMessageHandler(withoutRuntimeFolderWarning);
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(passOn);
    // A reader that closes the pipe early makes the write fail with EPIPE, which the tool
    // reports, instead of killing it silently.
    std::signal(SIGPIPE, SIG_IGN);
    return ReportCommand::make(std::get<ReportCommand::Request>(request), err);
}
