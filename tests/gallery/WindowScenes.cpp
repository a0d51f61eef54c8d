// Scenes of the whole window at its default and its smallest size, on the demo controller with a
// result on every card that can hold one and one manual check answered: every kind of card with
// its result, the header with the demo's serial, the live column beside them.
#include "../app/model/ModelFakes.h"

#include <QVBoxLayout>

#include "Gallery.h"
#include "app/model/GuidedTests.h"
#include "app/views/device/DeviceTabs.h"
#include "app/views/shell/MainWindow.h"

namespace Tessarine {
namespace {

using namespace RorozErurEvo;

// The main window, or only its bench page, over a model of its own; the page goes before the
// model does.
class WindowHost final : public QWidget {
public:
    // An empty `size` is the window's least size.
    explicit WindowHost(QSize size, bool benchOnly = false) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        const auto& demo = bench.demo();
        UnitRecord record = bench.model->deviceLists().unit(*demo);
        record.unit = "SN-20417";
        bench.model->deviceLists().setUnit(demo->id(), record);
        Fakes::resultsOnEveryCard(bench);
        auto& runner = bench.model->runner(demo);
        for (const auto& test : GuidedTests::allTests(*demo))
            if (test.kind == TestKind::rumble)
                for (const auto& item : GuidedTests::manualItems(test.kind, *demo)) {
                    runner.setAnswer(true, item.name, test);
                    break;
                }
        if (benchOnly) {
            page_ = new BenchPanel(demo, DeviceTabs::benchFaces(*bench.model));
        } else {
            auto* window = new MainWindow(*bench.model);
            window->setWindowFlags(Qt::Widget);
            page_ = window;
        }
        layout->addWidget(page_);
        size_ = size.isEmpty() ? page_->minimumSizeHint() : size;
    }
    ~WindowHost() override { delete page_; }
    QSize sizeHint() const override { return size_; }

private:
    Fakes::Bench bench{false};
    QWidget* page_ = nullptr;
    QSize size_;
};

std::unique_ptr<QWidget> window(QSize size) { return std::make_unique<WindowHost>(size); }

// The width of the bench page in the smallest window, pixels: the window less the widest
// sidebar, the live column at its narrowest and the dividers.
constexpr int smallestBenchWidth = MainWindow::minimumWidth - 240 - 400 - 2;

const bool windowScenesAdded = Gallery::add({
    {"window-default-demo-results",
     {},
     [] { return window({MainWindow::defaultWidth, MainWindow::defaultHeight}); }},
    {"window-minimum-demo-results",
     {},
     [] { return window({}); }},
    // Every card, not only those the window shows before it scrolls.
    {"bench-panel-minimum-demo-results",
     {smallestBenchWidth, 5300},
     [] { return std::make_unique<WindowHost>(QSize(), true); }},
});

} // namespace
} // namespace Tessarine
