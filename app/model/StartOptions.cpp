#include "app/model/StartOptions.h"

#include <QSet>

#include "app/base/LogEscaping.h"

namespace Tessarine::StartOptions {

namespace {

const QString program = QStringLiteral("tessarine");
const QString usage = QStringLiteral("Usage: tessarine [--help] [--version] [Qt options]\n");

// Options QGuiApplication, QApplication and the X11 platform read themselves; with or without a
// value, written with one or two dashes, the value after a blank or an "=".
const QSet<QString>& qtOptionsWithValue() {
    static const QSet<QString> names{
        QStringLiteral("platform"),   QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),     QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"), QStringLiteral("session"),          QStringLiteral("display"),
        QStringLiteral("geometry"),   QStringLiteral("style"),              QStringLiteral("stylesheet"),
        QStringLiteral("name"),       QStringLiteral("title"),              QStringLiteral("visual"),
        QStringLiteral("ncols"),      QStringLiteral("cmap"),               QStringLiteral("qmljsdebugger"),
    };
    return names;
}

const QSet<QString>& qtFlags() {
    static const QSet<QString> names{QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                                     QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("testability")};
    return names;
}

QString helpText() {
    return usage +
           QStringLiteral("Tessarine: a test bench for game controllers, keyboards and mice, with pass/warn/fail tests,\n"
                          "sessions saved per unit and PDF reports.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Shows this help and ends.\n"
                          "  -v, --version  Shows the version and ends.\n"
                          "\n"
                          "Qt's own options are read too, such as -platform NAME, -style NAME and -reverse.\n"
                          "Reports without the window: tessarine-report --help.\n");
}

// The message quotes what was typed, so it is escaped as a log line is: an argument cannot
// forge a line of its own or give the terminal orders.
Exit usageError(const QString& message) {
    return Exit{2, {}, program + QStringLiteral(": ") + LogEscaping::escaped(message) + QLatin1Char('\n') + usage};
}

} // namespace

std::optional<Exit> read(const QStringList& arguments, const QString& version) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) return Exit{0, helpText(), {}};
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            return Exit{0, program + QLatin1Char(' ') + version + QLatin1Char('\n'), {}};
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            return usageError(QStringLiteral("unexpected argument '%1'").arg(argument));
        QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        const bool valueAttached = equals >= 0;
        if (valueAttached) name.truncate(equals);
        if (qtOptionsWithValue().contains(name)) {
            if (!valueAttached && ++i >= arguments.size())
                return usageError(QStringLiteral("option '%1' needs a value").arg(argument));
            continue;
        }
        if (qtFlags().contains(name) && !valueAttached) continue;
        return usageError(QStringLiteral("unknown option '%1'").arg(argument));
    }
    return std::nullopt;
}

} // namespace Tessarine::StartOptions
