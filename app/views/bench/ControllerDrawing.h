#pragma once
// The drawn controller of the live panel: one generic pad on a 560 × 330 canvas, scaled to fit,
// showing only the parts the device has, each following its live state. It keeps no state of
// its own beyond the images of its shadow and shell; every refresh reads the device afresh.
//
// Assistive technology reads it as a container "Controller" whose children are its parts: each
// trigger, bumper, stick, button, the d-pad, the touchpad and the lights, with their values.
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/drawing/PadImages.h"
#include "app/drawing/PadParts.h"

namespace Tessarine {

class InputDevice;
class PadPartWidget;

class ControllerDrawing : public QWidget {
    Q_OBJECT

public:
    explicit ControllerDrawing(std::shared_ptr<InputDevice> device, QWidget* parent = nullptr);
    ~ControllerDrawing() override;

    bool showRaw() const { return showRaw_; }
    void setShowRaw(bool showRaw);

    // What is drawn now, and the kept images (their build counts show when they were repainted).
    const PadParts& parts() const { return parts_; }
    const PadImages& images() const { return images_; }
    // The canvas's place and scale within the widget.
    PadCanvasFit fit() const;

    // Reads the device again and repaints; called on every change of what it shows.
    void refresh();

    // When on, a drawing's first images are painted on a thread of their own, and the drawing
    // shows nothing until they are there (a frame or two): a window that opens on the drawing
    // paints and answers its first frames without waiting for them. Images painted again later
    // (another size or scheme) are painted in place. Off unless the application turns it on.
    static void setFirstImagesAway(bool away);
    // True while the first images are being painted away.
    bool warming() const { return warming_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void follow();
    void syncElements();
    void placeElements();
    // Starts painting the first images away; false when they are to be painted in place.
    bool warmAway();
    void warmed(std::shared_ptr<PadImages> images, PadShell shell, bool dark, double scale, double pixelRatio);

    std::shared_ptr<InputDevice> device_;
    std::shared_ptr<InputDevice> source_;
    bool showRaw_ = false;
    PadParts parts_;
    PadImages images_;
    std::vector<QMetaObject::Connection> sourceLinks_;
    std::vector<std::string> elementKeys_;
    std::map<std::string, PadPartWidget*> elements_;
    bool warmTried_ = false;
    bool warming_ = false;
    std::thread warmer_;
};

} // namespace Tessarine
