#pragma once
// Pieces several cards build the same way: the determinate progress bar of a running test and
// the wrapping secondary text of instructions and captions.
#include <QFont>
#include <QString>

class QLabel;
class QProgressBar;

namespace Tessarine::CardParts {

// A progress bar of 0 … 1 without a percentage, read as "Progress".
QProgressBar* progressBar();
// Shows `fraction` of the way done; out-of-range values are clamped, a NaN shows none.
void setProgress(QProgressBar* bar, double fraction);
// Wrapping text in the secondary colour, which follows the palette.
QLabel* secondaryText(const QString& text, const QFont& font);

} // namespace Tessarine::CardParts
