#pragma once
// Opening a web address in the desktop's browser. A desktop without one (or whose opener fails)
// must not leave a click unanswered: an alert says so and shows the address, selectable, with a
// button that copies it, and the log keeps a trace.
#include <QString>
#include <QUrl>

#include <functional>

class QMessageBox;
class QWidget;

namespace Tessarine {

using UrlOpener = std::function<bool(const QUrl&)>;

// Hands `url` to `opener` (the desktop's browser when empty); true when it took it. On failure it
// opens the alert over `parent` and returns false; the alert deletes itself when closed.
bool openLink(QWidget* parent, const QUrl& url, const UrlOpener& opener = {});

// The alert's object name, for tests.
inline const QString linkFailureName = QStringLiteral("link-failure");

} // namespace Tessarine
