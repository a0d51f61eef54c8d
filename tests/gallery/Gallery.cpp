#include "Gallery.h"

#include <QVBoxLayout>

#include <algorithm>

namespace Tessarine::Gallery {

namespace {

std::vector<Scene>& registry() {
    static std::vector<Scene> all;
    return all;
}

class PaintedWidget final : public QWidget {
public:
    explicit PaintedWidget(std::function<void(QPainter&, const QRectF&, const Scheme&)> paint)
        : paint_(std::move(paint)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paint_(painter, QRectF(rect()), Scheme::fromPalette(palette()));
    }

private:
    std::function<void(QPainter&, const QRectF&, const Scheme&)> paint_;
};

} // namespace

bool add(std::vector<Scene> scenes) {
    for (Scene& scene : scenes) registry().push_back(std::move(scene));
    return true;
}

std::vector<Scene> scenes() {
    std::vector<Scene> sorted = registry();
    std::sort(sorted.begin(), sorted.end(), [](const Scene& a, const Scene& b) { return a.name < b.name; });
    return sorted;
}

std::unique_ptr<QWidget> painted(std::function<void(QPainter&, const QRectF&, const Scheme&)> paint) {
    return std::make_unique<PaintedWidget>(std::move(paint));
}

std::unique_ptr<QWidget> column(std::vector<QWidget*> widgets, int spacing) {
    auto host = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(host.get());
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(spacing);
    for (QWidget* widget : widgets) layout->addWidget(widget);
    layout->addStretch(1);
    return host;
}

} // namespace Tessarine::Gallery
