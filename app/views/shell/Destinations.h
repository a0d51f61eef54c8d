#pragma once
// What the root view opens for each sidebar destination, and the save-session sheet. The root
// view only routes; the views themselves come from here, so each can be built and replaced on
// its own.
#include <QDialog>
#include <QWidget>

#include <functional>
#include <memory>

namespace Tessarine {

class AppModel;
class InputDevice;

struct Destinations {
    std::function<QWidget*(AppModel&, const std::shared_ptr<InputDevice>&)> device;
    std::function<QWidget*(AppModel&)> keyboard;
    std::function<QWidget*(AppModel&)> mouse;
    std::function<QWidget*(AppModel&)> batch;
    std::function<QWidget*(AppModel&)> history;
    // A sheet for `device`, shown window-modal over `parent`.
    std::function<QDialog*(AppModel&, const std::shared_ptr<InputDevice>&, QWidget* parent)> saveSheet;

    // The application's views.
    static Destinations standard();
};

} // namespace Tessarine
