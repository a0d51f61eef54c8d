#include "app/views/kit/SegmentedControl.h"

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>

namespace Tessarine {

namespace {
// Opacity of the highlight over the chosen segment: the style's sunken panel alone is hard to
// tell apart in dark schemes.
constexpr double chosenTint = 0.3;

class Segment final : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override {
        QToolButton::paintEvent(event);
        if (!isChecked()) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor tint = palette().color(QPalette::Highlight);
        tint.setAlphaF(float(chosenTint));
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
        painter.fillPath(shape, tint);
    }
};

// Screen readers meet the picker as a group of radio buttons named after the picker ("Values"),
// each read by its own text ("Raw HID") and checked when chosen. Qt would offer the segments as
// check boxes with no group, so two pickers with a "Raw HID" segment could not be told apart.
class SegmentInterface final : public QAccessibleWidget {
public:
    explicit SegmentInterface(Segment* segment) : QAccessibleWidget(segment, QAccessible::RadioButton) {
        addControllingSignal(QStringLiteral("toggled(bool)"));
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && segment()->accessibleName().isEmpty()) return segment()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = segment()->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction() && segment()->isEnabled())
            segment()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    Segment* segment() const { return static_cast<Segment*>(widget()); }
};

QAccessibleInterface* segmentFactory(const QString&, QObject* object) {
    if (auto* picker = qobject_cast<SegmentedControl*>(object))
        return new QAccessibleWidget(picker, QAccessible::Grouping);
    if (auto* segment = dynamic_cast<Segment*>(object)) return new SegmentInterface(segment);
    return nullptr;
}

void installSegmentFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(segmentFactory);
        return true;
    }();
    (void)installed;
}
} // namespace

SegmentedControl::SegmentedControl(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
    installSegmentFactory();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, &SegmentedControl::activated);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit currentIndexChanged(id);
    });
}

QToolButton* SegmentedControl::addSegment(const QString& text, const QString& tag) {
    // Made whole before the layout adopts it: an element that assistive technology looks up
    // while the widget is half built keeps the wrong interface.
    auto* button = new Segment;
    button->setText(text);
    button->setCheckable(true);
    button->setAutoRaise(false);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    button->setFocusPolicy(Qt::StrongFocus);
    const int id = int(tags_.size());
    tags_.push_back(tag);
    group_->addButton(button, id);
    static_cast<QHBoxLayout*>(layout())->addWidget(button);
    return button;
}

QToolButton* SegmentedControl::button(int index) const { return qobject_cast<QToolButton*>(group_->button(index)); }

int SegmentedControl::currentIndex() const { return group_->checkedId(); }

QString SegmentedControl::currentTag() const {
    const int index = currentIndex();
    return index >= 0 ? tags_[size_t(index)] : QString();
}

int SegmentedControl::indexOf(const QString& tag) const {
    for (size_t i = 0; i < tags_.size(); ++i)
        if (tags_[i] == tag) return int(i);
    return -1;
}

void SegmentedControl::setCurrentIndex(int index) {
    if (index == currentIndex()) return;
    if (index >= 0 && index < count()) {
        button(index)->setChecked(true); // idToggled reports the change
        return;
    }
    // An exclusive group refuses to uncheck its last button: lift exclusivity for the moment.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
        emit currentIndexChanged(-1);
    }
}

void SegmentedControl::setCurrentTag(const QString& tag) { setCurrentIndex(indexOf(tag)); }

} // namespace Tessarine
