#include "app/views/settings/ThresholdsTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

#include "app/base/Logging.h"
#include "app/model/Services.h"
#include "app/model/UserSettings.h"
#include "app/paint/Theme.h"
#include "app/views/kit/NumberField.h"
#include "app/views/kit/NumberText.h"
#include "app/views/kit/PercentField.h"
#include "app/views/settings/LimitsFallbackNote.h"
#include "app/views/settings/SettingsParts.h"
#include "app/views/settings/SettingsTexts.h"
#include "app/views/kit/ViewParts.h"
#include "app/views/settings/ThresholdRows.h"

namespace Tessarine {

using RorozErurEvo::FamilyProfiles;
using RorozErurEvo::GateShape;

namespace {

// Pixels.
constexpr int valueWidth = 60;
constexpr int rateWidth = 52;
constexpr int pairSpacing = 6;
constexpr int unitSpacing = 4;

const char* const intro =
    "Starting points from common tester guidance (drift under 1% is excellent; circularity error under 8% is good), "
    "not manufacturer specifications. Set them to your shop's standard.";
const char* const familyExplanation =
    "Xbox, PlayStation, Switch, N64-style and GameCube-style controllers are told apart by name and USB IDs, and each "
    "gets limits typical for its family (not manufacturer specs; none are published). Other devices use your "
    "thresholds. You can change a device's family on the bench.";

// A short secondary text beside a field: one line.
QLabel* secondary(const QString& text) {
    QLabel* label = ViewParts::secondaryLabel(text, Fonts::body());
    label->setWordWrap(false);
    return label;
}

QWidget* row(QBoxLayout* layout) {
    auto* widget = new QWidget;
    widget->setLayout(layout);
    layout->setContentsMargins(0, 0, 0, 0);
    return widget;
}

// "warn" and its field, then "fail" and its field, on one line.
QWidget* warnAndFail(QWidget* warn, QWidget* fail) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(pairSpacing);
    layout->addWidget(secondary(QStringLiteral("warn")));
    layout->addWidget(warn);
    layout->addWidget(secondary(QStringLiteral("fail")));
    layout->addWidget(fail);
    layout->addStretch(1);
    return row(layout);
}

QString percentText(double fraction) {
    return NumberText::text(NumberText::percentShown(fraction), 1) + QStringLiteral(" %");
}

} // namespace

ThresholdsTab::ThresholdsTab(UserSettings& settings, Announcer& announcer, QWidget* parent)
    : QWidget(parent), settings_(settings), announcer_(announcer) {
    setObjectName(QStringLiteral("settings-thresholds"));
    QVBoxLayout* column = SettingsParts::scrollingColumn(*this);

    QFormLayout* rows = nullptr;
    SettingsParts::section(*column, QString(), rows);
    auto* introLabel = ViewParts::secondaryLabel(QString::fromUtf8(intro), Fonts::callout());
    introLabel->setObjectName(QStringLiteral("thresholds-intro"));
    rows->addRow(introLabel);
    rows->addRow(new LimitsFallbackNote(settings_));

    buildFamilySection(*column);
    buildLimitSections(*column);

    SettingsParts::section(*column, QString(), rows);
    restore_ = new QPushButton;
    restore_->setObjectName(QStringLiteral("thresholds-restore"));
    connect(restore_, &QPushButton::clicked, this, [this] {
        if (editing_ == ControllerFamily::generic) restoreDefaults();
        else restoreTypicalProfile();
    });
    SettingsParts::naturalWidth(*restore_);
    rows->addRow(restore_);
    column->addStretch(1);
    SettingsParts::alignLabels(*this);

    connect(&settings_, &UserSettings::thresholdsChanged, this, &ThresholdsTab::refresh);
    connect(&settings_, &UserSettings::familyProfilesChanged, this, &ThresholdsTab::refresh);
    connect(&settings_, &UserSettings::useFamilyProfilesChanged, this, &ThresholdsTab::refresh);
    refresh();
}

void ThresholdsTab::buildFamilySection(QVBoxLayout& column) {
    QFormLayout* rows = nullptr;
    SettingsParts::section(column, QStringLiteral("Controller family profiles"), rows)
        ->setObjectName(QStringLiteral("thresholds-families"));

    useFamilies_ = new QCheckBox(QStringLiteral("Pick limits by controller family"));
    useFamilies_->setObjectName(QStringLiteral("thresholds-use-families"));
    connect(useFamilies_, &QCheckBox::toggled, this, [this](bool on) { settings_.setUseFamilyProfiles(on); });
    rows->addRow(useFamilies_);
    rows->addRow(ViewParts::secondaryLabel(QString::fromUtf8(familyExplanation), Fonts::callout()));

    picker_ = new QComboBox;
    picker_->setObjectName(QStringLiteral("thresholds-family"));
    picker_->setAccessibleName(QStringLiteral("Edit limits for"));
    picker_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    SettingsParts::naturalWidth(*picker_);
    for (auto family : RorozErurEvo::allCases<ControllerFamily>()) {
        if (family == ControllerFamily::generic) continue;
        picker_->addItem(QString(), int(family));
    }
    // Your own thresholds first, set apart from the families.
    picker_->insertItem(0, QString(), int(ControllerFamily::generic));
    picker_->insertSeparator(1);
    connect(picker_, &QComboBox::activated, this,
            [this](int index) { setEditing(ControllerFamily(picker_->itemData(index).toInt())); });
    rows->addRow(QStringLiteral("Edit limits for"), picker_);

    note_ = ViewParts::secondaryLabel(QString(), Fonts::callout());
    note_->setObjectName(QStringLiteral("thresholds-note"));
    rows->addRow(note_);
    familyRows_ = rows;
}

void ThresholdsTab::buildLimitSections(QVBoxLayout& column) {
    std::vector<QFormLayout*> sections;
    for (const char* header : ThresholdRows::sections) {
        QFormLayout* rows = nullptr;
        QGroupBox* box = SettingsParts::section(column, QString::fromUtf8(header), rows);
        if (!sticks_) sticks_ = box;
        sections.push_back(rows);
    }
    sticks_->setObjectName(QStringLiteral("thresholds-sticks"));

    for (const ThresholdRow& spec : ThresholdRows::all()) {
        QFormLayout* rows = sections[std::size_t(spec.section)];
        // Why the row's last entry was refused, in the line under it; added after the row.
        QLabel* reason = spec.editor == ThresholdRow::Editor::gate ? nullptr : reasonLabel(spec.key);
        rows->addRow(QString::fromUtf8(spec.label), editor(spec, reason));
        if (reason) {
            rows->addRow(static_cast<QWidget*>(nullptr), reason);
            rows->setRowVisible(reason, false);
        }
    }
}

QWidget* ThresholdsTab::editor(const ThresholdRow& spec, QLabel* reason) {
    switch (spec.editor) {
    case ThresholdRow::Editor::limitPair: return limitPairEditor(spec, reason);
    case ThresholdRow::Editor::percent: return percentEditor(spec, reason);
    case ThresholdRow::Editor::value: return valueEditor(spec, reason);
    case ThresholdRow::Editor::ratePair: return ratePairEditor(spec, reason);
    case ThresholdRow::Editor::gate: return gateEditor(spec);
    }
    return nullptr;
}

void ThresholdsTab::refuseOnUnreadable(NumberField& field, QLabel* reason) {
    connect(&field, &NumberField::unreadable, this,
            [this, reason](const QString& text) { refuse(reason, SettingsTexts::unreadableRefusal(text)); });
}

QWidget* ThresholdsTab::limitPairEditor(const ThresholdRow& spec, QLabel* reason) {
    const QString label = QString::fromUtf8(spec.label);
    auto* warn = new PercentField(label + QStringLiteral(", warn"));
    auto* fail = new PercentField(label + QStringLiteral(", fail"));
    warn->field()->setObjectName(QString::fromUtf8(spec.key));
    fail->field()->setObjectName(QString::fromUtf8(spec.secondKey));
    const auto first = spec.first;
    const auto second = spec.second;
    connect(warn, &PercentField::edited, this, [=, this](double v) { offer(first, v, reason, percentText); });
    connect(fail, &PercentField::edited, this, [=, this](double v) { offer(second, v, reason, percentText); });
    for (auto* field : {warn, fail}) refuseOnUnreadable(*field->field(), reason);
    rows_.push_back([=](const Thresholds& t) {
        warn->setValue(t.*first);
        fail->setValue(t.*second);
    });
    return warnAndFail(warn, fail);
}

QWidget* ThresholdsTab::percentEditor(const ThresholdRow& spec, QLabel* reason) {
    auto* field = new PercentField(QString::fromUtf8(spec.label));
    field->field()->setObjectName(QString::fromUtf8(spec.key));
    const auto first = spec.first;
    connect(field, &PercentField::edited, this, [=, this](double v) { offer(first, v, reason, percentText); });
    refuseOnUnreadable(*field->field(), reason);
    rows_.push_back([=](const Thresholds& t) { field->setValue(t.*first); });
    return field;
}

QWidget* ThresholdsTab::valueEditor(const ThresholdRow& spec, QLabel* reason) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(unitSpacing);
    auto* field = new NumberField(1, valueWidth);
    field->setObjectName(QString::fromUtf8(spec.key));
    field->setAccessibleName(QString::fromUtf8(spec.label));
    const QString unitText = QString::fromUtf8(spec.unit);
    auto* unit = secondary(unitText);
    unit->setObjectName(QString::fromUtf8(spec.key) + QStringLiteral("-unit"));
    layout->addWidget(field);
    layout->addWidget(unit);
    layout->addStretch(1);
    const auto valueText = [unitText](double v) {
        const QString number = NumberText::text(v, 1);
        return unitText.isEmpty() ? number : number + QLatin1Char(' ') + unitText;
    };
    const auto first = spec.first;
    connect(field, &NumberField::committed, this, [=, this](double typed) { offer(first, typed, reason, valueText); });
    refuseOnUnreadable(*field, reason);
    rows_.push_back([=](const Thresholds& t) { field->setValue(t.*first); });
    return row(layout);
}

QWidget* ThresholdsTab::ratePairEditor(const ThresholdRow& spec, QLabel* reason) {
    const auto rateText = [](double v) { return NumberText::text(v, 2); };
    auto makeField = [&](const char* key, const QString& name, ThresholdRow::Field field) {
        auto* edit = new NumberField(2, rateWidth);
        edit->setObjectName(QString::fromUtf8(key));
        edit->setAccessibleName(name);
        connect(edit, &NumberField::committed, this, [=, this](double typed) { offer(field, typed, reason, rateText); });
        refuseOnUnreadable(*edit, reason);
        return edit;
    };
    const auto first = spec.first;
    const auto second = spec.second;
    NumberField* warn = makeField(spec.key, QStringLiteral("Dropouts per minute, warn"), first);
    NumberField* fail = makeField(spec.secondKey, QStringLiteral("Dropouts per minute, fail"), second);
    rows_.push_back([=](const Thresholds& t) {
        warn->setValue(t.*first);
        fail->setValue(t.*second);
    });
    return warnAndFail(warn, fail);
}

QWidget* ThresholdsTab::gateEditor(const ThresholdRow& spec) {
    auto* picker = new QComboBox;
    picker->setObjectName(QString::fromUtf8(spec.key));
    picker->setAccessibleName(QString::fromUtf8(spec.label));
    SettingsParts::naturalWidth(*picker);
    for (auto gate : RorozErurEvo::allCases<GateShape>()) picker->addItem(QString::fromStdString(title(gate)), int(gate));
    connect(picker, &QComboBox::activated, this, [=, this](int index) {
        const auto gate = GateShape(picker->itemData(index).toInt());
        edit([&](Thresholds& t) { t.gate = gate; });
    });
    rows_.push_back([=](const Thresholds& t) {
        const QSignalBlocker blocker(picker);
        picker->setCurrentIndex(picker->findData(int(t.gate)));
    });
    return picker;
}

QLabel* ThresholdsTab::reasonLabel(const char* key) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromUtf8(key) + QStringLiteral("-refusal"));
    label->setFont(Fonts::callout());
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Color::failRed());
    label->setPalette(palette);
    reasons_.push_back(label);
    return label;
}

void ThresholdsTab::offer(ThresholdRow::Field field, double value, QLabel* reason,
                          const std::function<QString(double)>& shown) {
    Thresholds next = editedThresholds();
    next.*field = value;
    const auto refusal = setEditedThresholds(next);
    if (!refusal) {
        hideReasons();
        return;
    }
    // The model's reason, said with the row's own numbers where it is about this row.
    QString why;
    if (const auto& pair = refusal->pair; pair && (pair->warn == field || pair->fail == field))
        why = SettingsTexts::orderRefusal(shown(next.*pair->warn), shown(next.*pair->fail), pair->worse);
    else if (!pair && refusal->field == field && std::isfinite(value))
        why = SettingsTexts::negativeRefusal(shown(value));
    else
        why = QStringLiteral("Couldn't save: ") + QString::fromStdString(refusal->reason) + QLatin1Char('.');
    refuse(reason, why);
}

void ThresholdsTab::refuse(QLabel* reason, const QString& why) {
    qCInfo(logViews) << "threshold not saved:" << why;
    hideReasons();
    reason->setText(why);
    reason->setAccessibleName(why);
    if (auto* rows = qobject_cast<QFormLayout*>(reason->parentWidget()->layout())) rows->setRowVisible(reason, true);
    announcer_.announce(why);
}

void ThresholdsTab::hideReasons() {
    for (QLabel* reason : reasons_) {
        if (reason->isHidden()) continue;
        if (auto* rows = qobject_cast<QFormLayout*>(reason->parentWidget()->layout())) rows->setRowVisible(reason, false);
    }
}

void ThresholdsTab::setEditing(ControllerFamily family) {
    if (family == editing_) return;
    editing_ = family;
    refresh();
}

RorozErurEvo::Thresholds ThresholdsTab::editedThresholds() const {
    if (editing_ == ControllerFamily::generic) return settings_.thresholds();
    return settings_.familyProfiles().thresholds(editing_);
}

std::optional<RorozErurEvo::LimitOrder::Refusal> ThresholdsTab::setEditedThresholds(const Thresholds& value) {
    if (editing_ == ControllerFamily::generic) return settings_.setThresholds(value);
    FamilyProfiles profiles = settings_.familyProfiles();
    profiles.set(value, editing_);
    return settings_.setFamilyProfiles(std::move(profiles));
}

void ThresholdsTab::edit(const std::function<void(Thresholds&)>& change) {
    Thresholds value = editedThresholds();
    change(value);
    setEditedThresholds(value);
}

void ThresholdsTab::restoreDefaults() { settings_.setThresholds(Thresholds::standard()); }

void ThresholdsTab::restoreTypicalProfile() {
    FamilyProfiles profiles = settings_.familyProfiles();
    profiles.reset(editing_);
    settings_.setFamilyProfiles(std::move(profiles));
}

void ThresholdsTab::refresh() {
    {
        const QSignalBlocker blocker(useFamilies_);
        useFamilies_->setChecked(settings_.useFamilyProfiles());
    }
    {
        const QSignalBlocker blocker(picker_);
        for (int i = 0; i < picker_->count(); ++i) {
            const QVariant data = picker_->itemData(i);
            if (!data.isValid()) continue; // the separator
            const QString text =
                SettingsTexts::familyLabel(ControllerFamily(data.toInt()), settings_.familyProfiles());
            if (picker_->itemText(i) != text) picker_->setItemText(i, text);
        }
        picker_->setCurrentIndex(picker_->findData(int(editing_)));
    }
    const bool family = editing_ != ControllerFamily::generic;
    const QString note = family ? QString::fromStdString(RorozErurEvo::note(editing_)) : QString();
    if (note_->text() != note) note_->setText(note);
    familyRows_->setRowVisible(note_, family);
    sticks_->setTitle(SettingsTexts::sticksHeader(editing_));
    restore_->setText(SettingsTexts::restoreTitle(editing_));

    const Thresholds shown = editedThresholds();
    for (const auto& show : rows_) show(shown);
    hideReasons();
}

} // namespace Tessarine
