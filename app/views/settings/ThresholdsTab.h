#pragma once
// The settings window's Thresholds tab: every limit and test setting, edited either for the
// application's own thresholds (devices without a family profile) or for one controller family's
// profile, which counts as changed only while it differs from the family's typical limits.
// Every committed edit is written through the model at once, unless it is impossible: text that is
// no number, or a record the model refuses (a negative limit, or a warn limit beyond its fail limit
// for the way the measure gets worse). Such an entry is refused, the field keeps the last good value
// and the line under the row says why, in the row's own units.
#include <QWidget>

#include <functional>
#include <vector>

#include "app/views/settings/ThresholdRows.h"
#include "testkit/ControllerFamily.h"
#include "testkit/LimitOrder.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace Tessarine {

class Announcer;
class NumberField;
class UserSettings;

class ThresholdsTab : public QWidget {
    Q_OBJECT

public:
    using ControllerFamily = RorozErurEvo::ControllerFamily;
    using Thresholds = RorozErurEvo::Thresholds;

    explicit ThresholdsTab(UserSettings& settings, Announcer& announcer, QWidget* parent = nullptr);

    // The family whose limits the sections show; generic means the application's own thresholds.
    // It starts at generic whenever the tab is made and is stored nowhere.
    ControllerFamily editing() const { return editing_; }
    void setEditing(ControllerFamily family);

    // The record the sections edit, chosen by editing(). Setting it returns the model's refusal.
    Thresholds editedThresholds() const;
    std::optional<RorozErurEvo::LimitOrder::Refusal> setEditedThresholds(const Thresholds& value);

    void restoreDefaults();
    void restoreTypicalProfile();

private:
    void refresh();
    void buildFamilySection(QVBoxLayout& column);
    void buildLimitSections(QVBoxLayout& column);
    // The row's editor, which shows the edited record's value and offers what is typed; `reason`
    // is the line under the row (none for the gate picker).
    QWidget* editor(const ThresholdRow& spec, QLabel* reason);
    QWidget* limitPairEditor(const ThresholdRow& spec, QLabel* reason);
    QWidget* percentEditor(const ThresholdRow& spec, QLabel* reason);
    QWidget* valueEditor(const ThresholdRow& spec, QLabel* reason);
    QWidget* ratePairEditor(const ThresholdRow& spec, QLabel* reason);
    QWidget* gateEditor(const ThresholdRow& spec);
    // Text that is no number is refused in `reason`.
    void refuseOnUnreadable(NumberField& field, QLabel* reason);
    void edit(const std::function<void(Thresholds&)>& change);
    // The hidden line under a row that says why its last entry was refused.
    QLabel* reasonLabel(const char* key);
    // Stores `value` in `field` of the edited record, or refuses it in `reason`; `shown` writes a
    // value as the row shows it.
    void offer(ThresholdRow::Field field, double value, QLabel* reason, const std::function<QString(double)>& shown);
    void refuse(QLabel* reason, const QString& why);
    void hideReasons();

    UserSettings& settings_;
    Announcer& announcer_;
    ControllerFamily editing_ = ControllerFamily::generic;
    QCheckBox* useFamilies_ = nullptr;
    QComboBox* picker_ = nullptr;
    QFormLayout* familyRows_ = nullptr;
    QLabel* note_ = nullptr;
    QGroupBox* sticks_ = nullptr;
    QPushButton* restore_ = nullptr;
    // Each shows its row's current value.
    std::vector<std::function<void(const Thresholds&)>> rows_;
    std::vector<QLabel*> reasons_;
};

} // namespace Tessarine
