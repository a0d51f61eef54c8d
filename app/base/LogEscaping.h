#pragma once
// The one place every log line passes through before it is written: control characters in a
// message (a newline or an escape sequence in a device's name, a settings key, a file's name or a
// later launch's request) are shown escaped ("\n", "\x1b"), whichever category logs it and
// however the message was put together, so no text from outside can forge a log line or give
// orders to the terminal that shows the log.
#include <QString>

namespace Tessarine::LogEscaping {

// `text` as a log line shows it, its control characters written out ("\n", "\x1b"). For the
// other texts from outside the program writes to a terminal, such as a wrong command line.
QString escaped(const QString& text);

// Puts the escaping in front of the message handler in place now. Once, early in main, before
// any thread logs.
void install();

} // namespace Tessarine::LogEscaping
