#include "app/views/ResultView.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/views/CardText.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr int spacing = 6; // pixels between the parts
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
    if (open == showDetails_) return;
    showDetails_ = open;
}

void ResultView::rebuild() {
    const auto& result = *result_;
    headline_->setText(CardText::capitalized(result.headline));
    headline_->setObjectName(CardText::headlineName(result.kind));
    setAccessibleName(QString::fromStdString(result.spoken()));
}

} // namespace Tessarine
