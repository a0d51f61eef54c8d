#pragma once
// The keyboard tester screen: the layout and board pickers, Reset and Save Session… in the header;
// the capture row, the keys-tested progress, four live figures, the drawn keyboard, what its dashed
// keys mean and the keys it lacks below.
#include <QWidget>

#include <memory>

#include "app/model/EventClock.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace Tessarine {

class Clock;
class KeyboardTester;
class SessionCommands;
class UserSettings;
class KeyCapture;
class KeyboardDrawing;

class KeyboardTesterView : public QWidget {
    Q_OBJECT
public:
    explicit KeyboardTesterView(KeyboardTester& tester, const UserSettings& settings, SessionCommands& commands,
                                const Clock& clock, QWidget* parent = nullptr);

    KeyCapture& capture() const { return *capture_; }
    KeyboardDrawing& drawing() const { return *drawing_; }

private:
    // Builders of the screen's parts, each run once by the constructor.
    void buildHeader(QVBoxLayout* outer);
    void buildCaptureRow(QVBoxLayout* stack);
    void buildProgress(QVBoxLayout* stack);
    void buildStatistics(QVBoxLayout* stack);
    void buildOtherKeys(QVBoxLayout* stack);
    void buildShortcuts();

    void refresh();
    void save();

    KeyboardTester& tester_;
    const UserSettings& settings_;
    SessionCommands& commands_;
    const Clock& clock_;
    EventClock eventClock_;
    KeyCapture* capture_;
    QComboBox* layoutPicker_;
    QComboBox* boardPicker_;
    QPushButton* start_;
    QPushButton* stop_;
    QLabel* captureText_;
    QLabel* progressLabel_;
    QProgressBar* progress_;
    QLabel* heldValue_;
    QLabel* rolloverValue_;
    QLabel* repeatValue_;
    QLabel* chatterValue_;
    QLabel* otherKeysValue_;
    KeyboardDrawing* drawing_;
    QLabel* optionalNote_;
};

} // namespace Tessarine
