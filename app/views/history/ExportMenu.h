#pragma once
// The "Export" pull-down of a saved session: this session, every session of its unit (when it
// has two or more) and every saved session, each as CSV or JSON. The sections and their counts
// are read from the library each time the menu opens; the model asks where to save and writes.
#include <QToolButton>

#include <memory>

#include "testkit/TestSession.h"

class QMenu;

namespace Tessarine {

class SessionCommands;
class SessionLibrary;

class ExportMenu final : public QToolButton {
    Q_OBJECT

public:
    // The session is shared with the view that shows it: a saved session may be megabytes.
    ExportMenu(SessionLibrary& library, SessionCommands& commands,
               std::shared_ptr<const RorozErurEvo::TestSession> session, QWidget* parent = nullptr);

    // Fills the menu from the library as it is now; opening the menu does this.
    void refresh();

private:
    SessionLibrary& library_;
    SessionCommands& commands_;
    const std::shared_ptr<const RorozErurEvo::TestSession> shared_;
    const RorozErurEvo::TestSession& session_;
    QMenu* menu_;
};

} // namespace Tessarine
