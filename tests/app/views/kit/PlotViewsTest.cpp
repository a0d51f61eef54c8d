#include "app/views/kit/SoakStripView.h"
#include "app/views/kit/StickPlotView.h"

#include <QAccessible>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::SoakStrip;
using RorozErurEvo::StickSample;

TEST(StickPlotView, StaysSquareAndReadsTheStickInWords) {
    QWidget column;
    auto* layout = new QVBoxLayout(&column);
    auto* plot = new StickPlotView;
    plot->setLabel("Left stick");
    layout->addWidget(plot);
    layout->addStretch(1);
    column.resize(180, 400);
    column.show();
    EXPECT_EQ(plot->height(), plot->width());

    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(plot);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), "Left stick");
    EXPECT_EQ(element->text(QAccessible::Value), "No reading yet");
    plot->setLive(StickSample{1, 0.125, -0.03, RorozErurEvo::RawPoint{512, 490}}, {}, true);
    EXPECT_EQ(element->text(QAccessible::Value), "x 12.5%, y -3%, 12.9% from center, pressed");
    plot->setShowRaw(true);
    EXPECT_EQ(element->text(QAccessible::Value), "raw x 512, y 490, pressed");
}

TEST(SoakStripView, NamesTheRunsLengthAndSummarisesItsBins) {
    using State = SoakStrip::State;
    SoakStripView view;
    const SoakStrip strip{600, {State::ok, State::gap, State::ok, State::disconnected}};
    view.setStrip(strip, 0.5);
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->text(QAccessible::Name), "Soak timeline, 10 min");
    EXPECT_EQ(element->text(QAccessible::Value), QString::fromStdString(strip.spoken()));
    EXPECT_EQ(view.fraction(), 0.5);

    // The legend adds a row; the text size scales both.
    const int withLegend = view.sizeHint().height();
    view.setLegend(false);
    EXPECT_EQ(view.sizeHint().height(), int(std::ceil(11 * 1.3)));
    EXPECT_LT(view.sizeHint().height(), withLegend);
    view.setFontSize(22);
    EXPECT_EQ(view.sizeHint().height(), int(std::ceil(22 * 1.3)));
}
