#pragma once
// One line under the unit bar: the limits the device's tests are judged against and, while
// per-family limits are on, a menu to override the controller family detected for this device.
// Everything shown comes from the model and follows it.
#include <QWidget>

#include <memory>

class QLabel;
class QMenu;
class QToolButton;

namespace Tessarine {

class UserSettings;
class InputDevice;

class ProfileRow : public QWidget {
    Q_OBJECT

public:
    ProfileRow(std::shared_ptr<InputDevice> device, UserSettings& settings, QWidget* parent = nullptr);

    QLabel* limits() const { return limits_; }
    QToolButton* familyButton() const { return family_; }
    QMenu* familyMenu() const { return menu_; }

    void refresh();

private:
    std::shared_ptr<InputDevice> device_;
    UserSettings& settings_;
    QLabel* limits_;
    QToolButton* family_;
    QMenu* menu_;
};

} // namespace Tessarine
