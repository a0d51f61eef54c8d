#pragma once
// One device on the all-devices view: its name with the worst verdict of its results, its unit,
// live plots of its first two sticks, a line per drift result, and "Open" to go to its bench.
// The sticks and their live values are those of the device the tests measure: its raw partner
// while the raw source is chosen, else the device itself. The card keeps nothing of its own.
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "app/views/kit/AccessibleValue.h"
#include "app/views/kit/Card.h"
#include "testkit/Measure.h"

class QLabel;
class QPushButton;

namespace Tessarine {

class DeviceLists;
class Navigation;
class ElidedLabel;
class InputDevice;
class StickPlotView;
class VerdictLabel;

// A result's line on the card: the verdict's symbol in its colour beside the text, read as one
// element, the text.
class BatchResultRow : public QWidget, public AccessibleValue {
    Q_OBJECT

public:
    explicit BatchResultRow(QWidget* parent = nullptr);
    void set(RorozErurEvo::Verdict verdict, const QString& text);
    const QString& symbol() const { return symbol_; }
    QString text() const;

    QString accessibleValue() const override { return QString(); }
    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

private:
    QLabel* icon_;
    QLabel* text_;
    QString symbol_;
};

class BatchCard : public Card {
    Q_OBJECT

public:
    // Side of a stick plot, pixels.
    static constexpr int plotSide = 96;
    // Sticks shown at most.
    static constexpr std::size_t maxPlots = 2;

    BatchCard(std::shared_ptr<InputDevice> device, DeviceLists& lists, Navigation& navigation,
              QWidget* parent = nullptr);

    const std::shared_ptr<InputDevice>& device() const { return device_; }
    ElidedLabel* nameLabel() const { return name_; }
    VerdictLabel* verdictLabel() const { return verdict_; }
    QLabel* unitLabel() const { return unit_; }
    const std::vector<StickPlotView*>& plots() const { return plots_; }
    const std::vector<BatchResultRow*>& resultRows() const { return rows_; }
    QPushButton* openButton() const { return open_; }

    // Builds the plots for the measured device's sticks.
    void rebuild();
    // Name, verdict, unit and result lines.
    void refresh();
    // The plots' live values.
    void refreshLive();

private:
    void follow(const std::shared_ptr<InputDevice>& measured);
    void open();

    const std::shared_ptr<InputDevice> device_;
    DeviceLists& lists_;
    Navigation& navigation_;
    std::shared_ptr<InputDevice> measured_;
    ElidedLabel* name_;
    VerdictLabel* verdict_;
    QLabel* unit_;
    QWidget* plotRow_;
    QWidget* rowBox_;
    QPushButton* open_;
    std::vector<StickPlotView*> plots_;
    std::vector<std::string> stickIDs_;
    std::vector<BatchResultRow*> rows_;
    std::vector<QMetaObject::Connection> measuredLinks_;
};

} // namespace Tessarine
