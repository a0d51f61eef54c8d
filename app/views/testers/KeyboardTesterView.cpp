#include "app/views/testers/KeyboardTesterView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/base/Clock.h"
#include "app/model/SessionCommands.h"
#include "app/model/UserSettings.h"
#include "app/model/KeyboardTester.h"
#include "app/views/kit/ReturnKeys.h"
#include "app/views/testers/KeyCapture.h"
#include "app/views/testers/KeyboardDrawing.h"
#include "app/paint/Symbols.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/ViewParts.h"
#include "app/views/testers/TesterParts.h"
#include "app/views/testers/TesterSaveDialog.h"
#include "app/views/testers/TesterTexts.h"
#include "app/paint/Theme.h"
#include "testkit/KeyboardLayout.h"

namespace Tessarine {

using RorozErurEvo::KeyboardLayout;

namespace {
constexpr int pickerWidth = 150;  // pixels: the layout picker; the board picker takes its text's width
constexpr int labelGap = 4;       // pixels between a picker's label and the picker
constexpr int groupGap = 12;      // pixels before each label and its picker
constexpr int statisticsGap = 24; // pixels between the four figures

// The keys that the desktop handles itself never reach an application's window.
const char* const closingNote =
    "Only keys that reach this window count: keys the desktop keeps for itself, such as the Super key, Print, "
    "Alt+Tab and the brightness, volume and media keys, never reach it. No special input permission is used.";

// A figure of the statistics row: caption over value, read as one element.
QLabel* statistic(QBoxLayout* row, const QString& title, const QString& objectName,
                  Qt::Alignment alignment = Qt::AlignTop) {
    auto* block = new QWidget;
    auto* stack = new QVBoxLayout(block);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    stack->addWidget(ViewParts::secondaryLabel(title, Fonts::caption()));
    auto* value = new QLabel;
    value->setObjectName(objectName);
    value->setFont(Fonts::callout());
    value->setWordWrap(true);
    value->setAccessibleName(title);
    stack->addWidget(value);
    row->addWidget(block, 0, alignment);
    return value;
}
} // namespace

KeyboardTesterView::KeyboardTesterView(KeyboardTester& tester, const UserSettings& settings,
                                       SessionCommands& commands, const Clock& clock, QWidget* parent)
    : QWidget(parent), tester_(tester), settings_(settings), commands_(commands), clock_(clock) {
    setObjectName(QStringLiteral("keyboard-tester"));
    capture_ = new KeyCapture(tester, eventClock_, clock_, this);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    buildHeader(outer);
    outer->addWidget(new Divider(Qt::Horizontal));

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    const int margin = TesterParts::contentMargin;
    stack->setContentsMargins(margin, margin, margin, margin);
    stack->setSpacing(14);
    buildCaptureRow(stack);
    buildProgress(stack);
    buildStatistics(stack);
    drawing_ = new KeyboardDrawing;
    stack->addWidget(drawing_);
    optionalNote_ = ViewParts::secondaryLabel(QString(), Fonts::caption());
    optionalNote_->setObjectName(QStringLiteral("keyboard-optional-note"));
    stack->addWidget(optionalNote_);
    buildOtherKeys(stack);
    stack->addWidget(ViewParts::secondaryLabel(QString::fromUtf8(closingNote), Fonts::caption()));
    stack->addStretch(1);
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);

    buildShortcuts();
    connect(&tester, &KeyboardTester::changed, this, &KeyboardTesterView::refresh);
    connect(&settings_, &UserSettings::thresholdsChanged, this, &KeyboardTesterView::refresh);
    refresh();
}

namespace {
// A picker of the header, after the label that names it.
template <class E>
QComboBox* headerPicker(QBoxLayout* header, const QString& label, const QString& objectName) {
    auto* picker = new QComboBox;
    picker->setObjectName(objectName);
    picker->setAccessibleName(label);
    for (auto value : RorozErurEvo::allCases<E>())
        picker->addItem(QString::fromStdString(RorozErurEvo::title(value)), QVariant(int(value)));
    auto* text = new QLabel(label);
    text->setBuddy(picker);
    header->addSpacing(groupGap);
    header->addWidget(text);
    header->addSpacing(labelGap);
    header->addWidget(picker);
    return picker;
}
} // namespace

// The title, the layout and board pickers, Reset and Save Session….
void KeyboardTesterView::buildHeader(QVBoxLayout* outer) {
    QBoxLayout* header = ViewParts::header(QStringLiteral("Keyboard"));
    layoutPicker_ = headerPicker<KeyboardLayout::Kind>(header, QStringLiteral("Layout"), QStringLiteral("keyboard-layout"));
    layoutPicker_->setFixedWidth(pickerWidth);
    boardPicker_ = headerPicker<KeyboardLayout::Board>(header, QStringLiteral("Board"), QStringLiteral("keyboard-board"));
    boardPicker_->setAccessibleDescription(KeyboardTexts::boardsDescription());
    boardPicker_->setToolTip(KeyboardTexts::boardsDescription());
    auto* reset = new QPushButton(QStringLiteral("Reset"));
    reset->setObjectName(QStringLiteral("keyboard-reset"));
    header->addSpacing(groupGap);
    header->addWidget(reset);
    auto* save = ViewParts::saveButton(QStringLiteral("keyboard-save"));
    header->addWidget(save);
    outer->addLayout(header);

    // Connected once the items are in, so filling the picker picks nothing.
    connect(layoutPicker_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        tester_.setLayoutKind(KeyboardLayout::Kind(layoutPicker_->itemData(index).toInt()));
    });
    connect(boardPicker_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        tester_.setBoard(KeyboardLayout::Board(boardPicker_->itemData(index).toInt()));
    });
    connect(reset, &QPushButton::clicked, &tester_, &KeyboardTester::reset);
    connect(save, &QPushButton::clicked, this, &KeyboardTesterView::save);
}

void KeyboardTesterView::buildCaptureRow(QVBoxLayout* stack) {
    auto* captureRow = new QHBoxLayout;
    captureRow->setSpacing(12);
    const QColor buttonText = palette().color(QPalette::ButtonText);
    start_ = new QPushButton(Symbols::icon(QStringLiteral("keyboard"), buttonText), QStringLiteral("Start"));
    start_->setObjectName(QStringLiteral("keyboard-start"));
    stop_ = new QPushButton(Symbols::icon(QStringLiteral("stop.fill"), buttonText), QStringLiteral("Stop"));
    stop_->setObjectName(QStringLiteral("keyboard-stop"));
    captureText_ = ViewParts::secondaryLabel(QString(), Fonts::callout());
    captureRow->addWidget(start_);
    captureRow->addWidget(stop_);
    captureRow->addWidget(captureText_, 1);
    stack->addLayout(captureRow);
    connect(start_, &QPushButton::clicked, &tester_, &KeyboardTester::start);
    connect(stop_, &QPushButton::clicked, &tester_, &KeyboardTester::stop);
}

void KeyboardTesterView::buildProgress(QVBoxLayout* stack) {
    progressLabel_ = new QLabel;
    progressLabel_->setObjectName(QStringLiteral("keyboard-progress"));
    progress_ = new QProgressBar;
    progress_->setTextVisible(false);
    stack->addWidget(progressLabel_);
    stack->addWidget(progress_);
}

void KeyboardTesterView::buildStatistics(QVBoxLayout* stack) {
    auto* statistics = new QHBoxLayout;
    statistics->setSpacing(statisticsGap);
    heldValue_ = statistic(statistics, QStringLiteral("Held now"), QStringLiteral("keyboard-held"));
    rolloverValue_ = statistic(statistics, QStringLiteral("Most keys at once"), QStringLiteral("keyboard-rollover"));
    repeatValue_ = statistic(statistics, QStringLiteral("Key repeat"), QStringLiteral("keyboard-repeat"));
    chatterValue_ = statistic(statistics, QStringLiteral("Chatter"), QStringLiteral("keyboard-chatter"));
    statistics->addStretch(1);
    stack->addLayout(statistics);
}

// Keys the drawing lacks (a media key, F13, a keypad's "=") still register: they are listed by
// name with their presses.
void KeyboardTesterView::buildOtherKeys(QVBoxLayout* stack) {
    otherKeysValue_ =
        statistic(stack, QStringLiteral("Other keys"), QStringLiteral("keyboard-other-keys"), Qt::Alignment());
}

// Return starts capture; Esc stops it only while keys are not captured (a captured Esc is a key
// under test, and holding it ends capture in the tester).
void KeyboardTesterView::buildShortcuts() {
    onReturnKeys(this, Qt::WidgetWithChildrenShortcut, this, [this] {
        if (start_->isVisible()) start_->click();
    });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (stop_->isVisible()) stop_->click();
    });
}

void KeyboardTesterView::refresh() {
    const KeyboardTester& tester = tester_;
    const KeyboardLayout& layout = KeyboardLayout::layout(tester.layoutKind());
    {
        QSignalBlocker block(layoutPicker_);
        layoutPicker_->setCurrentIndex(layoutPicker_->findData(int(tester.layoutKind())));
    }
    const KeyboardLayout::Board board = tester.board();
    {
        QSignalBlocker block(boardPicker_);
        boardPicker_->setCurrentIndex(boardPicker_->findData(int(board)));
    }
    const bool capturing = tester.capturing();
    start_->setVisible(!capturing);
    stop_->setVisible(capturing);
    captureText_->setText(capturing ? QStringLiteral("Capturing every key in this window (Ctrl+Q and other shortcuts "
                                                     "are paused). Hold Esc for 2 seconds or click Stop to end.")
                                    : QStringLiteral("Click Start, then press every key once. Keys turn green as "
                                                     "they register."));

    const KeyboardTexts::KeyCount count = KeyboardTexts::count(layout, board, tester.tested());
    progressLabel_->setText(KeyboardTexts::progress(count));
    progress_->setRange(0, std::max(count.required, 1));
    progress_->setValue(count.tested);
    progress_->setAccessibleName(progressLabel_->text());

    const auto chatter = KeyboardTexts::chatter(tester.events(), settings_.thresholds().chatterWindowMs);
    heldValue_->setText(KeyboardTexts::held(layout, tester.held()));
    rolloverValue_->setText(QString::number(tester.maxRollover()));
    repeatValue_->setText(KeyboardTexts::repeat(tester.repeatRate(), tester.repeatDelay()));
    chatterValue_->setText(KeyboardTexts::chatterList(layout, chatter));
    otherKeysValue_->setText(KeyboardTexts::otherKeys(layout, board, tester.events()));
    for (QLabel* value : {heldValue_, rolloverValue_, repeatValue_, chatterValue_, otherKeysValue_})
        value->setAccessibleDescription(value->text());

    drawing_->setState(tester.layoutKind(), board,
                       {tester.tested(), tester.held(), KeyboardTexts::chatterCodes(chatter)});
    optionalNote_->setText(KeyboardTexts::optionalNote(layout, board));
}

void KeyboardTesterView::save() {
    capture_->flush();
    const std::string name = KeyboardTexts::sessionName(tester_.layoutKind());
    TesterSaveDialog::ask(this, name, [this, name](const std::string& unit) {
        commands_.saveTesterResult(tester_.results(settings_.thresholds().chatterWindowMs), name, unit);
    });
}

} // namespace Tessarine
