#pragma once
// The two editors that say what a raw HID device's axes mean: sticks made from two axes, and
// the role of single axes (steering, pedal, twist, throttle). Both edit the device record only;
// pairs always go through InputDevice::applyPairs with the whole new list.
#include <QGroupBox>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/devices/InputDevice.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace Tessarine {

class StickPairsEditor : public QGroupBox {
    Q_OBJECT

public:
    explicit StickPairsEditor(std::shared_ptr<InputDevice> device, QWidget* parent = nullptr);

    struct Row {
        QWidget* widget = nullptr;
        QLabel* name = nullptr;
        QComboBox* x = nullptr;
        QComboBox* y = nullptr;
        // What screen readers read for the two pickers: "Stick 2 X axis", "Stick 2 Y axis".
        QLabel* xName = nullptr;
        QLabel* yName = nullptr;
        QCheckBox* flip = nullptr;
        QToolButton* remove = nullptr;
    };
    const std::map<std::string, Row>& rows() const { return rows_; }
    QPushButton* addButton() const { return add_; }

    // Appends a new stick on the first two candidate axes; nothing with fewer than two.
    void addStick();
    void removePair(const std::string& id);
    // Replaces one pair's field through the device; nothing when no pair has that id.
    void setX(const std::string& id, const std::string& axis);
    void setY(const std::string& id, const std::string& axis);
    void setInvertY(const std::string& id, bool invert);

private:
    void rebuild();
    void refreshValues();
    template <class Change> void change(const std::string& id, Change&& apply);

    std::shared_ptr<InputDevice> device_;
    QVBoxLayout* rowsBox_;
    QPushButton* add_;
    std::vector<std::string> shownIDs_;
    std::vector<ElementInfo> shownAxes_;
    std::map<std::string, Row> rows_;
};

class AxisRolesEditor : public QGroupBox {
    Q_OBJECT

public:
    explicit AxisRolesEditor(std::shared_ptr<InputDevice> device, QWidget* parent = nullptr);

    // The picker's options in order, "None" first.
    static const std::vector<std::pair<QString, std::optional<RorozErurEvo::AxisRole>>>& options();

    // The role picker of each axis, by element id.
    const std::map<std::string, QComboBox*>& pickers() const { return pickers_; }
    QLabel* noAxes() const { return noAxes_; }

    // Writes the role, or removes the entry for none.
    void setRole(const std::string& id, std::optional<RorozErurEvo::AxisRole> role);

private:
    void rebuild();
    void refreshValues();

    std::shared_ptr<InputDevice> device_;
    QLabel* noAxes_;
    QGridLayout* grid_;
    QWidget* gridBox_;
    std::vector<ElementInfo> shown_;
    std::map<std::string, QComboBox*> pickers_;
};

} // namespace Tessarine
