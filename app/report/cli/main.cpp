// tessarine-report: the PDF report of saved session files, without the application's window.
#include <QGuiApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

#include "app/report/ReportCommand.h"

int main(int argc, char** argv) {
    // Fonts need a GUI application but no screen: a report can be made over SSH or in a script.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessarine-report"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARINE_VERSION));
    // A reader that closes the pipe early makes the write fail with EPIPE, which the tool
    // reports, instead of killing it silently.
    std::signal(SIGPIPE, SIG_IGN);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return Tessarine::ReportCommand::run(QCoreApplication::arguments(), out, err);
}
