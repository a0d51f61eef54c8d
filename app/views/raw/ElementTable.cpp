#include "app/views/raw/ElementTable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "app/paint/Scheme.h"
#include "app/paint/Theme.h"
#include "app/views/raw/RawHIDTexts.h"

namespace Tessarine {

namespace {
void setIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

QLabel* cell(QWidget* parent, const QFont& font, bool secondary) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    if (secondary) label->setForegroundRole(QPalette::PlaceholderText);
    AccessibleValue::hide(label);
    return label;
}

QFont monospaced(QFont font) {
    font.setStyleHint(QFont::Monospace);
    font.setFamilies({QStringLiteral("DejaVu Sans Mono")});
    return font;
}
} // namespace

ValueBar::ValueBar(QWidget* parent) : QWidget(parent) {
    setFixedSize(120, 8);
    AccessibleValue::hide(this);
}

void ValueBar::setRange(int min, int max) {
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    update();
}

void ValueBar::setValue(std::optional<int> value) {
    if (value == value_) return;
    value_ = value;
    update();
}

void ValueBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QRectF track(rect());
    QPainterPath shape;
    shape.addRoundedRect(track, 3, 3);
    painter.fillPath(shape, Color::withOpacity(palette().color(QPalette::WindowText), 0.08));
    if (!value_) return;
    double f = RawHIDTexts::barFraction(value_, min_, max_);
    if (f <= 0) return;
    QPainterPath fill;
    fill.addRoundedRect(QRectF(track.left(), track.top(), track.width() * f, track.height()), 3, 3);
    painter.fillPath(fill, Color::accentTeal());
}

ElementRowAccess::ElementRowAccess(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ElementRowAccess::setValueText(const QString& text) {
    if (text == value_) return;
    value_ = text;
    valueMayHaveChanged(this);
}

ElementTable::ElementTable(std::shared_ptr<InputDevice> device, QWidget* parent)
    : QGroupBox(QStringLiteral("Elements"), parent), device_(std::move(device)) {
    setObjectName(QStringLiteral("element-table"));
    grid_ = new QGridLayout(this);
    grid_->setHorizontalSpacing(12);
    grid_->setVerticalSpacing(5);
    grid_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont header = Fonts::caption();
    header.setWeight(QFont::DemiBold);
    const QStringList titles{"Element", "Usage", "Value", "Range", "Seen", "Jitter", "Rate"};
    for (int c = 0; c < titles.size(); ++c) {
        auto* label = cell(this, header, true);
        label->setText(titles[c]);
        grid_->addWidget(label, 0, c);
    }
    grid_->setColumnStretch(titles.size(), 1);
    connect(device_.get(), &InputDevice::elementsChanged, this, &ElementTable::rebuild);
    connect(device_.get(), &InputDevice::rawLiveChanged, this, &ElementTable::refreshValues);
    rebuild();
}

void ElementTable::rebuild() {
    auto listed = RawHIDTexts::listed(device_->elements());
    if (listed == shown_ && !rows_.empty()) {
        refreshValues();
        return;
    }
    for (auto& row : rows_) {
        for (QWidget* w : std::initializer_list<QWidget*>{row.name, row.usage, row.bar, row.value, row.range, row.seen,
                                                          row.jitter, row.rate, row.access})
            delete w;
        delete row.valueCell;
    }
    rows_.clear();
    shown_ = listed;
    const QFont caption = Fonts::caption();
    const QFont mono = monospaced(caption);
    int r = 1;
    for (const auto& element : shown_) {
        Row row;
        row.element = element;
        row.name = cell(this, font(), false);
        row.name->setText(QString::fromStdString(element.name));
        row.usage = cell(this, mono, true);
        row.usage->setText(RawHIDTexts::usage(element));
        row.bar = new ValueBar(this);
        row.bar->setRange(element.logicalMin.value_or(0), element.logicalMax.value_or(1));
        row.value = cell(this, Fonts::callout(), false);
        row.value->setMinimumWidth(44);
        row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.range = cell(this, caption, false);
        row.range->setText(QString::fromStdString(element.rangeText().value_or("")));
        row.seen = cell(this, caption, false);
        row.jitter = cell(this, caption, false);
        row.rate = cell(this, caption, false);
        row.access = new ElementRowAccess(this);
        row.access->setAccessibleName(QString::fromStdString(element.name));
        row.access->setObjectName(QStringLiteral("element-row-") + QString::fromStdString(element.id));

        auto* valueCell = new QHBoxLayout;
        row.valueCell = valueCell;
        valueCell->setSpacing(6);
        valueCell->addWidget(row.bar);
        valueCell->addWidget(row.value);
        grid_->addWidget(row.name, r, 0);
        grid_->addWidget(row.usage, r, 1);
        grid_->addLayout(valueCell, r, 2);
        grid_->addWidget(row.range, r, 3);
        grid_->addWidget(row.seen, r, 4);
        grid_->addWidget(row.jitter, r, 5);
        grid_->addWidget(row.rate, r, 6);
        grid_->addWidget(row.access, r, 0, 1, 7);
        row.access->lower();
        rows_.push_back(row);
        ++r;
    }
    refreshValues();
}

void ElementTable::refreshValues() {
    const auto& live = device_->rawLive();
    for (auto& row : rows_) {
        auto it = live.find(row.element.id);
        const RawLive* l = it == live.end() ? nullptr : &it->second;
        row.bar->setValue(RawHIDTexts::barValue(row.element, l));
        setIfChanged(row.value, RawHIDTexts::value(l));
        setIfChanged(row.seen, RawHIDTexts::seen(l));
        setIfChanged(row.jitter, RawHIDTexts::jitter(l));
        setIfChanged(row.rate, RawHIDTexts::rate(l, device_->stampResolution()));
        if (const QString tip = RawHIDTexts::rateTip(l, device_->stampResolution()); row.rate->toolTip() != tip)
            row.rate->setToolTip(tip);
        row.access->setValueText(RawHIDTexts::rowValue(row.element, l));
    }
}

} // namespace Tessarine
