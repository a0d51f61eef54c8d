#include "app/base/LogEscaping.h"

#include <QString>
#include <QtGlobal>

#include <string>

#include "testkit/ControlCharacters.h"

namespace Tessarine::LogEscaping {

namespace {

// Set once by install(), before any thread logs; read only after.
QtMessageHandler passOn = nullptr;

void escaping(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    passOn(type, context, escaped(message));
}

} // namespace

QString escaped(const QString& text) {
    namespace ControlCharacters = RorozErurEvo::ControlCharacters;
    const std::string utf8 = text.toStdString();
    if (!ControlCharacters::held(utf8)) return text;
    return QString::fromStdString(ControlCharacters::escaped(utf8));
}

void install() {
    // Qt hands back its own default handler when no other was installed.
    passOn = qInstallMessageHandler(escaping);
}

} // namespace Tessarine::LogEscaping
