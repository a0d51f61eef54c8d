#include "app/views/history/ExportMenu.h"

#include <QMenu>

#include <algorithm>

#include "app/model/SessionCommands.h"
#include "app/model/SessionLibrary.h"
#include "app/paint/Symbols.h"
#include "app/views/history/HistoryParts.h"
#include "app/views/history/HistoryTexts.h"

namespace Tessarine {

using RorozErurEvo::TestSession;

ExportMenu::ExportMenu(SessionLibrary& library, SessionCommands& commands, std::shared_ptr<const TestSession> session, QWidget* parent)
    : QToolButton(parent), library_(library), commands_(commands), shared_(std::move(session)), session_(*shared_), menu_(new QMenu(this)) {
    setObjectName(QStringLiteral("export-menu"));
    HistoryParts::menuButton(*this, QStringLiteral("Export"), QStringLiteral("square.and.arrow.up"));
    setToolTip(QStringLiteral("Export sessions and results as CSV (one row per result) or JSON (everything)"));
    setMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &ExportMenu::refresh);
}

void ExportMenu::refresh() {
    menu_->clear();
    const auto& all = library_.sessions();
    const std::string unit = session_.unitKey();
    const auto unitCount = static_cast<std::size_t>(
        std::count_if(all.begin(), all.end(), [&](const RorozErurEvo::SessionSummary& s) { return s.unitKey() == unit; }));
    bool first = true;
    for (const auto& section : HistoryTexts::exportSections(session_, unitCount, all.size())) {
        if (!first) menu_->addSeparator();
        first = false;
        HistoryParts::menuHeader(*menu_, section.header);
        for (auto format : {SessionCommands::ExportFormat::csv, SessionCommands::ExportFormat::json}) {
            QAction* action = menu_->addAction(format == SessionCommands::ExportFormat::csv ? QStringLiteral("CSV…")
                                                                                       : QStringLiteral("JSON…"));
            connect(action, &QAction::triggered, this, [this, scope = section.scope, name = section.fileName, format] {
                using Scope = HistoryTexts::ExportSection::Scope;
                if (scope == Scope::session) {
                    commands_.exportSessions({session_}, format, name);
                    return;
                }
                // The sessions are listed when chosen, so a save or a delete in between counts; the
                // export reads them whole one at a time off the main thread.
                auto listed = scope == Scope::unit ? library_.sessions(session_.unitKey()) : library_.sessions();
                commands_.exportListed(std::move(listed), format, name);
            });
        }
    }
}

} // namespace Tessarine
