#include "app/views/kit/ResultWords.h"

#include <QTextBoundaryFinder>

namespace Tessarine::ResultWords {

QString capitalized(const std::string& text) {
    const QString whole = QString::fromStdString(text);
    if (whole.isEmpty()) return whole;
    // The first grapheme: a letter with its combining marks, or a surrogate pair, stays whole.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, whole);
    const qsizetype end = graphemes.toNextBoundary();
    const qsizetype first = end > 0 ? end : 1;
    return whole.left(first).toUpper() + whole.mid(first);
}

QString plotSummary(const RorozErurEvo::TestResult& result) {
    if (result.measures.empty()) return capitalized(result.headline);
    return QString::fromStdString(result.measures.front().spoken());
}

} // namespace Tessarine::ResultWords
