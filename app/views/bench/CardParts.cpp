#include "app/views/bench/CardParts.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace Tessarine::CardParts {

namespace {
constexpr int progressSteps = 1000; // resolution of the bar
} // namespace

QProgressBar* progressBar() {
    auto* bar = new QProgressBar;
    bar->setRange(0, progressSteps);
    bar->setTextVisible(false);
    bar->setAccessibleName(QStringLiteral("Progress"));
    return bar;
}

void setProgress(QProgressBar* bar, double fraction) {
    const double done = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    bar->setValue(int(std::lround(done * progressSteps)));
}

QLabel* secondaryText(const QString& text, const QFont& font) {
    auto* label = new QLabel(text);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setWordWrap(true);
    return label;
}

} // namespace Tessarine::CardParts
