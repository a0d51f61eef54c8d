#include "app/views/device/SaveSessionSheet.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/devices/InputDevice.h"
#include "app/model/TestRunner.h"
#include "app/model/DeviceLists.h"
#include "app/model/SessionCommands.h"
#include "app/model/UserSettings.h"
#include "app/paint/Theme.h"
#include "app/views/kit/DialogButtons.h"
#include "app/views/kit/TextField.h"

namespace Tessarine {

namespace {

void muted(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label->setPalette(palette);
}

} // namespace

SaveSessionSheet::SaveSessionSheet(DeviceLists& lists, const UserSettings& settings,
                                   SessionCommands& commands, std::shared_ptr<InputDevice> device,
                                   QWidget* parent)
    : QDialog(parent), lists_(lists), settings_(settings), commands_(commands), device_(std::move(device)),
      unit_(textField(QStringLiteral("Unit (serial or ticket #)"), QStringLiteral("save-unit"))),
      stage_(textField(QStringLiteral("Stage"), QStringLiteral("save-stage"))), presets_(new QToolButton),
      ticket_(textField(QStringLiteral("Ticket #"), QStringLiteral("save-ticket"))),
      technician_(textField(QStringLiteral("Technician"), QStringLiteral("save-technician"))),
      notes_(new QPlainTextEdit), summary_(new QLabel), cancel_(new QPushButton(QStringLiteral("Cancel"))),
      save_(new QPushButton(QStringLiteral("Save"))) {
    setObjectName(QStringLiteral("save-session-sheet"));
    setWindowTitle(QStringLiteral("Save Session"));
    setFixedWidth(sheetWidth);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(spacing);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSizeConstraint(QLayout::SetFixedSize);

    buildTitle(column);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(unit_->accessibleName(), unit_);
    buildStageRow(form);
    form->addRow(ticket_->accessibleName(), ticket_);
    form->addRow(technician_->accessibleName(), technician_);
    buildNotes(form);
    column->addLayout(form);

    summary_->setObjectName(QStringLiteral("save-summary"));
    summary_->setFont(Fonts::callout());
    muted(summary_);
    column->addWidget(summary_);

    cancel_->setObjectName(QStringLiteral("save-cancel"));
    save_->setObjectName(QStringLiteral("save-confirm"));
    column->addLayout(dialogButtons(this, cancel_, save_));

    connect(save_, &QPushButton::clicked, this, &SaveSessionSheet::save);
    connect(&lists_.runner(device_), &TestRunner::resultsChanged, this, &SaveSessionSheet::refreshSummary);

    load();
    refreshSummary();
    fitNotes();
    // A serial is scanned or typed over the prefilled unit, never appended to it.
    unit_->selectAll();
    unit_->setFocus();
}

// The sheet's title and the device's name.
void SaveSessionSheet::buildTitle(QVBoxLayout* column) {
    auto* title = new QLabel(QStringLiteral("Save Session"));
    QFont titleFont = Fonts::title();
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    auto* name = new QLabel(QString::fromStdString(device_->info().name));
    name->setObjectName(QStringLiteral("save-device"));
    muted(name);
    column->addWidget(title);
    column->addWidget(name);
}

// The stage field with its menu of presets.
void SaveSessionSheet::buildStageRow(QFormLayout* form) {
    presets_->setObjectName(QStringLiteral("save-presets"));
    presets_->setText(QStringLiteral("Presets"));
    presets_->setPopupMode(QToolButton::InstantPopup);
    auto* presetMenu = new QMenu(presets_);
    for (const char* preset : stagePresets) {
        const QString text = QString::fromUtf8(preset);
        connect(presetMenu->addAction(text), &QAction::triggered, this,
                [this, text] { stage_->setText(text); });
    }
    presets_->setMenu(presetMenu);
    auto* stageRow = new QHBoxLayout;
    stageRow->addWidget(stage_, 1);
    stageRow->addWidget(presets_);
    form->addRow(stage_->accessibleName(), stageRow);
}

// The notes field, which grows with its text up to a limit (fitNotes).
void SaveSessionSheet::buildNotes(QFormLayout* form) {
    notes_->setObjectName(QStringLiteral("save-notes"));
    notes_->setAccessibleName(QStringLiteral("Notes"));
    notes_->setTabChangesFocus(true);
    notes_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(notes_->document(), &QTextDocument::contentsChanged, this, &SaveSessionSheet::fitNotes);
    form->addRow(notes_->accessibleName(), notes_);
}

QString SaveSessionSheet::summary(std::size_t count) {
    if (count == 0) return QStringLiteral("No results yet: the session will be empty.");
    return QStringLiteral("%1 result%2 will be saved.").arg(count).arg(count == 1 ? "" : "s");
}

UnitRecord SaveSessionSheet::record() const {
    return UnitRecord{.unit = unit_->text().toStdString(),
                      .stage = stage_->text().toStdString(),
                      .ticket = ticket_->text().toStdString(),
                      .notes = notes_->toPlainText().toStdString(),
                      .technician = technician_->text().toStdString()};
}

void SaveSessionSheet::load() {
    UnitRecord loaded = lists_.unit(*device_);
    if (loaded.technician.empty()) loaded.technician = settings_.defaultTechnician();
    unit_->setText(QString::fromStdString(loaded.unit));
    stage_->setText(QString::fromStdString(loaded.stage));
    ticket_->setText(QString::fromStdString(loaded.ticket));
    technician_->setText(QString::fromStdString(loaded.technician));
    notes_->setPlainText(QString::fromStdString(loaded.notes));
}

void SaveSessionSheet::save() {
    // A failure reaches the user as the model's toast; the record stays with the model.
    commands_.saveSession(device_, record());
    accept();
}

void SaveSessionSheet::refreshSummary() {
    summary_->setText(summary(lists_.runner(device_).results().size()));
}

void SaveSessionSheet::fitNotes() {
    // Lines as laid out at the field's width, wrapped lines included.
    int lines = 0;
    for (QTextBlock block = notes_->document()->begin(); block.isValid(); block = block.next())
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    const int shown = std::clamp(lines, notesMinimumLines, notesMaximumLines);
    const QMargins frame = notes_->contentsMargins();
    const int height = shown * notes_->fontMetrics().lineSpacing() +
                       2 * int(notes_->document()->documentMargin()) + frame.top() + frame.bottom();
    notes_->setFixedHeight(height);
}

} // namespace Tessarine
