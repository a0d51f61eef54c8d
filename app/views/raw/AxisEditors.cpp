#include "app/views/raw/AxisEditors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <tuple>

#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AccessibleLabel.h"
#include "app/views/raw/RawHIDTexts.h"

namespace Tessarine {

namespace {
QLabel* note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(Fonts::caption());
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

// Selects the option standing for `id`, or none when no option does.
void select(QComboBox* box, const std::string& id) {
    int index = box->findData(QString::fromStdString(id));
    if (box->currentIndex() != index) {
        QSignalBlocker block(box);
        box->setCurrentIndex(index);
    }
}

std::string idOf(const QComboBox* box, int index) { return box->itemData(index).toString().toStdString(); }
} // namespace

// ---- sticks from axes

StickPairsEditor::StickPairsEditor(std::shared_ptr<InputDevice> device, QWidget* parent)
    : QGroupBox(QStringLiteral("Sticks from axes"), parent), device_(std::move(device)) {
    setObjectName(QStringLiteral("stick-pairs"));
    auto* box = new QVBoxLayout(this);
    box->setSpacing(8);
    box->addWidget(note(QStringLiteral("Pick any two axes as a stick's X and Y; the stick tests then run on raw values "
                                       "(N64 and GameCube adapters, arcade sticks, flight sticks)."),
                        this));
    rowsBox_ = new QVBoxLayout;
    rowsBox_->setSpacing(8);
    box->addLayout(rowsBox_);
    add_ = new QPushButton(Symbols::icon(QStringLiteral("plus.circle"), palette().color(QPalette::ButtonText)),
                           QStringLiteral("Add a Stick"), this);
    add_->setObjectName(QStringLiteral("add-stick"));
    connect(add_, &QPushButton::clicked, this, &StickPairsEditor::addStick);
    box->addWidget(add_, 0, Qt::AlignLeft);
    connect(device_.get(), &InputDevice::stickPairsChanged, this, &StickPairsEditor::rebuild);
    connect(device_.get(), &InputDevice::elementsChanged, this, &StickPairsEditor::rebuild);
    rebuild();
}

void StickPairsEditor::rebuild() {
    auto axes = RawHIDTexts::candidateAxes(device_->elements());
    std::vector<std::string> ids;
    for (const auto& pair : device_->stickPairs()) ids.push_back(pair.id);
    add_->setEnabled(axes.size() >= 2);
    if (ids == shownIDs_ && axes == shownAxes_) {
        refreshValues();
        return;
    }
    // Later, not now: the remove button that asked for this may still be in its click.
    for (auto& [id, row] : rows_) {
        row.widget->hide();
        rowsBox_->removeWidget(row.widget);
        row.widget->deleteLater();
    }
    rows_.clear();
    shownIDs_ = ids;
    shownAxes_ = axes;
    for (const auto& pair : device_->stickPairs()) {
        Row row;
        row.widget = new QWidget(this);
        auto* line = new QHBoxLayout(row.widget);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(10);
        row.name = new QLabel(QString::fromStdString(pair.name), row.widget);
        row.name->setFixedWidth(90);
        line->addWidget(row.name);
        const std::string id = pair.id;
        auto picker = [&](const QString& label, QLabel*& spoken,
                          void (StickPairsEditor::*set)(const std::string&, const std::string&)) {
            // The visible "X" or "Y" alone would leave every row's pickers sounding alike: the
            // box is read by a hidden label that names the stick.
            line->addWidget(new QLabel(label, row.widget));
            auto* box = new QComboBox(row.widget);
            box->setFixedWidth(150);
            box->setAccessibleName(RawHIDTexts::axisPickerName(pair.name, label));
            spoken = AccessibleLabel::hidden(*box, box->accessibleName());
            for (const auto& axis : axes)
                box->addItem(QString::fromStdString(axis.name), QString::fromStdString(axis.id));
            connect(box, &QComboBox::currentIndexChanged, this, [this, box, id, set](int index) {
                if (index >= 0) (this->*set)(id, idOf(box, index));
            });
            line->addWidget(box);
            return box;
        };
        row.x = picker(QStringLiteral("X"), row.xName, &StickPairsEditor::setX);
        row.y = picker(QStringLiteral("Y"), row.yName, &StickPairsEditor::setY);
        row.flip = new QCheckBox(QStringLiteral("Flip vertical"), row.widget);
        connect(row.flip, &QCheckBox::toggled, this, [this, id](bool on) { setInvertY(id, on); });
        line->addWidget(row.flip);
        line->addStretch(1);
        row.remove = new QToolButton(row.widget);
        row.remove->setIcon(Symbols::icon(QStringLiteral("minus.circle"), Color::failRed()));
        row.remove->setToolTip(QStringLiteral("Remove"));
        row.remove->setAccessibleName(QStringLiteral("Remove ") + QString::fromStdString(pair.name));
        row.remove->setAutoRaise(true);
        connect(row.remove, &QToolButton::clicked, this, [this, id] { removePair(id); });
        line->addWidget(row.remove);
        rowsBox_->addWidget(row.widget);
        rows_[id] = row;
    }
    refreshValues();
}

void StickPairsEditor::refreshValues() {
    for (const auto& pair : device_->stickPairs()) {
        auto it = rows_.find(pair.id);
        if (it == rows_.end()) continue;
        const Row& row = it->second;
        if (row.name->text() != QString::fromStdString(pair.name)) {
            row.name->setText(QString::fromStdString(pair.name));
            for (auto [box, spoken, axis] : {std::tuple(row.x, row.xName, QStringLiteral("X")),
                                             std::tuple(row.y, row.yName, QStringLiteral("Y"))}) {
                box->setAccessibleName(RawHIDTexts::axisPickerName(pair.name, axis));
                spoken->setText(box->accessibleName());
            }
            row.remove->setAccessibleName(QStringLiteral("Remove ") + QString::fromStdString(pair.name));
        }
        select(row.x, pair.x);
        select(row.y, pair.y);
        if (row.flip->isChecked() != pair.invertY) {
            QSignalBlocker block(row.flip);
            row.flip->setChecked(pair.invertY);
        }
    }
}

template <class Change> void StickPairsEditor::change(const std::string& id, Change&& apply) {
    auto pairs = device_->stickPairs();
    for (auto& pair : pairs) {
        if (pair.id != id) continue;
        apply(pair);
        device_->applyPairs(std::move(pairs));
        return;
    }
}

void StickPairsEditor::setX(const std::string& id, const std::string& axis) {
    change(id, [&](StickPair& pair) { pair.x = axis; });
}

void StickPairsEditor::setY(const std::string& id, const std::string& axis) {
    change(id, [&](StickPair& pair) { pair.y = axis; });
}

void StickPairsEditor::setInvertY(const std::string& id, bool invert) {
    change(id, [&](StickPair& pair) { pair.invertY = invert; });
}

void StickPairsEditor::removePair(const std::string& id) {
    std::vector<StickPair> kept;
    for (const auto& pair : device_->stickPairs())
        if (pair.id != id) kept.push_back(pair);
    device_->applyPairs(std::move(kept));
}

void StickPairsEditor::addStick() {
    auto axes = RawHIDTexts::candidateAxes(device_->elements());
    if (axes.size() < 2) return;
    const std::string n = std::to_string(RawHIDTexts::nextPairNumber(device_->stickPairs()));
    auto pairs = device_->stickPairs();
    pairs.push_back(StickPair{"pair-" + n, "Stick " + n, axes[0].id, axes[1].id, true, ElementInfo::Role::other});
    device_->applyPairs(std::move(pairs));
}

// ---- axis roles

const std::vector<std::pair<QString, std::optional<RorozErurEvo::AxisRole>>>& AxisRolesEditor::options() {
    using RorozErurEvo::AxisRole;
    static const std::vector<std::pair<QString, std::optional<AxisRole>>> list{
        {QStringLiteral("None"), std::nullopt},
        {QStringLiteral("Steering"), AxisRole::steering},
        {QStringLiteral("Pedal"), AxisRole::pedal},
        {QStringLiteral("Twist or rudder"), AxisRole::twist},
        {QStringLiteral("Throttle or slider"), AxisRole::throttle},
    };
    return list;
}

AxisRolesEditor::AxisRolesEditor(std::shared_ptr<InputDevice> device, QWidget* parent)
    : QGroupBox(QStringLiteral("Wheel, pedal and flight-stick axes"), parent), device_(std::move(device)) {
    setObjectName(QStringLiteral("axis-roles"));
    auto* box = new QVBoxLayout(this);
    box->setSpacing(8);
    box->addWidget(note(QStringLiteral("Give an axis a role and its tests appear on the Bench: steering and twist get full "
                                       "travel and center at rest, pedals get travel, dead spots and the dead zones to "
                                       "set, throttles get full travel. Input only: force feedback isn't tested."),
                        this));
    noAxes_ = new QLabel(QStringLiteral("This device has no axes."), this);
    noAxes_->setFont(Fonts::callout());
    noAxes_->setForegroundRole(QPalette::PlaceholderText);
    box->addWidget(noAxes_);
    gridBox_ = new QWidget(this);
    box->addWidget(gridBox_, 0, Qt::AlignLeft);
    grid_ = new QGridLayout(gridBox_);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(12);
    grid_->setVerticalSpacing(6);
    connect(device_.get(), &InputDevice::elementsChanged, this, &AxisRolesEditor::rebuild);
    connect(device_.get(), &InputDevice::axisRolesChanged, this, &AxisRolesEditor::refreshValues);
    rebuild();
}

void AxisRolesEditor::rebuild() {
    auto axes = device_->analogAxes();
    noAxes_->setVisible(axes.empty());
    if (axes == shown_ && !pickers_.empty()) {
        refreshValues();
        return;
    }
    while (auto* item = grid_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    pickers_.clear();
    shown_ = axes;
    int r = 0;
    for (const auto& axis : axes) {
        auto* name = new QLabel(QString::fromStdString(axis.name), gridBox_);
        name->setMinimumWidth(110);
        auto* usage = new QLabel(RawHIDTexts::usage(axis), gridBox_);
        QFont mono = Fonts::caption();
        mono.setFamilies({QStringLiteral("DejaVu Sans Mono")});
        usage->setFont(mono);
        usage->setForegroundRole(QPalette::PlaceholderText);
        auto* picker = new QComboBox(gridBox_);
        picker->setFixedWidth(190);
        picker->setAccessibleName(QStringLiteral("Role for ") + QString::fromStdString(axis.name));
        AccessibleLabel::hidden(*picker, picker->accessibleName());
        for (const auto& [label, role] : options()) picker->addItem(label);
        const std::string id = axis.id;
        connect(picker, &QComboBox::currentIndexChanged, this, [this, id](int index) {
            if (index >= 0 && index < int(options().size())) setRole(id, options()[size_t(index)].second);
        });
        grid_->addWidget(name, r, 0);
        grid_->addWidget(usage, r, 1);
        grid_->addWidget(picker, r, 2);
        pickers_[id] = picker;
        ++r;
    }
    refreshValues();
}

void AxisRolesEditor::refreshValues() {
    const auto& roles = device_->axisRoles();
    for (auto& [id, picker] : pickers_) {
        auto it = roles.find(id);
        std::optional<RorozErurEvo::AxisRole> role;
        if (it != roles.end()) role = it->second;
        int index = 0;
        for (size_t i = 0; i < options().size(); ++i)
            if (options()[i].second == role) index = int(i);
        if (picker->currentIndex() != index) {
            QSignalBlocker block(picker);
            picker->setCurrentIndex(index);
        }
    }
}

void AxisRolesEditor::setRole(const std::string& id, std::optional<RorozErurEvo::AxisRole> role) {
    auto roles = device_->axisRoles();
    if (role)
        roles[id] = *role;
    else
        roles.erase(id);
    device_->setAxisRoles(std::move(roles));
}

} // namespace Tessarine
