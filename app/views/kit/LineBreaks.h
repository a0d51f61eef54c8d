#pragma once
// Greedy line filling for texts that are drawn by hand: pieces (words, or the parts of a detail
// line) go on a line, joined, while they fit; a line breaks only between pieces, and the joiner
// is dropped where it does. A piece wider than a whole line is broken between its characters, so
// nothing is ever cut off.
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

namespace Tessarine::LineBreaks {

// The lines of `pieces` joined by `joiner` in `width` pixels; one empty line for no pieces.
QStringList fill(const QStringList& pieces, const QString& joiner, const QFontMetricsF& metrics, double width);

} // namespace Tessarine::LineBreaks
