#include "app/views/kit/NumberText.h"

#include <QLocale>

#include <cmath>

#include "testkit/Fmt.h"

namespace Tessarine::NumberText {

double rounded(double value, int digits) {
    const double scale = std::pow(10.0, digits);
    const double scaled = value * scale;
    // Past 2^52 every double is whole already; scaling further only overflows.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 0x1p52) return value;
    return std::round(scaled) / scale;
}

QString text(double value, int digits) {
    return QString::fromStdString(RorozErurEvo::Fmt::trim(rounded(value, digits), digits));
}

double percentShown(double fraction) {
    const double tenths = fraction * 1000;
    if (!std::isfinite(tenths) || std::fabs(tenths) >= 0x1p52) return fraction * 100;
    return std::round(tenths) / 10;
}

double percentStored(double typed) { return typed / 100; }

std::optional<double> parse(const QString& text) {
    const QString trimmed = text.trimmed();
    // Group separators are refused: "1,500" must not read as fifteen hundred where the comma is
    // the decimal separator, nor "1.500" where it is the point.
    for (QLocale locale : {QLocale::c(), QLocale()}) {
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double value = locale.toDouble(trimmed, &ok);
        if (ok) {
            if (!std::isfinite(value)) return std::nullopt;
            return value;
        }
    }
    return std::nullopt;
}

} // namespace Tessarine::NumberText
