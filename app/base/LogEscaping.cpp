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
    namespace ControlCharacters = RorozErurEvo::ControlCharacters;
    const std::string text = message.toStdString();
    if (!ControlCharacters::held(text)) passOn(type, context, message);
    else passOn(type, context, QString::fromStdString(ControlCharacters::escaped(text)));
}

} // namespace

void install() {
    // Qt hands back its own default handler when no other was installed.
    passOn = qInstallMessageHandler(escaping);
}

} // namespace Tessarine::LogEscaping
