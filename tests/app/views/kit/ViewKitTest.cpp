#include "app/views/kit/AccessibleValue.h"
#include "app/views/kit/AdaptiveGridLayout.h"
#include "app/views/kit/DisclosureBox.h"
#include "app/views/kit/SegmentedControl.h"

#include <QAccessible>
#include <QLabel>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// A stand-in for a card: at least `height` tall, and as tall as its row.
QWidget* box(int height) {
    auto* widget = new QWidget;
    widget->setMinimumHeight(height);
    widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return widget;
}

class Painted : public QWidget, public AccessibleValue {
public:
    QString value = "x 0%, y 0%, 0% from center";
    QString accessibleValue() const override { return value; }
};

} // namespace

TEST(AdaptiveGridLayout, FewItemsMayShareTheWholeWidth) {
    QWidget host;
    auto* grid = new AdaptiveGridLayout(140, 16, &host);
    grid->setItemsShareTheWidth(true);
    QWidget* items[] = {box(50), box(50), box(50)};
    grid->addWidget(items[0]);
    grid->addWidget(items[1]);
    host.resize(600, 100);
    host.show();
    QCoreApplication::processEvents();
    // Three columns would fit; the two sticks take half each: (600 − 16) / 2 = 292.
    EXPECT_EQ(items[0]->geometry(), QRect(0, 0, 292, 50));
    EXPECT_EQ(items[1]->geometry(), QRect(308, 0, 292, 50));
    // A third in a narrow column goes to the next row instead of pushing the row wider.
    grid->addWidget(items[2]);
    host.resize(330, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(items[1]->geometry(), QRect(173, 0, 157, 50));
    EXPECT_EQ(items[2]->geometry(), QRect(0, 66, 157, 50));
    EXPECT_EQ(grid->heightForWidth(330), 50 + 16 + 50);
}

TEST(AdaptiveGridLayout, ColumnsFollowTheWidthAndRowsTakeTheirTallestItem) {
    EXPECT_EQ(AdaptiveGridLayout::columnsFor(611, 300, 12), 1);
    EXPECT_EQ(AdaptiveGridLayout::columnsFor(612, 300, 12), 2);
    EXPECT_EQ(AdaptiveGridLayout::columnsFor(924, 300, 12), 3);
    EXPECT_EQ(AdaptiveGridLayout::columnsFor(0, 300, 12), 1);
    EXPECT_EQ(AdaptiveGridLayout::columnsFor(-50, 300, 12), 1);

    QWidget host;
    auto* grid = new AdaptiveGridLayout(300, 12, &host);
    QWidget* items[] = {box(40), box(90), box(60), box(30)};
    for (QWidget* item : items) grid->addWidget(item);

    // Three columns: the first row is as tall as its tallest (90), the fourth item wraps.
    host.resize(924, grid->heightForWidth(924));
    host.show();
    EXPECT_EQ(grid->heightForWidth(924), 90 + 12 + 30);
    EXPECT_EQ(items[0]->geometry(), QRect(0, 0, 300, 90));
    EXPECT_EQ(items[1]->geometry(), QRect(312, 0, 300, 90));
    EXPECT_EQ(items[2]->geometry(), QRect(624, 0, 300, 90));
    EXPECT_EQ(items[3]->geometry(), QRect(0, 102, 300, 30));

    // Two columns share the spare width: (700 − 12) / 2 = 344.
    host.resize(700, grid->heightForWidth(700));
    QCoreApplication::processEvents();
    EXPECT_EQ(items[1]->geometry(), QRect(356, 0, 344, 90));
    EXPECT_EQ(items[2]->geometry(), QRect(0, 102, 344, 60));

    // One column: each item on its own row, as wide as the host.
    EXPECT_EQ(grid->heightForWidth(611), 40 + 90 + 60 + 30 + 3 * 12);
    host.resize(611, grid->heightForWidth(611));
    QCoreApplication::processEvents();
    EXPECT_EQ(items[3]->geometry(), QRect(0, 40 + 90 + 60 + 36, 611, 30));

    // An item that cannot grow sits at the top of its row.
    items[3]->setMaximumHeight(30);
    host.resize(924, grid->heightForWidth(924));
    QCoreApplication::processEvents();
    EXPECT_EQ(items[3]->geometry(), QRect(0, 102, 300, 30));
    items[2]->setFixedHeight(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(items[2]->geometry(), QRect(624, 0, 300, 50));

    // A hidden item takes no cell.
    items[0]->hide();
    EXPECT_EQ(grid->heightForWidth(924), 90);
}

TEST(SegmentedControl, OneChoiceAtATimeByClickOrTag) {
    SegmentedControl control;
    control.addSegment("Bench", "bench")->setObjectName("tab-bench");
    control.addSegment("Raw HID", "raw");
    control.addSegment("History", "history");
    EXPECT_EQ(control.currentIndex(), -1);
    EXPECT_EQ(control.currentTag(), "");

    QSignalSpy changed(&control, &SegmentedControl::currentIndexChanged);
    QSignalSpy activated(&control, &SegmentedControl::activated);
    control.setCurrentTag("raw");
    EXPECT_EQ(control.currentIndex(), 1);
    EXPECT_TRUE(control.button(1)->isChecked());
    control.setCurrentTag("raw"); // the same choice: silent
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(activated.count(), 0); // a setter is not the user

    control.show();
    QTest::mouseClick(control.button(2), Qt::LeftButton);
    EXPECT_EQ(control.currentTag(), "history");
    EXPECT_FALSE(control.button(1)->isChecked());
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.takeFirst().at(0).toInt(), 2);
    EXPECT_EQ(changed.count(), 2);

    // Under a signal blocker a refresh writes nothing back.
    {
        const QSignalBlocker blocker(&control);
        control.setCurrentIndex(0);
    }
    EXPECT_EQ(control.currentTag(), "bench");
    EXPECT_EQ(changed.count(), 2);

    // An unknown tag clears the choice.
    control.setCurrentTag("settings");
    EXPECT_EQ(control.currentIndex(), -1);
    EXPECT_FALSE(control.button(0)->isChecked());
    EXPECT_EQ(changed.count(), 3);
}

TEST(DisclosureBox, TheArrowShowsAndHidesTheBodyAndKeepsIt) {
    DisclosureBox disclosure("Details");
    auto* line = new QLabel("Rest offset 2.5%");
    disclosure.addWidget(line);
    disclosure.show();
    EXPECT_FALSE(disclosure.isExpanded());
    EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(disclosure.header()->arrowType(), Qt::RightArrow);

    QSignalSpy toggled(&disclosure, &DisclosureBox::toggled);
    QTest::mouseClick(disclosure.header(), Qt::LeftButton);
    EXPECT_TRUE(disclosure.isExpanded());
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(disclosure.header()->arrowType(), Qt::DownArrow);

    disclosure.header()->setFocus();
    QTest::keyClick(disclosure.header(), Qt::Key_Space);
    EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(line->parentWidget()->parentWidget(), &disclosure); // hidden, not thrown away
    disclosure.setExpanded(false);
    EXPECT_EQ(toggled.count(), 2);
}

TEST(AccessibleValue, APaintedWidgetIsOneElementReadingItsValue) {
    Painted plot;
    plot.setAccessibleName("Left stick");
    auto* stray = new QLabel("inner", &plot); // drawn parts are never read separately
    (void)stray;
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&plot);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), "Left stick");
    EXPECT_EQ(element->text(QAccessible::Value), "x 0%, y 0%, 0% from center");
    EXPECT_EQ(element->role(), QAccessible::Graphic);
    EXPECT_EQ(element->childCount(), 0);
    plot.value = "No reading yet";
    EXPECT_EQ(element->text(QAccessible::Value), "No reading yet");

    // Other widgets keep Qt's own interfaces.
    QLabel label("Drift");
    QAccessibleInterface* plain = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->role(), QAccessible::StaticText);
}
