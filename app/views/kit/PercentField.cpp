#include "app/views/kit/PercentField.h"

#include <QHBoxLayout>

#include "app/paint/Theme.h"
#include "app/views/kit/NumberField.h"
#include "app/views/kit/NumberText.h"
#include "app/views/kit/ViewParts.h"

namespace Tessarine {

namespace {
constexpr int fieldWidth = 52; // pixels
constexpr int spacing = 2;     // pixels between the number and "%"
} // namespace

PercentField::PercentField(const QString& label, QWidget* parent) : QWidget(parent), field_(new NumberField(1, fieldWidth)) {
    field_->setAccessibleName(label + QStringLiteral(", percent"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    row->addWidget(field_);
    auto* sign = ViewParts::secondaryLabel(QStringLiteral("%"), Fonts::body());
    sign->setWordWrap(false);
    row->addWidget(sign);
    connect(field_, &NumberField::committed, this,
            [this](double typed) { emit edited(NumberText::percentStored(typed)); });
}

void PercentField::setValue(double fraction) { field_->setValue(NumberText::percentShown(fraction)); }

} // namespace Tessarine
