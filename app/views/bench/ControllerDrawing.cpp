#include "app/views/bench/ControllerDrawing.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>

#include <atomic>
#include <cmath>
#include <system_error>

#include "app/devices/InputDevice.h"
#include "app/paint/Scheme.h"
#include "app/views/kit/AccessibleValue.h"
#include "app/views/kit/AfterInput.h"
#include "app/drawing/PadPaint.h"
#include "app/drawing/PadShapes.h"

namespace Tessarine {

namespace {

// Room below the canvas for the shell's shadow, in canvas points: the grips reach y 318 and
// their shadow falls 12 points lower and fades over about as much again.
constexpr double shadowRoom = 22;
constexpr int largestWidth = 540; // pixels: the width the drawing asks for

std::atomic<bool> firstImagesAway{false};

} // namespace

// One part as assistive technology reads it: a child over the part's place that paints nothing
// and lets the mouse through.
class PadPartWidget final : public QWidget, public AccessibleValue {
public:
    explicit PadPartWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }
    void say(const PartAccessibility& said) {
        if (accessibleName() != said.label) setAccessibleName(said.label);
        if (value_ == said.value) return;
        value_ = said.value;
        valueMayHaveChanged(this);
    }
    QString accessibleValue() const override { return value_; }

private:
    QString value_;
};

namespace {

QAccessibleInterface* containerFactory(const QString&, QObject* object) {
    if (auto* drawing = qobject_cast<ControllerDrawing*>(object))
        return new QAccessibleWidget(drawing, QAccessible::Grouping);
    return nullptr;
}

} // namespace

ControllerDrawing::ControllerDrawing(std::shared_ptr<InputDevice> device, QWidget* parent)
    : QWidget(parent), device_(std::move(device)) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(containerFactory);
        return true;
    }();
    (void)factoryInstalled;
    setObjectName(QStringLiteral("controller-drawing"));
    setAccessibleName(QStringLiteral("Controller"));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);

    // The touchpad and the lights are the device's own; everything else may come from its raw
    // partner, which useRaw and rawPartner choose.
    for (auto signal : {&InputDevice::liveChanged, &InputDevice::lightColorChanged, &InputDevice::playerLightChanged,
                        &InputDevice::capabilitiesChanged, &InputDevice::elementsChanged})
        connect(device_.get(), signal, this, &ControllerDrawing::refresh);
    for (auto signal : {&InputDevice::useRawChanged, &InputDevice::rawPartnerChanged})
        connect(device_.get(), signal, this, [this] {
            follow();
            refresh();
        });
    follow();
    refresh();
}

ControllerDrawing::~ControllerDrawing() {
    if (warmer_.joinable()) warmer_.join();
}

void ControllerDrawing::setFirstImagesAway(bool away) { firstImagesAway = away; }

bool ControllerDrawing::warmAway() {
    if (warmTried_) return warming_;
    warmTried_ = true;
    const PadCanvasFit fitted = fit();
    if (!firstImagesAway || !(fitted.scale > 0)) return false;
    const PadShell shell{parts_.layout};
    const bool dark = Scheme::fromPalette(palette()).dark;
    const double scale = fitted.scale;
    const double pixelRatio = devicePixelRatioF();
    QPointer<ControllerDrawing> self(this);
    try {
        // Painting into images of its own touches nothing of the widget's; the images come back
        // through the event loop, to a drawing that still exists (its destructor waits for this).
        // Painting with them takes milliseconds: input that waits by then is answered first.
        warmer_ = std::thread([self, shell, dark, scale, pixelRatio] {
            auto images = std::make_shared<PadImages>();
            images->shadow(dark, scale, pixelRatio);
            images->shell(shell, dark, scale, pixelRatio);
            QMetaObject::invokeMethod(
                qApp, [self, images, shell, dark, scale, pixelRatio] {
                    AfterInput::run(qApp, [self, images, shell, dark, scale, pixelRatio] {
                        if (self) self->warmed(images, shell, dark, scale, pixelRatio);
                    });
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return false; // no thread to be had: painted in place
    }
    warming_ = true;
    return true;
}

void ControllerDrawing::warmed(std::shared_ptr<PadImages> images, PadShell shell, bool dark, double scale,
                               double pixelRatio) {
    if (warmer_.joinable()) warmer_.join();
    warming_ = false;
    // Images for a size or scheme the drawing no longer has are dropped: it paints its own.
    if (shell == PadShell{parts_.layout} && dark == Scheme::fromPalette(palette()).dark && scale == fit().scale &&
        pixelRatio == devicePixelRatioF())
        images_ = std::move(*images);
    update();
}

void ControllerDrawing::follow() {
    for (const auto& link : sourceLinks_) disconnect(link);
    sourceLinks_.clear();
    source_ = device_->useRaw() && device_->rawPartner() ? device_->rawPartner() : device_;
    if (source_ == device_) return;
    for (auto signal : {&InputDevice::liveChanged, &InputDevice::elementsChanged})
        sourceLinks_.push_back(connect(source_.get(), signal, this, &ControllerDrawing::refresh));
}

void ControllerDrawing::setShowRaw(bool showRaw) {
    if (showRaw == showRaw_) return;
    showRaw_ = showRaw;
    refresh();
}

PadCanvasFit ControllerDrawing::fit() const { return padCanvasFit(QSizeF(width(), height())); }

void ControllerDrawing::refresh() {
    PadParts parts = padParts(*device_, showRaw_);
    if (parts == parts_) return;
    parts_ = std::move(parts);
    syncElements();
    update();
}

void ControllerDrawing::syncElements() {
    const std::vector<PadPartElement> said = padPartElements(parts_);
    std::vector<std::string> keys;
    keys.reserve(said.size());
    for (const auto& element : said) keys.push_back(element.key);
    if (keys != elementKeys_) {
        // The parts themselves changed (elements, source, a light switched on): new children in
        // drawing order. Live values never get here.
        for (auto& [key, widget] : elements_) delete widget;
        elements_.clear();
        for (const auto& element : said) {
            auto* widget = new PadPartWidget(this);
            widget->setObjectName(QString::fromStdString("pad-" + element.key));
            widget->show();
            elements_[element.key] = widget;
        }
        elementKeys_ = std::move(keys);
        placeElements();
    }
    for (const auto& element : said) elements_[element.key]->say(element.accessibility);
}

void ControllerDrawing::placeElements() {
    const PadCanvasFit f = fit();
    for (const auto& element : padPartElements(parts_)) {
        const QRectF frame = element.frame;
        const QRectF placed(f.rect.left() + frame.left() * f.scale, f.rect.top() + frame.top() * f.scale,
                            frame.width() * f.scale, frame.height() * f.scale);
        elements_[element.key]->setGeometry(placed.toAlignedRect());
    }
}

int ControllerDrawing::heightForWidth(int width) const {
    return int(std::ceil(width * (PadCanvas::height + shadowRoom) / PadCanvas::width));
}

QSize ControllerDrawing::sizeHint() const { return {largestWidth, heightForWidth(largestWidth)}; }

QSize ControllerDrawing::minimumSizeHint() const { return {140, heightForWidth(140)}; }

void ControllerDrawing::paintEvent(QPaintEvent*) {
    if (warmAway()) return;
    QPainter painter(this);
    paintPad(painter, parts_, Scheme::fromPalette(palette()), images_, QSizeF(width(), height()));
}

void ControllerDrawing::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeElements();
}

void ControllerDrawing::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) update();
}

} // namespace Tessarine
