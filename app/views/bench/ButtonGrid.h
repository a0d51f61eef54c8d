#pragma once
// Every button of a device with whether it is held and how often it was pressed, in cells of at
// least 118 pixels, and "Reset Counts", which clears the counters inside the device's capture
// buffer. Nothing at all is shown for a device without buttons.
#include <QWidget>

#include <memory>
#include <vector>

#include "app/devices/CaptureBuffer.h"
#include "app/devices/ElementInfo.h"
#include "app/views/kit/AccessibleValue.h"

class QPushButton;

namespace Tessarine {

class AdaptiveGridLayout;
class InputDevice;

// One button: its symbol, name and count, lit in the accent colour while held.
class ButtonCell : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit ButtonCell(const ElementInfo& element, QWidget* parent = nullptr);

    const std::string& id() const { return id_; }
    void set(bool pressed, int count);
    bool pressed() const { return pressed_; }
    int count() const { return count_; }

    QString accessibleValue() const override;
    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string id_;
    QString symbol_;
    bool pressed_ = false;
    int count_ = 0;
};

class ButtonGrid : public QWidget {
    Q_OBJECT

public:
    explicit ButtonGrid(QWidget* parent = nullptr);

    // The device's buttons (its triggers are left to the bars); rebuilds the cells.
    void setDevice(std::shared_ptr<InputDevice> device);
    // Lights and counts the cells from a snapshot of the device.
    void setLive(const CaptureBuffer::Snapshot& live);

    const std::vector<ButtonCell*>& cells() const { return cells_; }
    QPushButton* resetButton() const { return reset_; }

private:
    std::shared_ptr<InputDevice> device_;
    AdaptiveGridLayout* grid_;
    QPushButton* reset_;
    std::vector<ButtonCell*> cells_;
};

} // namespace Tessarine
