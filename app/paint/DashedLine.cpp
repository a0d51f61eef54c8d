#include "app/paint/DashedLine.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace Tessarine {

QPainterPath dashedLine(const QPolygonF& line, double on, double off) {
    QPainterPath path;
    if (!(on > 0) || line.size() < 2) return path;
    if (!(off > 0)) {
        path.addPolygon(line);
        return path;
    }
    const double period = on + off;
    double phase = 0;     // how far into the current dash and gap
    bool drawing = false; // a dash is open at the end of the path
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1], b = line[i];
        const double length = QLineF(a, b).length();
        if (!std::isfinite(length)) {
            drawing = false; // a point that is not a number breaks the line; the pattern runs on
            continue;
        }
        auto at = [&](double distance) { return a + (b - a) * (distance / length); };
        double done = 0;
        while (done < length) {
            const bool inDash = phase < on;
            const double step = std::min((inDash ? on : period) - phase, length - done);
            if (inDash) {
                if (!drawing) path.moveTo(at(done));
                drawing = true;
                path.lineTo(at(done + step));
            }
            done += step;
            phase += step;
            if (phase >= on) drawing = false;
            if (phase >= period) phase -= period;
        }
    }
    return path;
}

} // namespace Tessarine
