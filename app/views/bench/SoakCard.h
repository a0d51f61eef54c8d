#pragma once
// The wireless soak test on a device's bench. Idle it offers the length and "Run"; while the
// one soak run of the application runs on this device it shows the run live with "Stop and
// Judge" and "Cancel"; afterwards the recorded result. Run waits while a soak runs anywhere,
// a test of this device runs or the batch drift test runs; a run on another device is named
// under the controls. Like a test card it is built once and follows the runners by itself; its
// one piece of own state is whether the result's details are open. Escape cancels the run shown
// here; while it runs the keyboard stays off "Stop and Judge", so a stray Space never judges it.
#include <memory>

#include "app/views/kit/Card.h"

class QComboBox;
class QLabel;
class QPushButton;
class QShortcut;

namespace Tessarine {

class BatchRunner;
class SoakRunner;
class UserSettings;
class CardHeader;
class InputDevice;
class ResultView;
class SoakLiveView;
class SoakRunner;
class TestRunner;

class SoakCard : public Card {
    Q_OBJECT

public:
    SoakCard(std::shared_ptr<InputDevice> device, TestRunner& runner, UserSettings& settings,
             SoakRunner& soakRunner, BatchRunner* batch, QWidget* parent = nullptr);

    bool showDetails() const { return showDetails_; }
    void setShowDetails(bool open);
    void refresh();

    QComboBox* lengthPicker() const { return length_; }

private:
    SoakRunner& soak() const;
    void cancel();

    std::shared_ptr<InputDevice> device_;
    TestRunner& runner_;
    UserSettings& settings_;
    SoakRunner& soak_;
    BatchRunner* batch_;
    bool showDetails_ = false;
    bool wasHere_ = false; // whether the last refresh showed the run on this device

    CardHeader* header_;
    QLabel* instructions_;
    SoakLiveView* live_;
    ResultView* result_;
    QWidget* idleControls_;
    QWidget* runningControls_;
    QComboBox* length_;
    QPushButton* run_;
    QLabel* elsewhere_;
    QShortcut* escape_;
};

} // namespace Tessarine
