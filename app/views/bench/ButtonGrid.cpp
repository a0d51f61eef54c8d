#include "app/views/bench/ButtonGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/devices/InputDevice.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AdaptiveGridLayout.h"
#include "app/views/bench/BenchTexts.h"

namespace Tessarine {

namespace {

constexpr int cellColumn = 118;  // pixels: narrowest cell
constexpr int gridSpacing = 6;   // pixels between cells and rows
constexpr int sidePadding = 8;   // pixels left and right inside a cell
constexpr int endPadding = 5;    // pixels above and below inside a cell
constexpr double cornerRadius = 6;

} // namespace

ButtonCell::ButtonCell(const ElementInfo& element, QWidget* parent)
    : QWidget(parent), id_(element.id), symbol_(QString::fromStdString(element.symbol.value_or(std::string()))) {
    if (!Symbols::known(symbol_)) symbol_.clear(); // no empty gap before the name
    setFont(Fonts::caption());
    setAccessibleName(QString::fromStdString(element.name));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ButtonCell::set(bool pressed, int count) {
    if (pressed == pressed_ && count == count_) return;
    pressed_ = pressed;
    count_ = count;
    update();
    valueMayHaveChanged(this);
}

QString ButtonCell::accessibleValue() const { return BenchTexts::buttonValue(pressed_, count_); }

QSize ButtonCell::sizeHint() const {
    const QFontMetrics metrics(font());
    const int symbol = symbol_.isEmpty() ? 0 : metrics.height() + 6;
    return {2 * sidePadding + symbol + metrics.horizontalAdvance(accessibleName()) + 8 +
                metrics.horizontalAdvance(QString::number(count_)),
            metrics.height() + 2 * endPadding};
}

QSize ButtonCell::minimumSizeHint() const { return {cellColumn, sizeHint().height()}; }

void ButtonCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor primary = palette().color(QPalette::WindowText);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(background, pressed_ ? Color::pressedFill() : Color::withOpacity(primary, 0.06));

    const QColor text = pressed_ ? QColor(Qt::white) : primary;
    const QColor countColor =
        pressed_ ? Color::withOpacity(Qt::white, 0.9) : palette().color(QPalette::PlaceholderText);
    const QFontMetrics metrics(font());
    QRectF line = QRectF(rect()).adjusted(sidePadding, endPadding, -sidePadding, -endPadding);
    if (!symbol_.isEmpty()) {
        const double side = metrics.height();
        Symbols::paint(painter, QRectF(line.left(), line.center().y() - side / 2, side, side), symbol_, text);
        line.setLeft(line.left() + side + 6);
    }
    // Right-aligned, so a growing count keeps the name still; the desktop fonts' digits are all one width.
    const QString count = QString::number(count_);
    const double countWidth = metrics.horizontalAdvance(count);
    painter.setPen(text);
    painter.drawText(line.adjusted(0, 0, -countWidth - 2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(accessibleName(), Qt::ElideRight, int(line.width() - countWidth - 2)));
    painter.setPen(countColor);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, count);
}

ButtonGrid::ButtonGrid(QWidget* parent)
    : QWidget(parent), grid_(new AdaptiveGridLayout(cellColumn, gridSpacing)),
      reset_(new QPushButton(QStringLiteral("Reset Counts"))) {
    setObjectName(QStringLiteral("button-grid"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(gridSpacing);
    auto* header = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("Buttons"));
    title->setFont(Fonts::headline());
    header->addWidget(title);
    header->addStretch(1);
    QFont small = reset_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    reset_->setFont(small);
    reset_->setObjectName(QStringLiteral("reset-counts"));
    header->addWidget(reset_);
    column->addLayout(header);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setRowSpacing(gridSpacing);
    column->addLayout(grid_);
    connect(reset_, &QPushButton::clicked, this, [this] {
        // Under the buffer's lock: a press arriving now counts before the reset or after it.
        if (device_) device_->buffer().resetPresses();
    });
    setVisible(false);
}

void ButtonGrid::setDevice(std::shared_ptr<InputDevice> device) {
    device_ = std::move(device);
    for (ButtonCell* cell : cells_) delete cell;
    cells_.clear();
    if (device_)
        for (const ElementInfo& element : device_->buttons())
            if (element.kind == ElementInfo::Kind::button) {
                auto* cell = new ButtonCell(element);
                grid_->addWidget(cell);
                cells_.push_back(cell);
            }
    setVisible(!cells_.empty());
    if (device_) setLive(device_->live());
}

void ButtonGrid::setLive(const CaptureBuffer::Snapshot& live) {
    for (ButtonCell* cell : cells_) {
        const auto count = live.presses.find(cell->id());
        cell->set(live.pressed.contains(cell->id()), count == live.presses.end() ? 0 : count->second);
    }
}

} // namespace Tessarine
