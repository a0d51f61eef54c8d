#include "app/views/history/ExportMenu.h"

#include <QMenu>

#include <algorithm>

#include "app/model/AppModel.h"
#include "app/paint/Symbols.h"
#include "app/views/history/HistoryParts.h"
#include "app/views/history/HistoryTexts.h"

namespace Tessarine {

using RorozErurEvo::TestSession;

ExportMenu::ExportMenu(AppModel& model, std::shared_ptr<const TestSession> session, QWidget* parent)
    : QToolButton(parent), model_(model), shared_(std::move(session)), session_(*shared_), menu_(new QMenu(this)) {
    setObjectName(QStringLiteral("export-menu"));
    HistoryParts::menuButton(*this, QStringLiteral("Export"), QStringLiteral("square.and.arrow.up"));
    setToolTip(QStringLiteral("Export sessions and results as CSV (one row per result) or JSON (everything)"));
    setMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &ExportMenu::refresh);
}

void ExportMenu::refresh() {
    menu_->clear();
    const auto& all = model_.library().sessions();
    const std::string unit = session_.unitKey();
    const auto unitCount = static_cast<std::size_t>(
        std::count_if(all.begin(), all.end(), [&](const TestSession& s) { return s.unitKey() == unit; }));
    bool first = true;
    for (const auto& section : HistoryTexts::exportSections(session_, unitCount, all.size())) {
        if (!first) menu_->addSeparator();
        first = false;
        HistoryParts::menuHeader(*menu_, section.header);
        for (auto format : {AppModel::ExportFormat::csv, AppModel::ExportFormat::json}) {
            QAction* action = menu_->addAction(format == AppModel::ExportFormat::csv ? QStringLiteral("CSV…")
                                                                                       : QStringLiteral("JSON…"));
            connect(action, &QAction::triggered, this, [this, scope = section.scope, name = section.fileName, format] {
                using Scope = HistoryTexts::ExportSection::Scope;
                // The sessions are read when chosen, so a save or a delete in between counts.
                std::vector<TestSession> sessions;
                switch (scope) {
                case Scope::session: sessions = {session_}; break;
                case Scope::unit: sessions = model_.library().sessions(session_.unitKey()); break;
                case Scope::everything: sessions = model_.library().sessions(); break;
                }
                model_.exportSessions(sessions, format, name);
            });
        }
    }
}

} // namespace Tessarine
