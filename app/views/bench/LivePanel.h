#pragma once
// The live half of a device's bench: everything the device reports now, with no test running.
// The drawn controller, one stick plot with its readout per stick, one bar per trigger and axis,
// the button grid, and a caption saying whether the numbers are the system's processed values or
// the device's raw ones. While the device's raw source is chosen, the values come from its raw
// partner; the drawing stays the device's own.
#include <QWidget>

#include <memory>
#include <vector>

#include "app/views/bench/BenchTexts.h"

class QLabel;
class QVBoxLayout;

namespace Tessarine {

class UserSettings;
class ButtonGrid;
class ControllerDrawing;
class InputDevice;
class StickPlotView;
class StickReadout;
class TriggerBar;

class LivePanel : public QWidget {
    Q_OBJECT

public:
    LivePanel(std::shared_ptr<InputDevice> device, const UserSettings& settings, QWidget* parent = nullptr);

    // The device whose values are shown: the raw partner while the raw source is chosen.
    static std::shared_ptr<InputDevice> shownDevice(const std::shared_ptr<InputDevice>& device);
    // Which caption the panel shows.
    static BenchTexts::Source source(const InputDevice& device, const InputDevice& shown);
    // Raw numbers only for a raw source, and only with the setting on.
    static bool showRaw(const InputDevice& shown, bool showRawNumbers);

    ControllerDrawing* drawing() const { return drawing_; }
    QWidget* stickRow() const { return stickRow_; }
    QWidget* bars() const { return barStack_; }
    ButtonGrid* buttonGrid() const { return buttons_; }
    QLabel* caption() const { return caption_; }
    const std::vector<StickPlotView*>& plots() const { return plots_; }
    const std::vector<TriggerBar*>& triggerBars() const { return triggerBars_; }

    // Builds the rows for the shown device's elements.
    void rebuild();
    // Shows the shown device's latest values.
    void refresh();

private:
    void follow(const std::shared_ptr<InputDevice>& shown);

    std::shared_ptr<InputDevice> device_;
    std::shared_ptr<InputDevice> shown_;
    const UserSettings& settings_;
    ControllerDrawing* drawing_;
    QWidget* stickRow_;
    QWidget* barStack_;
    ButtonGrid* buttons_;
    QLabel* caption_;
    std::vector<StickPlotView*> plots_;
    std::vector<StickReadout*> readouts_;
    std::vector<std::string> stickIDs_;
    std::vector<TriggerBar*> triggerBars_;
    std::vector<std::string> barIDs_;
    std::vector<QMetaObject::Connection> shownLinks_;
};

} // namespace Tessarine
