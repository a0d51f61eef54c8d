#pragma once
// The settings window's Display tab: raw numbers for raw HID sources, the length of the stick
// traces and the keyboard tester's layout. It edits the model's and the tester's settings, which
// save themselves, and follows them when they change elsewhere (the tester's own layout picker).
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace Tessarine {

class KeyboardTester;
class UserSettings;

class DisplayTab : public QWidget {
    Q_OBJECT

public:
    explicit DisplayTab(UserSettings& settings, KeyboardTester& keyboard, QWidget* parent = nullptr);

private:
    void refresh();

    UserSettings& settings_;
    KeyboardTester& keyboard_;
    QCheckBox* raw_;
    QSlider* trail_;
    QLabel* trailText_;
    QComboBox* layout_;
};

} // namespace Tessarine
