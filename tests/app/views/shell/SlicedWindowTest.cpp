// A main window whose bench fills in over the turns after its first paint, and whose live column
// shows its panel on the first of them, ends up as a window built at once, and input that arrives
// before the cards or the panel are in answers as it would there.
#include "app/model/ModelFakes.h"

#include "app/views/bench/BenchPanel.h"
#include "app/views/bench/CardText.h"
#include "app/views/bench/TestCard.h"
#include "app/views/kit/SlicedBuild.h"
#include "app/views/raw/RawHIDView.h"
#include "app/views/shell/MainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

struct SlicingOn {
    SlicingOn() { SlicedBuild::setSlicing(true); }
    ~SlicingOn() { SlicedBuild::setSlicing(false); }
};

QString describe(const QWidget* widget, const QWidget* window) {
    return QStringLiteral("%1 '%2' '%3'")
        .arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName(), widget->accessibleName())
        .append(widget->isVisibleTo(window) ? QStringLiteral(" shown") : QStringLiteral(" hidden"))
        .append(widget->updatesEnabled() ? QString() : QStringLiteral(" not painted"));
}

// Every widget of the window in tree order, with its place on screen when shown.
void collectTree(const QWidget* widget, const QWidget* window, QStringList& out) {
    QString line = describe(widget, window);
    if (widget->isVisibleTo(window))
        line += QStringLiteral(" at %1,%2 %3x%4")
                    .arg(widget->mapTo(window, QPoint(0, 0)).x())
                    .arg(widget->mapTo(window, QPoint(0, 0)).y())
                    .arg(widget->width())
                    .arg(widget->height());
    out.append(line);
    for (const QObject* child : widget->children())
        if (child->isWidgetType() && !static_cast<const QWidget*>(child)->isWindow())
            collectTree(static_cast<const QWidget*>(child), window, out);
}

// The widgets Tab visits, in the order it visits them.
QStringList tabOrder(QWidget* window) {
    QStringList order;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() && w->isVisibleTo(window) &&
            w->isEnabled())
            order.append(describe(w, window));
    return order;
}

struct SlicedFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;

    static void settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }
    static BenchPanel* panel(const MainWindow& window) { return window.findChild<BenchPanel*>(); }
    static bool filledIn(const MainWindow& window) {
        return panel(window) && panel(window)->caption()->isVisibleTo(panel(window));
    }
    const GuidedTest& firstTest() const {
        static const GuidedTest first = GuidedTests::sections(*bench.demo()).front().tests.front();
        return first;
    }
};

} // namespace

TEST_F(SlicedFixture, FilledInWindowHasTheWidgetsPlacesAndTabOrderOfOneBuiltAtOnce) {
    QStringList wholeTree, wholeTabs;
    {
        MainWindow whole(model);
        whole.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&whole));
        settle();
        collectTree(&whole, &whole, wholeTree);
        wholeTabs = tabOrder(&whole);
    }
    SlicingOn on;
    MainWindow sliced(model);
    sliced.show();
    // Shown before its cards are in; the closing caption waits for them.
    EXPECT_TRUE(panel(sliced)->findChildren<TestCard*>().isEmpty());
    EXPECT_FALSE(filledIn(sliced));
    ASSERT_TRUE(QTest::qWaitFor([&] { return filledIn(sliced); }));
    settle();
    QStringList slicedTree;
    collectTree(&sliced, &sliced, slicedTree);
    EXPECT_EQ(slicedTree, wholeTree);
    EXPECT_EQ(tabOrder(&sliced), wholeTabs);
    EXPECT_GT(wholeTabs.filter(CardText::runName(CardText::key(firstTest()))).size(), 0);
}

TEST_F(SlicedFixture, AClickWhereACardIsComingRunsThatCardsTest) {
    const QString runName = CardText::runName(CardText::key(firstTest()));
    QPoint at;
    {
        MainWindow whole(model);
        whole.show();
        settle();
        auto* run = whole.findChild<QPushButton*>(runName);
        ASSERT_NE(run, nullptr);
        at = run->mapTo(&whole, run->rect().center());
    }
    SlicingOn on;
    MainWindow sliced(model);
    sliced.show();
    ASSERT_EQ(sliced.findChild<QPushButton*>(runName), nullptr);
    QTest::mouseClick(sliced.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    const TestRunner& runner = model.runner(bench.demo());
    ASSERT_TRUE(runner.hasActiveTest());
    EXPECT_EQ(runner.active()->test.id(), firstTest().id());
    EXPECT_NE(sliced.findChild<QPushButton*>(runName), nullptr);
    // The page painted its cards once, at the end: from the click on it paints as any page.
    EXPECT_TRUE(panel(sliced)->widget()->updatesEnabled());
}

TEST_F(SlicedFixture, AClickOnTheLiveColumnBeforeItsPanelShowsReachesTheButtonThatWillBeThere) {
    const QString resetName = QStringLiteral("reset-counts");
    QPoint at;
    {
        MainWindow whole(model);
        whole.show();
        settle();
        auto* reset = whole.findChild<QPushButton*>(resetName);
        ASSERT_NE(reset, nullptr);
        ASSERT_TRUE(reset->isVisibleTo(&whole));
        at = reset->mapTo(&whole, reset->rect().center());
    }
    SlicingOn on;
    MainWindow sliced(model);
    sliced.show();
    auto* reset = sliced.findChild<QPushButton*>(resetName);
    ASSERT_NE(reset, nullptr);
    // The first frame leaves the column empty.
    ASSERT_FALSE(reset->isVisibleTo(&sliced));
    QSignalSpy clicked(reset, &QPushButton::clicked);
    QTest::mouseClick(sliced.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(reset->isVisibleTo(&sliced));
}

TEST_F(SlicedFixture, ATabShortcutWhileTheBenchFillsInShowsThatTabAndBack) {
    SlicingOn on;
    MainWindow sliced(model);
    sliced.show();
    QApplication::setActiveWindow(&sliced);
    ASSERT_FALSE(filledIn(sliced));
    QTest::keySequence(&sliced, QKeySequence(Qt::CTRL | Qt::Key_2));
    EXPECT_EQ(model.navigation().tab(), DetailTab::raw);
    settle();
    EXPECT_EQ(panel(sliced), nullptr);
    EXPECT_NE(sliced.findChild<RawHIDView*>(), nullptr);

    QTest::keySequence(&sliced, QKeySequence(Qt::CTRL | Qt::Key_1));
    EXPECT_EQ(model.navigation().tab(), DetailTab::bench);
    ASSERT_TRUE(QTest::qWaitFor([&] { return filledIn(sliced); }));
    EXPECT_NE(panel(sliced)->card(firstTest().id()), nullptr);
}

TEST_F(SlicedFixture, ReturnWhileTheRunningTestsCardIsComingFinishesTheTest) {
    TestRunner& runner = model.runner(bench.demo());
    runner.start(firstTest());
    // Past the drift's two seconds of letting go, so that Done has something to file.
    bench.clock.advance(2.5);
    SlicingOn on;
    MainWindow sliced(model);
    sliced.show();
    QApplication::setActiveWindow(&sliced);
    ASSERT_EQ(panel(sliced)->card(firstTest().id()), nullptr);
    QTest::keyClick(&sliced, Qt::Key_Return);
    EXPECT_FALSE(runner.hasActiveTest());
    EXPECT_TRUE(runner.result(firstTest()));
}
