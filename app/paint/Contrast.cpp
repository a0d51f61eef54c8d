#include "app/paint/Contrast.h"

#include <algorithm>
#include <cmath>

namespace Tessarine::Contrast {

namespace {
double linearChannel(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor mixColours(const QColor& from, const QColor& to, double share) {
    auto blend = [share](double a, double b) { return a + (b - a) * share; };
    return QColor::fromRgbF(float(blend(from.redF(), to.redF())), float(blend(from.greenF(), to.greenF())),
                            float(blend(from.blueF(), to.blueF())));
}
} // namespace

double luminance(const QColor& color) {
    return 0.2126 * linearChannel(color.redF()) + 0.7152 * linearChannel(color.greenF()) +
           0.0722 * linearChannel(color.blueF());
}

double ratio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor reaching(const QColor& moving, const QColor& fixed, double minimum) {
    if (ratio(moving, fixed) >= minimum) return moving;
    const QColor black(Qt::black), white(Qt::white);
    const QColor extreme = ratio(black, fixed) >= ratio(white, fixed) ? black : white;
    // The ratio grows steadily on the way to the extreme: halve the step until the least share
    // that reaches the minimum is found to a thousandth.
    double low = 0, high = 1;
    while (high - low > 0.001) {
        const double middle = (low + high) / 2;
        (ratio(mixColours(moving, extreme, middle), fixed) >= minimum ? high : low) = middle;
    }
    return mixColours(moving, extreme, high);
}

} // namespace Tessarine::Contrast
