#include "app/views/kit/LineBreaks.h"

namespace Tessarine::LineBreaks {

namespace {
// `piece` in lines of at most `width` pixels, broken between characters (at least one a line).
QStringList broken(const QString& piece, const QFontMetricsF& metrics, double width) {
    QStringList lines;
    QString line;
    for (const QChar c : piece) {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + c) > width) {
            lines << line;
            line.clear();
        }
        line += c;
    }
    lines << line;
    return lines;
}
} // namespace

QStringList fill(const QStringList& pieces, const QString& joiner, const QFontMetricsF& metrics, double width) {
    QStringList lines;
    QString line;
    for (const QString& piece : pieces) {
        if (!line.isEmpty()) {
            const QString longer = line + joiner + piece;
            if (metrics.horizontalAdvance(longer) <= width) {
                line = longer;
                continue;
            }
            lines << line;
        }
        QStringList parts = broken(piece, metrics, width);
        line = parts.takeLast();
        lines << parts;
    }
    if (!line.isEmpty() || lines.isEmpty()) lines << line;
    return lines;
}

} // namespace Tessarine::LineBreaks
