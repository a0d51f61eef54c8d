#pragma once
// The top of the bench: which unit is on it and at what stage of the repair, what its results
// add up to so far, and what can be done with them (save, copy the listing, a PDF report, the
// unit's history, clear for the next unit). Three rows, 16 pixels apart. It keeps nothing of its
// own: the unit record lives in the model under the device's identifier, the results in the
// device's runner, and the bar follows both.
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace Tessarine {

class DeviceLists;
class Navigation;
class SessionCommands;
class InputDevice;
class TestRunner;
class SymbolText;

class UnitBar : public QWidget {
    Q_OBJECT

public:
    UnitBar(std::shared_ptr<InputDevice> device, TestRunner& runner, DeviceLists& lists,
            Navigation& navigation, SessionCommands& commands, QWidget* parent = nullptr);

    QLineEdit* unitField() const { return unit_; }
    QComboBox* stagePicker() const { return stage_; }
    QLabel* summary() const { return heading_; }
    QWidget* actions() const { return actions_; }
    // The pass, warn and fail counts; hidden at zero.
    SymbolText* count(int index) const { return counts_[index]; }
    // The question "Clear Results" asks while results are not saved; null when none is open.
    QMessageBox* confirmation() const { return confirm_; }

    void refresh();

private:
    // Builders of the bar's three rows, each run once by the constructor.
    void buildUnitRow(QVBoxLayout* rows);
    void buildSummaryRow(QVBoxLayout* rows);
    void buildActions(QVBoxLayout* rows);
    QPushButton* action(const QString& title, const QString& symbol, const QString& name);
    // Clears at once when every result is in a saved session, else asks first.
    void clearResults();
    void clearNow();

    std::shared_ptr<InputDevice> device_;
    TestRunner& runner_;
    DeviceLists& lists_;
    Navigation& navigation_;
    SessionCommands& commands_;

    QLineEdit* unit_;
    QComboBox* stage_;
    QWidget* summaryRow_;
    QLabel* heading_;
    SymbolText* counts_[3];
    QWidget* actions_;
    QPushButton* clear_;
    QPointer<QMessageBox> confirm_;
};

} // namespace Tessarine
