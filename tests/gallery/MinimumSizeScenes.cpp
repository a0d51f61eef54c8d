// Scenes of the window at its smallest: the demo controller's device view with its header, the
// live column and the manual checks, the same on raw HID values, and the live column of the raw values with a third stick.
#include "../app/model/ModelFakes.h"

#include <QVBoxLayout>

#include "Gallery.h"
#include "app/views/device/DeviceTabs.h"
#include "app/views/device/DeviceView.h"
#include "app/views/shell/MainWindow.h"

namespace Tessarine {
namespace {

// A model with the window over it; the window goes before the model does.
class MinimumSizeHost final : public QWidget {
public:
    MinimumSizeHost() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    ~MinimumSizeHost() override { qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)); }

    void add(QWidget* widget, QSize size) {
        layout()->addWidget(widget);
        size_ = size;
    }
    QSize sizeHint() const override { return size_; }

    Fakes::Bench bench{false};

private:
    QSize size_;
};

std::unique_ptr<QWidget> smallestWindow() {
    auto host = std::make_unique<MinimumSizeHost>();
    auto* window = new MainWindow(*host->bench.model);
    window->setWindowFlags(Qt::Widget);
    host->add(window, window->minimumSizeHint());
    return host;
}

// Values = Raw HID: the cards' titles end in " (Raw HID)" and in "…" where they do not fit.
std::unique_ptr<QWidget> smallestWindowRaw() {
    auto host = std::make_unique<MinimumSizeHost>();
    host->bench.demo()->setUseRaw(true);
    auto* window = new MainWindow(*host->bench.model);
    window->setWindowFlags(Qt::Widget);
    host->add(window, window->minimumSizeHint());
    return host;
}

std::unique_ptr<QWidget> thirdStick() {
    auto host = std::make_unique<MinimumSizeHost>();
    const auto& demo = host->bench.demo();
    auto pairs = demo->rawPartner()->stickPairs();
    pairs.push_back({"pair-3", "Stick 3", "e5", "e6", false, ElementInfo::Role::other});
    demo->rawPartner()->applyPairs(pairs);
    demo->setUseRaw(true);
    // The detail column of the smallest window beside the widest sidebar.
    host->add(new DeviceView(*host->bench.model, demo, DeviceTabs::standard()),
              {MainWindow::minimumWidth - 321, MainWindow::minimumHeight});
    return host;
}

const bool minimumSizeScenesAdded = Gallery::add({
    {"window-minimum", {}, smallestWindow},
    {"window-minimum-raw", {}, smallestWindowRaw},
    {"device-view-minimum-third-stick", {}, thirdStick},
});

} // namespace
} // namespace Tessarine
