#pragma once
// What one part of the controller drawing tells assistive technology: the label and value of a
// single element whose painted children are not read out, or nothing at all.
#include <QString>

namespace Tessarine {

struct PartAccessibility {
    QString label;
    QString value;
    bool hidden = false; // not an accessibility element (a part without anything to say)

    friend bool operator==(const PartAccessibility&, const PartAccessibility&) = default;
};

} // namespace Tessarine
