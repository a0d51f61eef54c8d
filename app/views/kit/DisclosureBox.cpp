#include "app/views/kit/DisclosureBox.h"

namespace Tessarine {

namespace {
// Indent of the body under the arrow, in pixels.
constexpr int bodyIndent = 18;
// Space between the header and the body, in pixels.
constexpr int bodyGap = 4;
} // namespace

DisclosureBox::DisclosureBox(const QString& title, QWidget* parent)
    : QWidget(parent), header_(new QToolButton(this)), body_(new QWidget(this)), bodyLayout_(new QVBoxLayout(body_)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(bodyGap);
    header_->setText(title);
    header_->setCheckable(true);
    header_->setAutoRaise(true);
    header_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    header_->setArrowType(Qt::RightArrow);
    header_->setFocusPolicy(Qt::StrongFocus);
    // Checkable so assistive technology reads the open state, but drawn flat: the arrow says it.
    header_->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; padding: 2px; }"));
    layout->addWidget(header_, 0, Qt::AlignLeft);
    bodyLayout_->setContentsMargins(bodyIndent, 0, 0, 0);
    layout->addWidget(body_);
    body_->setVisible(false);
    connect(header_, &QToolButton::toggled, this, [this](bool expanded) {
        apply(expanded);
        emit toggled(expanded);
    });
}

void DisclosureBox::setExpanded(bool expanded) { header_->setChecked(expanded); }

void DisclosureBox::apply(bool expanded) {
    header_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    // Hidden rather than removed, so what the body shows survives closing and opening.
    body_->setVisible(expanded);
}

} // namespace Tessarine
