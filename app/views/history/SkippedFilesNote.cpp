#include "app/views/history/SkippedFilesNote.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/model/SessionLibrary.h"
#include "app/paint/Theme.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/kit/DisclosureBox.h"
#include "app/views/kit/ViewParts.h"

namespace Tessarine {

SkippedFilesNote::SkippedFilesNote(SessionLibrary& library, QWidget* parent) : QWidget(parent), library_(library) {
    setObjectName(QStringLiteral("history-skipped"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    box_ = new DisclosureBox(QString());
    details_ = ViewParts::secondaryLabel(QString(), Fonts::callout());
    details_->setObjectName(QStringLiteral("history-skipped-files"));
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box_->addWidget(details_);
    layout->addWidget(box_);
    connect(&library_, &SessionLibrary::skippedChanged, this, &SkippedFilesNote::refresh);
    refresh();
}

void SkippedFilesNote::refresh() {
    const auto& skipped = library_.skipped();
    setVisible(!skipped.empty());
    box_->setTitle(HistoryTexts::skippedTitle(skipped));
    details_->setText(HistoryTexts::skippedDetails(skipped));
}

} // namespace Tessarine
