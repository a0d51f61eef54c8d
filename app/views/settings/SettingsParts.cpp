#include "app/views/settings/SettingsParts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace Tessarine::SettingsParts {

namespace {
constexpr int margin = 16;        // pixels around the column
constexpr int sectionSpacing = 12; // pixels between sections
} // namespace

QVBoxLayout* scrollingColumn(QWidget& tab) {
    auto* outer = new QVBoxLayout(&tab);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(sectionSpacing);
    scroll->setWidget(content);
    return column;
}

QGroupBox* section(QVBoxLayout& column, const QString& title, QFormLayout*& rows) {
    auto* box = new QGroupBox(title);
    rows = new QFormLayout(box);
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    rows->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rows->setRowWrapPolicy(QFormLayout::DontWrapRows);
    column.addWidget(box);
    return box;
}

void alignLabels(QWidget& root) {
    std::vector<QWidget*> labels;
    int widest = 0;
    for (QGroupBox* box : root.findChildren<QGroupBox*>()) {
        auto* rows = qobject_cast<QFormLayout*>(box->layout());
        if (!rows) continue;
        for (int row = 0; row < rows->rowCount(); ++row) {
            QLayoutItem* item = rows->itemAt(row, QFormLayout::LabelRole);
            if (!item || !item->widget()) continue;
            labels.push_back(item->widget());
            widest = std::max(widest, item->widget()->sizeHint().width());
        }
    }
    for (QWidget* label : labels) label->setMinimumWidth(widest);
}

void naturalWidth(QWidget& widget) { widget.setSizePolicy(QSizePolicy::Fixed, widget.sizePolicy().verticalPolicy()); }

} // namespace Tessarine::SettingsParts
