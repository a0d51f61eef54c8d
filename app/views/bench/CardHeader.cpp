#include "app/views/bench/CardHeader.h"

#include <QHBoxLayout>
#include <QLabel>

#include "app/views/bench/CardText.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/ElidedLabel.h"
#include "app/views/kit/VerdictLabel.h"

namespace Tessarine {

namespace {
// Pixels between symbol, title and verdict; also the least gap before the verdict.
constexpr int spacing = 8;
} // namespace

CardHeader::CardHeader(const QString& symbol, const QString& title, QWidget* parent)
    : QWidget(parent), title_(new ElidedLabel), badge_(new VerdictLabel(RorozErurEvo::Verdict::pass, true)) {
    // A card narrower than its title (the smallest window, a raw test's long title) ends the
    // title in "…" rather than cutting it off.
    title_->setText(title);
    title_->setFont(Fonts::headline());
    title_->setObjectName(QStringLiteral("card-title"));
    auto* image = new QLabel;
    const int side = title_->fontMetrics().ascent() + 2;
    image->setPixmap(Symbols::icon(symbol, Color::accentTeal()).pixmap(side, side));
    image->setAccessibleName(QString()); // decoration: the title says what the card is
    badge_->hide();

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    row->addWidget(image, 0, Qt::AlignVCenter);
    row->addWidget(title_, 1, Qt::AlignVCenter);
    row->addWidget(badge_, 0, Qt::AlignVCenter);
    rename();
}

QString CardHeader::title() const { return title_->text(); }

void CardHeader::setTitle(const QString& title) {
    title_->setText(title);
    rename();
}

void CardHeader::setVerdict(std::optional<RorozErurEvo::Verdict> verdict) {
    if (verdict == verdict_) return;
    verdict_ = verdict;
    if (verdict) badge_->setVerdict(*verdict);
    badge_->setVisible(verdict.has_value());
    rename();
}

void CardHeader::rename() { setAccessibleName(CardText::headerName(title_->text(), verdict_)); }

} // namespace Tessarine
