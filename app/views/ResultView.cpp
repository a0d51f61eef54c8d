#include "app/views/ResultView.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/paint/Theme.h"
#include "app/views/CardText.h"
#include "app/views/DisclosureBox.h"

namespace Tessarine {

namespace {
constexpr int spacing = 6;     // pixels between the parts
constexpr int lineSpacing = 3; // pixels between detail lines
} // namespace

ResultView::ResultView(QWidget* parent) : QWidget(parent), headline_(new QLabel), stack_(new QVBoxLayout(this)) {
    QFont font = Fonts::callout();
    font.setWeight(QFont::DemiBold);
    headline_->setFont(font);
    headline_->setWordWrap(true);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->setSpacing(spacing);
    stack_->addWidget(headline_);
}

void ResultView::setResult(const RorozErurEvo::TestResult& result) {
    if (result_ == result) return;
    result_ = result;
    rebuild();
}

void ResultView::setShowDetails(bool open) {
    showDetails_ = open;
    if (details_) details_->setExpanded(open);
}

void ResultView::rebuild() {
    const auto& result = *result_;
    headline_->setText(CardText::capitalized(result.headline));
    headline_->setObjectName(CardText::headlineName(result.kind));
    setAccessibleName(QString::fromStdString(result.spoken()));

    // Everything under the headline belongs to one result: built anew when the result changes.
    if (parts_) {
        parts_->hide();
        parts_->deleteLater();
    }
    details_ = nullptr;
    parts_ = new QWidget;
    auto* parts = new QVBoxLayout(parts_);
    parts->setContentsMargins(0, 0, 0, 0);
    parts->setSpacing(spacing);

    if (!result.details.empty()) {
        details_ = new DisclosureBox(QStringLiteral("Details"));
        details_->setObjectName(QStringLiteral("result-details"));
        details_->setFont(Fonts::caption());
        details_->bodyLayout()->setSpacing(lineSpacing);
        for (const auto& line : result.details) {
            auto* text = new QLabel(QString::fromStdString(line));
            text->setFont(Fonts::caption());
            text->setWordWrap(true);
            details_->addWidget(text);
        }
        details_->setExpanded(showDetails_);
        connect(details_, &DisclosureBox::toggled, this, [this](bool open) {
            showDetails_ = open;
            emit showDetailsToggled(open);
        });
        parts->addWidget(details_);
    }
    stack_->addWidget(parts_);
}

} // namespace Tessarine
