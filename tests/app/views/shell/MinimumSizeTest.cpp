// The window at its smallest: what a user must read stays whole, and what does not fit scrolls
// or wraps instead of being cut.
#include "app/model/ModelFakes.h"

#include "app/views/bench/LivePanel.h"
#include "app/views/bench/ManualChecks.h"
#include "app/views/device/DeviceHeader.h"
#include "app/views/device/DeviceTabs.h"
#include "app/views/device/DeviceView.h"
#include "app/views/kit/MeasureRow.h"
#include "app/views/kit/SegmentedControl.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/shell/MainWindow.h"
#include "app/views/shell/RootView.h"

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <set>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// The part of `widget` that its ancestors up to `top`, `top` included, leave visible, in `top`'s
// coordinates.
QRect visiblePart(const QWidget* widget, const QWidget* top) {
    QRect visible(widget->mapTo(top, QPoint(0, 0)), widget->size());
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        visible &= QRect(up->mapTo(top, QPoint(0, 0)), up->size());
        if (up == top) break;
    }
    return visible;
}

// Whole: nothing of it cut by an ancestor up to `top`.
bool whole(const QWidget* widget, const QWidget* top) {
    return visiblePart(widget, top) == QRect(widget->mapTo(top, QPoint(0, 0)), widget->size());
}

// The page a scroll area moves that holds `widget`: what lies outside the view is scrolled to,
// not cut.
const QWidget* scrolledPage(const QWidget* widget) {
    for (const QWidget* up = widget; up && up->parentWidget(); up = up->parentWidget())
        if (up->parentWidget()->objectName() == QLatin1String("qt_scrollarea_viewport")) return up;
    return widget->window();
}

struct MinimumFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;

    void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
};

} // namespace

TEST_F(MinimumFixture, AtTheSmallestWindowTheDeviceNameAndEveryManualAnswerAreWhole) {
    MainWindow window(model);
    window.show();
    window.resize(100, 100); // held at its minimum
    settle();
    ASSERT_EQ(window.root().size(), QSize(MainWindow::minimumWidth, MainWindow::minimumHeight));

    auto* header = window.findChild<DeviceHeader*>();
    ASSERT_NE(header, nullptr);
    QLabel* name = header->nameLabel();
    EXPECT_EQ(name->text(), "Demo controller");
    EXPECT_GE(name->width(), name->sizeHint().width());
    EXPECT_TRUE(whole(name, &window));
    // The controls moved under the titles rather than squeeze the name.
    EXPECT_FALSE(header->fitsOneRow(header->width()));
    EXPECT_GT(header->tabPicker()->mapTo(header, QPoint(0, 0)).y(), name->geometry().bottom());
    EXPECT_TRUE(whole(header->tabPicker(), &window));
    // Only the detail line gives way.
    EXPECT_LE(header->detailLabel()->geometry().right(), header->width());

    const auto checks = window.findChildren<ManualChecks*>();
    ASSERT_FALSE(checks.empty());
    int answers = 0;
    for (ManualChecks* card : checks)
        for (SegmentedControl* answer : card->findChildren<SegmentedControl*>()) {
            // Whole within the bench's page, which scrolls.
            EXPECT_TRUE(whole(answer, scrolledPage(answer))) << answer->accessibleName().toStdString();
            for (int i = 0; i < answer->count(); ++i)
                EXPECT_GE(answer->button(i)->width(),
                          answer->button(i)->fontMetrics().horizontalAdvance(answer->button(i)->text()))
                    << answer->button(i)->text().toStdString();
            ++answers;
        }
    EXPECT_GT(answers, 3);
    window.close();
}

TEST_F(MinimumFixture, AtTheSmallestWindowEveryMeasureOfEveryCardShowsItsNameBesideItsValue) {
    Fakes::resultsOnEveryCard(bench);
    MainWindow window(model);
    window.show();
    window.resize(100, 100); // held at its minimum
    settle();

    const auto rows = window.findChildren<MeasureRow*>();
    std::set<RorozErurEvo::TestKind> kinds;
    for (const auto& [key, result] : model.runner(bench.demo()).results())
        if (!result.measures.empty()) kinds.insert(result.kind);
    EXPECT_GE(kinds.size(), 8u); // sticks, triggers, buttons, d-pad, motion, touchpad, soak, …
    ASSERT_GT(rows.size(), 40);
    for (const MeasureRow* row : rows) {
        if (!row->isVisibleTo(&window)) continue;
        const std::string label = row->measure().label;
        const MeasureRow::Layout l = row->layoutFor(row->width());
        // The name whole, every line of it inside its column.
        EXPECT_EQ(l.labelLines.join(QLatin1Char(' ')).toStdString(), label);
        for (const QString& line : l.labelLines)
            EXPECT_LE(row->fontMetrics().horizontalAdvance(line), l.label.width() + 1) << label;
        // No part over another, none over the status icon, none past the row's edges.
        std::vector<QRectF> parts{l.icon, l.label, l.value};
        if (!l.limit.isEmpty()) parts.push_back(l.limit);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            EXPECT_GE(parts[i].left(), 0) << label;
            EXPECT_LE(parts[i].right(), row->width()) << label;
            for (std::size_t j = i + 1; j < parts.size(); ++j)
                EXPECT_FALSE(parts[i].intersects(parts[j])) << label << ": parts " << i << " and " << j;
        }
        EXPECT_GE(row->height(), int(l.height)) << label;
    }
    window.close();
}

TEST_F(MinimumFixture, WithAThirdStickPairEveryWidgetOfTheLiveColumnIsReachable) {
    // The demo's raw twin, shown with a third stick made of its trigger axes.
    const auto& demo = bench.demo();
    auto twin = demo->rawPartner();
    ASSERT_NE(twin, nullptr);
    std::vector<StickPair> pairs = twin->stickPairs();
    pairs.push_back({"pair-3", "Stick 3", "e5", "e6", false, ElementInfo::Role::other});
    twin->applyPairs(pairs);
    demo->setUseRaw(true);

    DeviceView view(model, demo, DeviceTabs::standard());
    // The detail column of the smallest window beside the widest sidebar.
    view.resize(MainWindow::minimumWidth - 320 - 1, MainWindow::minimumHeight - 30);
    view.show();
    settle();

    QScrollArea* column = view.liveColumn();
    ASSERT_NE(column, nullptr);
    auto* panel = qobject_cast<LivePanel*>(view.livePanel());
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->plots().size(), 3u);
    // Nothing wider than the column: what does not fit beside the rest goes below it.
    EXPECT_LE(panel->width(), column->viewport()->width());
    const QRect all(QPoint(0, 0), panel->size());
    for (QWidget* part : panel->findChildren<QWidget*>()) {
        if (!part->isVisibleTo(panel)) continue;
        const QRect at(part->mapTo(panel, QPoint(0, 0)), part->size());
        EXPECT_TRUE(all.contains(at))
            << part->metaObject()->className() << " " << part->accessibleName().toStdString();
    }
    const QWidget* third = panel->plots()[2];
    EXPECT_GT(third->mapTo(panel, QPoint(0, 0)).y(), panel->plots()[0]->mapTo(panel, QPoint(0, 0)).y());
    EXPECT_GE(third->width(), 100);
    // The column scrolls to its end.
    EXPECT_GT(panel->height(), column->viewport()->height());
    EXPECT_EQ(column->verticalScrollBar()->maximum(), panel->height() - column->viewport()->height());
}
