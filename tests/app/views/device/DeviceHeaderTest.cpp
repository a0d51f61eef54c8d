#include "app/model/ModelFakes.h"
#include "app/model/RunnerFakes.h"

#include "app/model/GuidedTests.h"
#include "app/views/device/DeviceHeader.h"
#include "app/views/device/DeviceHeaderText.h"
#include "app/views/kit/LineBreaks.h"
#include "app/views/kit/PartsLabel.h"
#include "app/views/kit/SegmentedControl.h"
#include "app/views/shell/MainWindow.h"
#include "app/paint/Symbols.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::DeviceInfo;
namespace Text = DeviceHeaderText;

namespace {

struct HeaderFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;

    std::shared_ptr<InputDevice> plugController(std::shared_ptr<InputDevice> device) {
        bench.controllers->list.push_back(device);
        model.refreshControllers();
        return device;
    }
    std::shared_ptr<InputDevice> plugHID(std::uint64_t key, const std::string& name,
                                         std::optional<std::string> serial = std::nullopt) {
        bench.hid->plug(key, Fakes::tap(key, name, bench.clock, {}, serial));
        model.refreshHID();
        return model.device("hid-" + std::to_string(key));
    }
    static QStringList items(const QMenu& menu) {
        QStringList list;
        for (const QAction* action : menu.actions())
            list << action->text() + (action->isEnabled() ? "" : " (off)");
        return list;
    }
};

} // namespace

TEST(DeviceHeaderText, DetailLineJoinsWhatIsKnownInOrder) {
    DeviceInfo full{.name = "Pad",
                    .category = "Gamepad",
                    .vendorID = 0x054C,
                    .productID = 0x0CE6,
                    .serial = "A1",
                    .transport = "USB"};
    EXPECT_EQ(Text::detailLine(full), "Gamepad · VID 054C · PID 0CE6 · USB · Serial A1");
    // A game controller's firmware and GUID, as the controller service tells them, close the line.
    full.firmwareVersion = 0x0110;
    full.guid = "050000004c050000e60c000000810000";
    EXPECT_EQ(Text::detailLine(full), "Gamepad · VID 054C · PID 0CE6 · USB · Serial A1 · Firmware 0110 · "
                                      "GUID 050000004c050000e60c000000810000");
    EXPECT_EQ(Text::detailLine(DeviceInfo{.name = "Pad", .transport = "Bluetooth"}), "Bluetooth");
    EXPECT_EQ(Text::detailLine(DeviceInfo{.name = "Pad"}), "");
    // Only absent parts go; an empty text is still a part.
    EXPECT_EQ(Text::detailLine(DeviceInfo{.name = "Pad", .category = "", .serial = ""}), " · Serial ");
}

TEST(DeviceHeaderText, BatterySymbolSwitchesStrictlyAtEachThresholdAndTextKeepsOneDecimal) {
    const std::vector<std::pair<double, QString>> symbols{
        {0.0, "battery.0percent"},    {0.149, "battery.0percent"}, {0.15, "battery.25percent"},
        {0.399, "battery.25percent"}, {0.4, "battery.50percent"},  {0.65, "battery.75percent"},
        {0.9, "battery.100percent"},  {1.0, "battery.100percent"}};
    for (const auto& [level, symbol] : symbols)
        EXPECT_EQ(Text::batterySymbol(level), symbol) << level;
    EXPECT_EQ(Text::batteryText(0.8), "80%");
    EXPECT_EQ(Text::batteryText(0.855), "85.5%");
    EXPECT_EQ(Text::batteryText(0.375), "37.5%");
    EXPECT_EQ(Text::batteryText(1.0), "100%");
    EXPECT_EQ(Text::batteryAccessibility("80%", std::nullopt), "Battery 80%");
    EXPECT_EQ(Text::batteryAccessibility("80%", "Charging"), "Battery 80%, Charging");
}

TEST(DeviceHeaderText, PartnerTitleAndRawDeviceByKind) {
    EXPECT_EQ(Text::partnerTitle(DeviceInfo{.name = "Wheel", .serial = "W-7"}), "Wheel (W-7)");
    EXPECT_EQ(Text::partnerTitle(DeviceInfo{.name = "Wheel"}), "Wheel");

    auto pad = Fakes::controller("gc-1", "Pad");
    auto hid = std::make_shared<InputDevice>("hid-1", InputDevice::Kind::hid, DeviceInfo{.name = "Pad"},
                                             std::vector<ElementInfo>{});
    EXPECT_EQ(Text::rawArea(*pad), Text::RawArea::pairingMenu);
    EXPECT_EQ(Text::rawDevice(pad), nullptr);
    pad->setRawPartner(hid);
    EXPECT_EQ(Text::rawArea(*pad), Text::RawArea::values);
    EXPECT_EQ(Text::rawDevice(pad), hid);
    EXPECT_EQ(Text::rawArea(*hid), Text::RawArea::none);
    EXPECT_EQ(Text::rawDevice(hid), hid);
    EXPECT_FALSE(Text::showsDemoPicker(*pad));
    EXPECT_FALSE(Text::showsDemoPicker(*hid));
}

TEST_F(HeaderFixture, BatteryFromLiveValuesElseTheInfoElseNone) {
    auto outputs = std::make_shared<Fakes::RecordingOutputs>(); // reads 0.5, "Charging"
    auto live = Fakes::controller(outputs);
    DeviceInfo info = live->info();
    info.batteryLevel = 0.149;
    live->setInfo(info);
    DeviceHeader header(model.deviceLists(), model.navigation(), model.demo(), live);
    ASSERT_FALSE(header.battery()->isHidden());
    EXPECT_EQ(header.batteryText()->text(), "14.9%");
    EXPECT_EQ(header.batterySymbol(), "battery.0percent");
    EXPECT_EQ(header.battery()->accessibleName(), "Battery 14.9%"); // the info's state is not read

    live->update(10.0, 1.5);
    EXPECT_EQ(header.batteryText()->text(), "50%");
    EXPECT_EQ(header.batterySymbol(), "battery.50percent");
    EXPECT_EQ(header.battery()->accessibleName(), "Battery 50%, Charging");

    DeviceHeader none(model.deviceLists(), model.navigation(), model.demo(),
                      Fakes::controller("gc-2", "Plain"));
    EXPECT_TRUE(none.battery()->isHidden());
    EXPECT_TRUE(none.batterySymbol().isEmpty());
}

TEST_F(HeaderFixture, NameAndDetailLineFollowTheDeviceAndBorrowFromItsPartner) {
    auto pad = plugController(Fakes::controller("gc-1", "Pad"));
    DeviceHeader header(model.deviceLists(), model.navigation(), model.demo(), pad);
    EXPECT_EQ(header.nameLabel()->text(), "Pad");
    EXPECT_EQ(header.detailLabel()->text(), "");

    auto hid = plugHID(4, "Pad twin", "SN-4");
    model.deviceLists().setPartner(hid->id(), *pad);
    EXPECT_EQ(header.detailLabel()->text(), "Serial SN-4");
    DeviceInfo info = pad->info();
    info.name = "Renamed";
    info.category = "Gamepad";
    pad->setInfo(info);
    EXPECT_EQ(header.nameLabel()->text(), "Renamed");
    EXPECT_EQ(header.detailLabel()->text(), "Gamepad · Serial SN-4");
}

TEST(DeviceHeaderText, BatterySymbolsFillWithTheLevel) {
    int previous = -1;
    for (const char* name : {"battery.0percent", "battery.25percent", "battery.50percent", "battery.75percent",
                             "battery.100percent"}) {
        const QImage image = Symbols::image(name, {40, 40}, Qt::black);
        int opaque = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) opaque += image.pixelColor(x, y).alpha() > 128;
        EXPECT_GT(opaque, previous) << name;
        previous = opaque;
    }
}

TEST_F(HeaderFixture, ControlsByKindOfDevice) {
    DeviceHeader demo(model.deviceLists(), model.navigation(), model.demo(),
                      bench.demo()); // paired with its raw twin from the start
    ASSERT_NE(demo.demoPicker(), nullptr);
    EXPECT_EQ(demo.pairingButton(), nullptr);
    ASSERT_NE(demo.valuesPicker(), nullptr);
    EXPECT_FALSE(demo.valuesPicker()->isHidden());
    EXPECT_EQ(demo.valuesPicker()->accessibleName(), "Values");
    EXPECT_TRUE(demo.valuesPicker()->toolTip().startsWith("Processed: the system's values"));
    DeviceHeader twin(model.deviceLists(), model.navigation(), model.demo(), model.demo().raw());
    EXPECT_NE(twin.demoPicker(), nullptr);
    EXPECT_EQ(twin.pairingButton(), nullptr);
    EXPECT_EQ(twin.valuesPicker(), nullptr);
    auto hid = plugHID(2, "Pedals");
    DeviceHeader pedals(model.deviceLists(), model.navigation(), model.demo(), hid);
    EXPECT_EQ(pedals.demoPicker(), nullptr);
    EXPECT_EQ(pedals.pairingButton(), nullptr);
    EXPECT_EQ(pedals.valuesPicker(), nullptr);
    for (DeviceHeader* header : {&demo, &twin, &pedals}) {
        ASSERT_EQ(header->tabPicker()->count(), 3);
        EXPECT_EQ(header->tabPicker()->button(0)->text(), "Bench");
        EXPECT_EQ(header->tabPicker()->button(1)->text(), "Raw HID");
        EXPECT_EQ(header->tabPicker()->button(2)->text(), "History");
        EXPECT_EQ(header->tabPicker()->accessibleName(), "View");
    }
}

TEST_F(HeaderFixture, TheControlsGoUnderTheTitlesRatherThanCutTheName) {
    DeviceHeader header(model.deviceLists(), model.navigation(), model.demo(), bench.demo());
    header.resize(1200, 80);
    header.show();
    QApplication::processEvents();
    EXPECT_TRUE(header.fitsOneRow(header.width()));
    const int row = header.tabPicker()->mapTo(&header, QPoint(0, 0)).y();
    EXPECT_LT(row, header.detailLabel()->geometry().bottom()); // beside the titles
    header.resize(700, 80);
    QApplication::processEvents();
    EXPECT_FALSE(header.fitsOneRow(header.width()));
    EXPECT_GE(header.nameLabel()->width(), header.nameLabel()->sizeHint().width());
    EXPECT_GT(header.tabPicker()->mapTo(&header, QPoint(0, 0)).y(),
              header.detailLabel()->geometry().bottom());
    EXPECT_GT(header.sizeHint().height(), header.tabPicker()->height() + header.nameLabel()->height());
}

TEST_F(HeaderFixture, TabPickerWritesTheWindowsTabAndFollowsIt) {
    DeviceHeader demo(model.deviceLists(), model.navigation(), model.demo(), bench.demo());
    DeviceHeader twin(model.deviceLists(), model.navigation(), model.demo(), model.demo().raw());
    EXPECT_EQ(demo.tabPicker()->currentTag(), "bench");
    QTest::mouseClick(demo.tabPicker()->button(2), Qt::LeftButton);
    EXPECT_EQ(model.navigation().tab(), DetailTab::history);
    EXPECT_EQ(twin.tabPicker()->currentTag(), "history");
    model.navigation().setTab(DetailTab::raw);
    EXPECT_EQ(demo.tabPicker()->currentTag(), "raw");
}

TEST_F(HeaderFixture, DemoPickerListsTheRecordingsAndSwitchesThePlayback) {
    DeviceHeader header(model.deviceLists(), model.navigation(), model.demo(), bench.demo());
    QComboBox& picker = *header.demoPicker();
    ASSERT_EQ(picker.count(), 3);
    EXPECT_EQ(picker.itemText(0), "Healthy pad");
    EXPECT_EQ(picker.itemText(1), "Drifting left stick");
    EXPECT_EQ(picker.itemText(2), "Chattering A button");
    EXPECT_EQ(picker.accessibleName(), "Demo recording");
    // Qt on Linux reads a combo box by its current text: the label comes through the relation.
    const auto labels = QAccessible::queryAccessibleInterface(&picker)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Demo recording");
    EXPECT_EQ(picker.currentIndex(), 0);

    const auto healthy = model.demo().actions();
    picker.setCurrentIndex(1);
    emit picker.activated(1);
    EXPECT_EQ(model.demo().scenario(), RorozErurEvo::DemoScenario::drift);
    EXPECT_NE(model.demo().actions(), healthy);

    model.demo().setScenario(RorozErurEvo::DemoScenario::chatter);
    EXPECT_EQ(picker.currentIndex(), 2);
}

TEST_F(HeaderFixture, PairingMenuOffersEveryHIDDeviceAndPairsThePickedOne) {
    auto pad = plugController(Fakes::controller("gc-1", "Pad"));
    DeviceHeader header(model.deviceLists(), model.navigation(), model.demo(), pad);
    ASSERT_NE(header.pairingButton(), nullptr);
    EXPECT_FALSE(header.pairingButton()->isHidden());
    EXPECT_EQ(header.pairingButton()->text(), "Raw HID: not paired");
    EXPECT_EQ(items(*header.pairingMenu()), QStringList{"No raw HID device found for it (off)"});

    plugHID(3, "Wheel", "W-3");
    auto stick = plugHID(5, "Stick");
    EXPECT_EQ(items(*header.pairingMenu()), (QStringList{"Wheel (W-3)", "Stick"}));

    ASSERT_TRUE(header.valuesPicker()->isHidden());
    header.pairingMenu()->actions().at(1)->trigger();
    EXPECT_EQ(pad->rawPartner(), stick);
    EXPECT_TRUE(header.pairingButton()->isHidden());
    EXPECT_FALSE(header.valuesPicker()->isHidden());
    EXPECT_EQ(header.valuesPicker()->currentTag(), "processed");
}

TEST_F(HeaderFixture, ChoosingAValueSourceEndsARunningTestWithoutAResult) {
    auto demo = bench.demo();
    DeviceHeader header(model.deviceLists(), model.navigation(), model.demo(), demo);
    TestRunner& runner = model.runner(demo);
    const auto tests = GuidedTests::allTests(*demo);
    auto drift = std::find_if(tests.begin(), tests.end(),
                              [](const GuidedTest& t) { return t.kind == RorozErurEvo::TestKind::drift; });
    ASSERT_NE(drift, tests.end());
    runner.start(*drift);
    ASSERT_TRUE(runner.hasActiveTest());

    QTest::mouseClick(header.valuesPicker()->button(1), Qt::LeftButton);
    EXPECT_FALSE(runner.hasActiveTest());
    EXPECT_TRUE(runner.results().empty());
    EXPECT_TRUE(demo->useRaw());

    // With no test running only the value changes; the device changing it moves the picker.
    QTest::mouseClick(header.valuesPicker()->button(0), Qt::LeftButton);
    EXPECT_FALSE(demo->useRaw());
    demo->setUseRaw(true);
    EXPECT_EQ(header.valuesPicker()->currentTag(), "raw");
}

TEST_F(HeaderFixture, AtTheDefaultWindowSizeALongSerialIsShownWhole) {
    const auto& demo = bench.demo();
    DeviceInfo info = demo->info();
    info.serial = "DEMO-0001-7F3A-22C9-B04E";
    demo->setInfo(info);
    MainWindow window(model);
    window.show();
    ASSERT_EQ(window.size(), QSize(MainWindow::defaultWidth, MainWindow::defaultHeight));
    for (int i = 0; i < 3; ++i) QApplication::processEvents();

    auto* header = window.findChild<DeviceHeader*>();
    ASSERT_NE(header, nullptr);
    auto* detail = qobject_cast<PartsLabel*>(header->detailLabel());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->text().toStdString(), "Gamepad · VID F00D · PID 0001 · Simulated · Serial DEMO-0001-7F3A-22C9-B04E");
    EXPECT_EQ(detail->accessibleName(), detail->text());
    const QStringList lines = detail->linesFor(detail->width());
    EXPECT_TRUE(lines.contains("Serial DEMO-0001-7F3A-22C9-B04E")) << lines.join(" | ").toStdString();
    for (const QString& line : lines) EXPECT_LE(detail->fontMetrics().horizontalAdvance(line), detail->width());
    // Every line has its room, and the label lies within the header.
    EXPECT_GE(detail->height(), detail->heightForWidth(detail->width()));
    const QRect inHeader(detail->mapTo(header, QPoint(0, 0)), detail->size());
    EXPECT_TRUE(header->rect().contains(inHeader));
    window.close();
}

namespace {
// Every size the header and its detail line are given, from the window's construction on.
struct HeaderSizes : QObject {
    QList<QSize> header, detail;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            const QSize size = static_cast<QResizeEvent*>(event)->size();
            if (watched->objectName() == QLatin1String("device-header")) header.append(size);
            if (watched->objectName() == QLatin1String("device-detail")) detail.append(size);
        }
        return false;
    }
};
} // namespace

// The header is laid out once, at the width its column gives it, instead of first as a stack
// and then again as a row: the window's first frame shows it at its final size.
TEST_F(HeaderFixture, TheWindowsFirstFrameLaysTheHeaderOutOnceAtItsFinalSize) {
    HeaderSizes sizes;
    qApp->installEventFilter(&sizes);
    MainWindow window(model);
    window.show();
    ASSERT_EQ(window.size(), QSize(MainWindow::defaultWidth, MainWindow::defaultHeight));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    qApp->removeEventFilter(&sizes);

    auto* header = window.findChild<DeviceHeader*>();
    ASSERT_NE(header, nullptr);
    EXPECT_TRUE(header->fitsOneRow(header->width()));
    EXPECT_EQ(sizes.header, QList<QSize>{header->size()});
    EXPECT_EQ(sizes.detail, QList<QSize>{header->detailLabel()->size()});
    // The row it ends in is the one a resize would give it.
    const QRect detail = header->detailLabel()->geometry();
    header->resize(header->width() + 1, header->height());
    header->resize(header->width() - 1, header->height());
    QApplication::processEvents();
    EXPECT_EQ(header->detailLabel()->geometry(), detail);
    EXPECT_EQ(header->height(), header->heightForWidth(header->width()));
    window.close();
}

TEST(PartsLabel, WrapsBetweenPartsAndBreaksOnlyAPartWiderThanTheColumn) {
    PartsLabel label(Text::separator);
    label.setText("Gamepad · USB · Serial SN-4");
    const QFontMetrics m = label.fontMetrics();
    const int whole = m.horizontalAdvance(label.text());
    EXPECT_EQ(label.linesFor(whole + 2), QStringList{"Gamepad · USB · Serial SN-4"});
    EXPECT_EQ(label.linesFor(m.horizontalAdvance("Gamepad · USB") + 2), (QStringList{"Gamepad · USB", "Serial SN-4"}));
    EXPECT_EQ(label.heightForWidth(m.horizontalAdvance("Gamepad · USB") + 2), 2 * m.lineSpacing());
    // A serial wider than the column goes over lines, every character kept.
    const QStringList narrow = label.linesFor(m.horizontalAdvance("Serial"));
    EXPECT_EQ(narrow.join(""), "GamepadUSBSerial SN-4");
    for (const QString& line : narrow) EXPECT_LE(m.horizontalAdvance(line), m.horizontalAdvance("Serial"));
}

// The lines a label keeps for the widths it was asked about are always the ones worked out afresh
// for its text, font and margins as they are now.
TEST(PartsLabel, KeptLinesFollowTheTextTheFontTheMarginsAndTheWidth) {
    PartsLabel label(Text::separator);
    const auto fresh = [&label](int width) {
        const QMargins m = label.contentsMargins();
        return LineBreaks::fill(label.text().split(Text::separator), Text::separator, QFontMetricsF(label.font()),
                                width - m.left() - m.right());
    };
    const auto sameAsFresh = [&label, &fresh](const char* stage) {
        // More widths than are kept, each asked twice, round and back.
        for (int round = 0; round < 2; ++round)
            for (int width = 20; width <= 320; width += 30) EXPECT_EQ(label.linesFor(width), fresh(width)) << stage << " " << width;
        EXPECT_EQ(label.heightForWidth(80), int(fresh(80).size()) * label.fontMetrics().lineSpacing()) << stage;
    };
    label.setText("Gamepad · USB · Serial SN-4");
    sameAsFresh("first text");
    label.setText("Wheel base · 046D:C24F · Serial 0123456789ABCDEF");
    sameAsFresh("longer text");
    QFont larger = label.font();
    larger.setPointSizeF(larger.pointSizeF() * 1.5);
    label.setFont(larger);
    sameAsFresh("larger font");
    label.setContentsMargins(12, 0, 9, 0);
    sameAsFresh("wider margins");
    label.setText("");
    EXPECT_EQ(label.linesFor(100), QStringList{""});
}
