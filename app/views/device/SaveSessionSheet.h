#pragma once
// The sheet that confirms which unit a device's results belong to before they are saved as a
// session: it loads the device's unit record once, lets the user edit it, says how many results
// will be saved, and on "Save" hands the record to the model, which keeps it, writes the session
// and toasts the outcome. Whatever the outcome, the sheet then closes; Cancel, Escape or closing
// the window change nothing.
#include <QDialog>

#include <cstddef>
#include <memory>

#include "app/model/UnitRecord.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace Tessarine {

class DeviceLists;
class SessionCommands;
class UserSettings;
class InputDevice;

class SaveSessionSheet : public QDialog {
    Q_OBJECT

public:
    // Pixel measures.
    static constexpr int sheetWidth = 480;
    static constexpr int spacing = 14;
    static constexpr int padding = 20;
    // The notes field grows with its text between these numbers of lines.
    static constexpr int notesMinimumLines = 3;
    static constexpr int notesMaximumLines = 6;

    SaveSessionSheet(DeviceLists& lists, const UserSettings& settings, SessionCommands& commands,
                     std::shared_ptr<InputDevice> device, QWidget* parent = nullptr);

    // "No results yet: the session will be empty.", "1 result will be saved.",
    // "<n> results will be saved.".
    static QString summary(std::size_t count);

    // The record as the form holds it now.
    UnitRecord record() const;

    QLineEdit* unitField() const { return unit_; }
    QLineEdit* stageField() const { return stage_; }
    QToolButton* presetsButton() const { return presets_; }
    QLineEdit* ticketField() const { return ticket_; }
    QLineEdit* technicianField() const { return technician_; }
    QPlainTextEdit* notesField() const { return notes_; }
    QLabel* summaryLabel() const { return summary_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    // Builders of the sheet's parts, each run once by the constructor.
    void buildTitle(QVBoxLayout* column);
    void buildStageRow(QFormLayout* form);
    void buildNotes(QFormLayout* form);

    void load();
    void save();
    void refreshSummary();
    void fitNotes();

    DeviceLists& lists_;
    const UserSettings& settings_;
    SessionCommands& commands_;
    const std::shared_ptr<InputDevice> device_;
    QLineEdit* unit_;
    QLineEdit* stage_;
    QToolButton* presets_;
    QLineEdit* ticket_;
    QLineEdit* technician_;
    QPlainTextEdit* notes_;
    QLabel* summary_;
    QPushButton* cancel_;
    QPushButton* save_;
};

} // namespace Tessarine
