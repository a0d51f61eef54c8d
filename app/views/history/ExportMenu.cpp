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
        std::count_if(all.begin(), all.end(), [&](const RorozErurEvo::SessionSummary& s) { return s.unitKey() == unit; }));
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
                if (scope == Scope::session) {
                    model_.exportSessions({session_}, format, name);
                    return;
                }
                // The sessions are listed when chosen, so a save or a delete in between counts, and
                // read whole off the main thread; the export follows once they are read.
                auto listed = scope == Scope::unit ? model_.library().sessions(session_.unitKey()) : model_.library().sessions();
                model_.openSessions(std::move(listed), [model = &model_, format, name](std::vector<TestSession> sessions) {
                    model->exportSessions(sessions, format, name);
                });
            });
        }
    }
}

} // namespace Tessarine
