// Scenes of the assembled controller drawing: a pad with every part, posed (bumper held, trigger
// half pulled, stick pushed, d-pad up-left, a face button held, two fingers on the touchpad, a
// red light bar, three player lights); a device without any of those parts, which shows only the
// shadow and the bare shell; and the posed pad at half size.
#include "../app/drawing/PadDevices.h"

#include "Gallery.h"
#include "app/views/bench/ControllerDrawing.h"

namespace Tessarine {
namespace {

std::unique_ptr<QWidget> posed() {
    auto pad = PadDevices::fullPad();
    PadDevices::pose(*pad);
    return std::make_unique<ControllerDrawing>(pad);
}

const bool controllerDrawingScenesAdded = Gallery::add({
    {"controller-drawing-full", {560, 352}, posed},
    {"controller-drawing-bare", {560, 352}, [] { return std::make_unique<ControllerDrawing>(PadDevices::barePad()); }},
    {"controller-drawing-small", {280, 165}, posed},
});

} // namespace
} // namespace Tessarine
