#include "app/views/kit/AccessibleLabel.h"
#include "app/views/kit/AccessibleValue.h"
#include "app/views/kit/AnnounceThrottle.h"
#include "app/views/kit/DestructiveButton.h"
#include "app/views/kit/MessageBoxes.h"
#include "app/views/kit/SegmentedControl.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/TriggerBar.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>

#include <memory>

#include "app/paint/Contrast.h"
#include "app/paint/Theme.h"

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

QAccessibleInterface* element(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

std::vector<QString> labelsOf(QWidget* widget) {
    std::vector<QString> names;
    for (const auto& [label, relation] : element(widget)->relations(QAccessible::Label))
        names.push_back(label->text(QAccessible::Name));
    return names;
}

// A dark desktop scheme: the colours the gallery photographs the dark pictures with.
QPalette darkScheme() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2d));
    p.setColor(QPalette::WindowText, QColor(0xec, 0xec, 0xee));
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3c));
    p.setColor(QPalette::ButtonText, QColor(0xec, 0xec, 0xee));
    return p;
}

} // namespace

TEST(AnnounceThrottle, TellsTheFirstChangeAtOnceAndTheLastOfABurstWhenItsIntervalEnds) {
    AnnounceThrottle throttle(0.5);
    EXPECT_EQ(throttle.offer(10.0, "x 1%"), QString("x 1%"));
    EXPECT_EQ(throttle.offer(10.0, "x 1%"), std::nullopt); // unchanged: nothing to tell
    EXPECT_EQ(throttle.offer(10.1, "x 2%"), std::nullopt);
    EXPECT_EQ(throttle.offer(10.2, "x 3%"), std::nullopt);
    EXPECT_TRUE(throttle.hasPending());
    EXPECT_DOUBLE_EQ(throttle.dueAt(), 10.5);
    EXPECT_EQ(throttle.flush(10.5), QString("x 3%")); // the newest value of the burst
    EXPECT_FALSE(throttle.hasPending());
    EXPECT_EQ(throttle.flush(10.6), std::nullopt);

    // A value that returns to the one last told before its turn comes is not told again.
    EXPECT_EQ(throttle.offer(10.7, "x 4%"), std::nullopt);
    EXPECT_EQ(throttle.offer(10.8, "x 3%"), std::nullopt);
    EXPECT_FALSE(throttle.hasPending());
    // After a quiet interval a change is told at once.
    EXPECT_EQ(throttle.offer(11.5, "x 5%"), QString("x 5%"));
}

TEST(AccessibleValue, ThePaintedValueIsTheDescriptionAndAnnouncedNoFasterThanTheThrottle) {
    StickPlotView plot;
    plot.setLabel("Left stick");
    std::vector<QString> told;
    AccessibleValue::setObserver([&](QWidget* widget, const QString& value) {
        if (widget == &plot) told.push_back(value);
    });
    for (int i = 1; i <= 30; ++i)
        plot.setLive(RorozErurEvo::StickSample{i / 60.0, i / 100.0, 0, std::nullopt}, {}, false);
    AccessibleValue::setObserver({});
    // A burst of frames: the first value at once, the rest held for the end of the interval.
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "x 1%, y 0%, 1% from center");

    // What AT-SPI passes on: the name, and the value as the description.
    QAccessibleInterface* face = element(&plot);
    EXPECT_EQ(face->text(QAccessible::Name), "Left stick");
    EXPECT_EQ(face->text(QAccessible::Value), "x 30%, y 0%, 30% from center");
    EXPECT_EQ(face->text(QAccessible::Description), "x 30%, y 0%, 30% from center");
    EXPECT_EQ(face->valueInterface(), nullptr); // a position has no one number

    // A bar also offers its travel as a number.
    TriggerBar bar("Left trigger");
    bar.setValue(0.42, 107);
    QAccessibleInterface* barFace = element(&bar);
    EXPECT_EQ(barFace->role(), QAccessible::ProgressBar);
    EXPECT_EQ(barFace->text(QAccessible::Description), "42%");
    ASSERT_NE(barFace->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(barFace->valueInterface()->currentValue().toDouble(), 42);
    EXPECT_DOUBLE_EQ(barFace->valueInterface()->maximumValue().toDouble(), 100);
    bar.setShowRaw(true);
    EXPECT_EQ(barFace->text(QAccessible::Description), "raw 107");
}

TEST(SegmentedControl, ReachesScreenReadersAsANamedGroupOfRadioButtons) {
    SegmentedControl values;
    values.setAccessibleName("Values");
    values.addSegment("Processed", "processed");
    values.addSegment("Raw HID", "raw");
    values.setCurrentIndex(0);

    QAccessibleInterface* group = element(&values);
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), "Values");
    ASSERT_EQ(group->childCount(), 2);
    QAccessibleInterface* processed = group->child(0);
    QAccessibleInterface* raw = group->child(1);
    EXPECT_EQ(processed->role(), QAccessible::RadioButton);
    EXPECT_EQ(processed->text(QAccessible::Name), "Processed");
    EXPECT_EQ(raw->text(QAccessible::Name), "Raw HID");
    EXPECT_EQ(raw->parent()->object(), &values);
    EXPECT_TRUE(processed->state().checked);
    EXPECT_TRUE(raw->state().checkable);
    EXPECT_FALSE(raw->state().checked);

    // A screen reader's press chooses, as a click does.
    std::vector<int> activated;
    QObject::connect(&values, &SegmentedControl::activated, [&](int index) { activated.push_back(index); });
    ASSERT_NE(raw->actionInterface(), nullptr);
    raw->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(values.currentTag(), "raw");
    EXPECT_EQ(activated, std::vector<int>{1});
    EXPECT_TRUE(raw->state().checked);
}

TEST(AccessibleLabel, AComboBoxWithoutAVisibleTitleIsLabelledByAHiddenOne) {
    QWidget host;
    auto* row = new QHBoxLayout(&host);
    auto* picker = new QComboBox;
    picker->addItems({"Healthy pad", "Drifting left stick"});
    row->addWidget(picker);
    QLabel* label = AccessibleLabel::hidden(*picker, "Demo recording");
    host.show();
    EXPECT_TRUE(label->isHidden());
    EXPECT_EQ(labelsOf(picker), std::vector<QString>{"Demo recording"});
    // Qt on Linux reads a combo box by its current text; the label is what says what it is for.
    delete picker;
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(host.findChildren<QLabel*>().isEmpty());
}

TEST(Contrast, TextOnColouredButtonsReadsInBothSchemes) {
    EXPECT_NEAR(Contrast::ratio(Qt::black, Qt::white), 21, 1e-9);
    EXPECT_NEAR(Contrast::ratio(Qt::gray, Qt::gray), 1, 1e-9);
    // The plain red on a dark button, and white on the plain accent, fall short: the reasons for
    // the adjusted colours.
    EXPECT_LT(Contrast::ratio(Color::failRed(), darkScheme().color(QPalette::Button)),
              Contrast::minimumForText);
    EXPECT_LT(Contrast::ratio(Qt::white, Color::accentTeal()), Contrast::minimumForText);

    const QPalette light = std::unique_ptr<QStyle>(QStyleFactory::create("Fusion"))->standardPalette();
    for (const QPalette& scheme : {light, darkScheme()}) {
        const QColor button = scheme.color(QPalette::Button);
        EXPECT_GE(Contrast::ratio(Color::destructiveText(scheme), button), Contrast::minimumForText)
            << button.name().toStdString();
        // Still a red: lighter or darker, the red channel leads.
        const QColor red = Color::destructiveText(scheme);
        EXPECT_GT(red.red(), red.green() + 60);
        EXPECT_GT(red.red(), red.blue() + 60);
    }
    EXPECT_GE(Contrast::ratio(Qt::white, Color::pressedFill()), Contrast::minimumForText);
    // Just enough: the held fill stays close to the accent.
    EXPECT_LT(std::abs(Color::pressedFill().green() - Color::accentTeal().green()), 20);

    // The button follows a change of scheme.
    DestructiveButton erase("Erase History…");
    erase.setPalette(darkScheme());
    EXPECT_GE(
        Contrast::ratio(erase.palette().color(QPalette::ButtonText), erase.palette().color(QPalette::Button)),
        Contrast::minimumForText);
    erase.setPalette(light);
    EXPECT_GE(
        Contrast::ratio(erase.palette().color(QPalette::ButtonText), erase.palette().color(QPalette::Button)),
        Contrast::minimumForText);
}

TEST(MessageBoxes, AConfirmationIsWideEnoughForItsTitleAndMessage) {
    QPushButton* action = nullptr;
    QMessageBox* box = MessageBoxes::confirmation(
        nullptr, "Delete this session?",
        "Demo controller — Before repair, Dec 7, 2026. This can't be undone.", "Delete", &action);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "Delete");
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Cancel));
    EXPECT_EQ(box->buttonRole(action), QMessageBox::DestructiveRole);
    box->show();
    QApplication::processEvents();
    EXPECT_GE(box->width(), MessageBoxes::minimumWidth);
    // The message no longer runs down a narrow column: at 170 pixels it took four lines.
    auto* message = box->findChild<QLabel*>("qt_msgbox_informativelabel");
    ASSERT_NE(message, nullptr);
    EXPECT_LT(message->heightForWidth(message->width()), 4 * message->fontMetrics().lineSpacing());
    EXPECT_GE(message->width(), message->fontMetrics().horizontalAdvance(message->text()) / 2);
    box->close();
    delete box; // closing only scheduled it
}
