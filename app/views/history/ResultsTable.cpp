#include "app/views/history/ResultsTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/paint/Theme.h"
#include "app/report/ReportPage.h"
#include "app/views/kit/ResultWords.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/ElidedLabel.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/kit/SoakStripView.h"
#include "app/views/kit/StickPlotView.h"
#include "app/views/kit/ViewParts.h"
#include "app/views/kit/VerdictLabel.h"
#include "testkit/DisplayText.h"
#include "testkit/ShownSession.h"

namespace Tessarine {

using RorozErurEvo::TestResult;

namespace {

constexpr int verdictColumn = 74;   // pixels: the compact verdicts line up in one column
constexpr double resultStripFontSize = 10; // pixels
constexpr int measureNameWidth = 180;      // pixels: a longer name ends in "…"

QLabel* text(const QString& value, QFont font) {
    auto* label = new QLabel(value);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

QWidget* resultRow(const TestResult& result) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("result-row"));
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);

    auto* verdict = new VerdictLabel(result.verdict, true);
    verdict->setMinimumWidth(verdictColumn);
    verdict->setMaximumWidth(verdictColumn);
    line->addWidget(verdict, 0, Qt::AlignTop | Qt::AlignLeft);

    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    QFont titleFont = Fonts::callout();
    titleFont.setWeight(QFont::Medium);
    // The element is cut already; the test's name after it is always shown.
    auto* title = text(QString::fromStdString(RorozErurEvo::DisplayText::breakable(result.title())), titleFont);
    title->setWordWrap(true);
    title->setObjectName(QStringLiteral("result-title"));
    names->addWidget(title);
    // The headline is cut already, to the room every headline of the application's fits in.
    auto* headline = ViewParts::secondaryLabel(
        QString::fromStdString(RorozErurEvo::DisplayText::breakable(result.headline)), Fonts::callout());
    headline->setTextFormat(Qt::PlainText); // a saved file's text is never markup
    headline->setObjectName(QStringLiteral("result-headline"));
    names->addWidget(headline);
    names->addStretch(1);
    line->addLayout(names, 1);

    if (result.decidingMeasure()) {
        auto* measure = new QVBoxLayout;
        measure->setSpacing(2);
        auto* value = text(HistoryTexts::measureValue(result), Fonts::callout());
        value->setObjectName(QStringLiteral("result-value"));
        value->setAlignment(Qt::AlignRight);
        measure->addWidget(value, 0, Qt::AlignRight);
        // What the number is, as the cards name it; a long name ends in "…", the number never does.
        auto* name = new ElidedLabel;
        name->setText(HistoryTexts::measureName(result));
        name->setFont(Fonts::caption());
        name->setForegroundRole(QPalette::PlaceholderText);
        name->setObjectName(QStringLiteral("result-measure"));
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        name->setMaximumWidth(measureNameWidth);
        measure->addWidget(name, 0, Qt::AlignRight);
        const QString limitText = ReportText::limit(result);
        if (!limitText.isEmpty()) {
            auto* limit = ViewParts::secondaryLabel(limitText, Fonts::caption());
            limit->setObjectName(QStringLiteral("result-limit"));
            limit->setWordWrap(false);
            limit->setAlignment(Qt::AlignRight);
            measure->addWidget(limit, 0, Qt::AlignRight);
        }
        measure->addStretch(1);
        line->addLayout(measure);
    }
    if (result.plot) {
        const QString element =
            QString::fromStdString(RorozErurEvo::withSourceMark(result.element, result.source));
        line->addWidget(ResultsTable::plotPicture(result, element + QStringLiteral(" circularity plot"),
                                                  ResultsTable::plotSide),
                        0, Qt::AlignTop);
    }

    // One element for assistive technology: the whole result in a sentence.
    row->setAccessibleName(QString::fromStdString(result.spoken()));
    return row;
}

} // namespace

ResultsTable::ResultsTable(const std::vector<TestResult>& results, QWidget* parent)
    : QGroupBox(QStringLiteral("Results"), parent) {
    setObjectName(QStringLiteral("results-table"));
    auto* stack = new QVBoxLayout(this);
    stack->setSpacing(8);
    for (const auto& saved : results) {
        // A saved file may hold megabytes in an element name or a headline.
        const TestResult result = RorozErurEvo::DisplayText::shown(saved);
        stack->addWidget(resultRow(result));
        if (result.timeline) {
            auto* strip = new SoakStripView;
            strip->setObjectName(QStringLiteral("result-timeline"));
            strip->setStrip(*result.timeline, 1.0);
            strip->setLegend(true);
            strip->setFontSize(resultStripFontSize);
            stack->addWidget(strip);
        }
        stack->addWidget(new Divider(Qt::Horizontal));
    }
}

StickPlotView* ResultsTable::plotPicture(const TestResult& result, const QString& label, int side) {
    const RorozErurEvo::StickPlot& plot = *result.plot;
    auto* view = new StickPlotView;
    view->setObjectName(QStringLiteral("result-plot"));
    view->setGate(plot.gate, plot.scale);
    view->setPlot(plot);
    view->setLabel(label);
    // A saved outline has no live reading to tell: it tells the result, cut as the history cuts
    // every text of a saved file.
    view->setSummary(ResultWords::plotSummary(RorozErurEvo::DisplayText::shown(result)));
    view->setFixedSize(side, side);
    return view;
}

} // namespace Tessarine
