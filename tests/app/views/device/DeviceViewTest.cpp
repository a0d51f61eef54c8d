#include "app/model/ModelFakes.h"

#include "app/views/device/DeviceHeader.h"
#include "app/views/device/DeviceView.h"

#include <QApplication>
#include <QLabel>
#include <QScrollArea>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// Tab contents that write down what they were made for.
struct Made {
    std::vector<std::string> calls;

    DeviceTabs tabs() {
        DeviceTabs t;
        t.livePanel = [this](AppModel&, const std::shared_ptr<InputDevice>& d) {
            return label("live " + d->id());
        };
        t.benchPanel = [this](AppModel&, const std::shared_ptr<InputDevice>& d) {
            return label("bench " + d->id());
        };
        t.rawHID = [this](AppModel&, const std::shared_ptr<InputDevice>& raw,
                          const std::shared_ptr<InputDevice>& owner) {
            return label("raw " + (raw ? raw->id() : std::string("none")) + " for " + owner->id());
        };
        t.history = [this](AppModel&, const std::string& unit) { return label("history " + unit); };
        return t;
    }
    QWidget* label(const std::string& text) {
        calls.push_back(text);
        return new QLabel(QString::fromStdString(text));
    }
};

struct ViewFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    Made made;

    static std::string shown(const DeviceView& view) {
        if (auto* label = qobject_cast<QLabel*>(view.content())) return label->text().toStdString();
        return view.content() ? view.content()->objectName().toStdString() : std::string();
    }
};

} // namespace

TEST_F(ViewFixture, BenchTabPutsTheLivePanelInItsColumnBesideTheBenchPanel) {
    DeviceView view(model, bench.demo(), made.tabs());
    view.resize(1080, 800);
    view.show();
    QApplication::processEvents();
    ASSERT_EQ(view.shownTab(), DetailTab::bench);
    EXPECT_EQ(made.calls, (std::vector<std::string>{"live demo", "bench demo"}));
    ASSERT_NE(view.liveColumn(), nullptr);
    EXPECT_EQ(view.liveColumn()->widget(), view.livePanel());
    EXPECT_EQ(view.liveColumn()->width(), DeviceView::liveIdeal);
    EXPECT_GE(view.benchPanel()->width(), 1080 - 480 - 1 - 1);
    EXPECT_LT(view.header().geometry().bottom(), view.content()->mapTo(&view, QPoint(0, 0)).y());

    // Narrow: both columns give way down to their minimums; wide: the live column stops at 600.
    view.resize(700, 800);
    QApplication::processEvents();
    EXPECT_GE(view.liveColumn()->width(), DeviceView::liveMinimum);
    EXPECT_GE(view.benchPanel()->width(), DeviceView::benchMinimum);
    view.resize(2400, 800);
    QApplication::processEvents();
    EXPECT_LE(view.liveColumn()->width(), DeviceView::liveMaximum);
}

TEST_F(ViewFixture, TabContentFollowsTheModelsTabAndIsMadeAgainWhenShownAgain) {
    DeviceView view(model, bench.demo(), made.tabs());
    model.navigation().setTab(DetailTab::raw);
    EXPECT_EQ(shown(view), "raw demo-raw for demo");
    EXPECT_EQ(view.liveColumn(), nullptr);
    model.navigation().setTab(DetailTab::history);
    EXPECT_EQ(shown(view), "history DEMO-0001");
    model.navigation().setTab(DetailTab::bench);
    EXPECT_EQ(shown(view), "device-bench");
    EXPECT_EQ(made.calls.size(), 6u);

    // Another device's view opens on the same tab.
    model.navigation().setTab(DetailTab::raw);
    DeviceView twin(model, model.demo().raw(), made.tabs());
    EXPECT_EQ(shown(twin), "raw demo-raw for demo-raw");
}

TEST_F(ViewFixture, RawTabFollowsThePartnerAndHistoryTheUnitKey) {
    auto pad = Fakes::controller("gc-1", "Pad");
    bench.controllers->list.push_back(pad);
    model.refreshControllers();
    model.navigation().setTab(DetailTab::raw);
    DeviceView view(model, pad, made.tabs());
    EXPECT_EQ(shown(view), "raw none for gc-1");

    bench.hid->plug(6, Fakes::tap(6, "Pad", bench.clock, {}, std::string("SN-6")));
    model.refreshHID(); // paired by name
    ASSERT_NE(pad->rawPartner(), nullptr);
    EXPECT_EQ(shown(view), "raw hid-6 for gc-1");

    // Without a unit of its own the history lists the partner's serial, then the ticket.
    model.navigation().setTab(DetailTab::history);
    EXPECT_EQ(view.historyUnit(), "SN-6");
    EXPECT_EQ(shown(view), "history SN-6");
    UnitRecord record = model.deviceLists().unit(*pad);
    record.unit = "";
    record.ticket = "T-9";
    model.deviceLists().setUnit(pad->id(), record);
    EXPECT_EQ(shown(view), "history SN-6");
    model.deviceLists().setPartner(std::string(), *pad);
    EXPECT_EQ(shown(view), "history T-9");
    record.unit = "Bench unit";
    model.deviceLists().setUnit(pad->id(), record);
    EXPECT_EQ(shown(view), "history Bench unit");
}
