// The mouse wheel over a page of controls: it scrolls the page past every control the user has
// not chosen, and turns only the one with the keyboard. Events are sent as the window system
// sends them (spontaneous), so the application passes an unused one on to the parents.
#include "app/views/kit/WheelGuard.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

struct Page : ::testing::Test {
    QScrollArea area;
    QLineEdit* field = new QLineEdit;
    QComboBox* combo = new QComboBox;
    QSpinBox* spin = new QSpinBox;
    QSlider* slider = new QSlider(Qt::Horizontal);

    void SetUp() override {
        WheelGuard::install();
        auto* page = new QWidget;
        auto* column = new QVBoxLayout(page);
        column->addWidget(field);
        combo->addItems({"Round", "Octagon (N64)", "Octagon (GameCube)", "Square"});
        column->addWidget(combo);
        spin->setRange(0, 100);
        spin->setValue(50);
        column->addWidget(spin);
        slider->setRange(0, 100);
        slider->setValue(50);
        column->addWidget(slider);
        column->addSpacing(3000);
        area.setWidget(page);
        area.setWidgetResizable(true);
        area.resize(400, 300);
        area.show();
        area.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
        field->setFocus();
    }

    // One notch down over the widget, as the pointer's window receives it.
    static void wheel(QWidget* under) {
        const QPointF at = QRectF(under->rect()).center();
        QWheelEvent event(at, under->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        // sendEvent() would clear the mark; the window system delivers through notify() too.
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(under, &event);
    }
    int scrolled() const { return area.verticalScrollBar()->value(); }
};

} // namespace

TEST_F(Page, TheWheelScrollsThePagePastControlsWithoutTheKeyboard) {
    // The spin box's text field is what lies under the pointer over its number.
    QWidget* under[] = {combo, spin->findChild<QLineEdit*>(), spin, slider};
    for (QWidget* widget : under) {
        const int before = scrolled();
        wheel(widget);
        EXPECT_GT(scrolled(), before) << widget->metaObject()->className() << " kept the wheel";
    }
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(spin->value(), 50);
    EXPECT_EQ(slider->value(), 50);
    // Nor did the wheel hand any of them the keyboard on its way.
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_FALSE(WheelGuard::hasKeyboard(combo));
}

TEST_F(Page, TheControlWithTheKeyboardKeepsTheWheel) {
    combo->setFocus();
    wheel(combo);
    EXPECT_EQ(combo->currentIndex(), 1);
    spin->setFocus(); // its text field takes the keyboard
    ASSERT_TRUE(WheelGuard::hasKeyboard(spin));
    wheel(spin->findChild<QLineEdit*>());
    EXPECT_EQ(spin->value(), 49);
    slider->setFocus();
    wheel(slider);
    EXPECT_NE(slider->value(), 50);
    EXPECT_EQ(scrolled(), 0);
}

TEST_F(Page, ScrollBarsAndPlainWidgetsAreNotGuarded) {
    EXPECT_EQ(WheelGuard::guardedControl(area.verticalScrollBar()), nullptr);
    EXPECT_EQ(WheelGuard::guardedControl(field), nullptr);
    EXPECT_EQ(WheelGuard::guardedControl(spin->findChild<QLineEdit*>()), spin);
    // Wheel focus is gone from controls shown after the guard came, and from those before it.
    EXPECT_NE(combo->focusPolicy(), Qt::WheelFocus);
    EXPECT_EQ(combo->focusPolicy(), Qt::StrongFocus);
}
