#pragma once
// The shoulder buttons (bumpers) and analogue triggers of the drawn controller. Both are bands
// cut from the shell's shoulder curve and painted in canvas coordinates behind the shell, which
// covers whatever part of them lies inside the outline.
#include "app/paint/Scheme.h"
#include "app/drawing/PartAccessibility.h"

#include <QPainterPath>
#include <QString>
#include <QTransform>

#include <optional>
#include <string>

class QPainter;

namespace Tessarine {

struct PadBumper {
    bool left = true; // the left bumper; false for the right one
    std::string name; // display name of the element
    bool pressed = false;

    friend bool operator==(const PadBumper&, const PadBumper&) = default;
};

struct PadTrigger {
    bool left = true;
    std::string name;
    double value = 0;             // travel, nominally 0 (released) … 1 (fully pulled)
    std::optional<long long> raw; // the device's raw count, when it reports one
    bool showRaw = false;         // read the raw count instead of a percentage

    friend bool operator==(const PadTrigger&, const PadTrigger&) = default;
};

// The bands in canvas coordinates; the right ones are the left ones' mirror images.
const QPainterPath& bumperBand(bool left);
const QPainterPath& triggerBand(bool left);
// Works the bands out ahead, on any thread, so that the first to lay out or draw a pad does not.
void workOutShoulderBands();

// Shift of a bumper while it is held, in points down.
double bumperDrop(bool pressed);

// How far the trigger is drawn pulled: its value limited to 0…1 (a value that is not a number
// draws released). The texts keep the unlimited value.
double triggerFill(double value);
// The tilt and drop of a trigger pulled by `fill`, in canvas coordinates: up to 6 degrees about
// the band's lower inner corner, so the outer end dips, then up to 8 points down.
QTransform triggerTransform(bool left, double fill);
// The reading: the raw count when shown and present, else the percentage with one decimal.
QString triggerReading(const PadTrigger& trigger);
// "<name>  <reading>", centred above the trigger at triggerCaptionCentre.
QString triggerCaption(const PadTrigger& trigger);
QPointF triggerCaptionCentre(bool left);

// Painting in canvas coordinates. The scheme tells dark from light; the trigger's caption takes
// its secondary text colour.
void paintPadBumper(QPainter& painter, const PadBumper& bumper, const Scheme& scheme);
void paintPadTrigger(QPainter& painter, const PadTrigger& trigger, const Scheme& scheme);
// Its two pieces: the caption, which changes with the reading, and the tilted band.
void paintPadTriggerCaption(QPainter& painter, const PadTrigger& trigger, const Scheme& scheme);
void paintPadTriggerBand(QPainter& painter, const PadTrigger& trigger, const Scheme& scheme);

// Label the name; value "pressed" while held. A trigger's value reads "raw <count>" or the
// percentage.
PartAccessibility accessibility(const PadBumper& bumper);
PartAccessibility accessibility(const PadTrigger& trigger);

} // namespace Tessarine
