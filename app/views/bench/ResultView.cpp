#include "app/views/bench/ResultView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/paint/Theme.h"
#include "app/views/bench/CardText.h"
#include "app/views/kit/ResultWords.h"
#include "app/views/kit/DisclosureBox.h"
#include "app/views/kit/MeasureRow.h"
#include "app/views/kit/Relayout.h"
#include "app/views/kit/SoakStripView.h"
#include "app/views/kit/StickPlotView.h"

namespace Tessarine {

namespace {
constexpr int spacing = 6;     // pixels between the parts
constexpr int lineSpacing = 3; // pixels between detail lines and between measure rows
constexpr int plotGap = 10;    // pixels between the measures and the plot
constexpr int plotSide = 110;  // pixels
constexpr double stripFontSize = 11; // pixels
} // namespace

ResultView::ResultView(QWidget* parent) : QWidget(parent), headline_(new QLabel), stack_(new QVBoxLayout(this)) {
    QFont font = Fonts::callout();
    font.setWeight(QFont::DemiBold);
    headline_->setFont(font);
    headline_->setWordWrap(true);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->setSpacing(spacing);
    stack_->addWidget(headline_);
}

void ResultView::setResult(const RorozErurEvo::TestResult& result) {
    if (result_ == result) return;
    result_ = result;
    rebuild();
}

void ResultView::setShowDetails(bool open) {
    showDetails_ = open;
    if (details_ && details_->isExpanded() != open) {
        details_->setExpanded(open);
        relayoutUpward(details_);
    }
}

void ResultView::rebuild() {
    const auto& result = *result_;
    headline_->setText(ResultWords::capitalized(result.headline));
    headline_->setObjectName(CardText::headlineName(result.kind));
    setAccessibleName(QString::fromStdString(result.spoken()));

    // Everything under the headline belongs to one result: built anew when the result changes.
    if (parts_) {
        parts_->hide();
        parts_->deleteLater();
    }
    details_ = nullptr;
    parts_ = new QWidget;
    auto* parts = new QVBoxLayout(parts_);
    parts->setContentsMargins(0, 0, 0, 0);
    parts->setSpacing(spacing);

    auto* measuresAndPlot = new QHBoxLayout;
    measuresAndPlot->setSpacing(plotGap);
    measures_ = new QVBoxLayout;
    measures_->setSpacing(lineSpacing);
    for (const auto& measure : result.measures) {
        auto* row = new MeasureRow(measure);
        row->setObjectName(QStringLiteral("measure-") + QString::fromStdString(measure.id));
        measures_->addWidget(row);
    }
    // Rows as tall as their lines, packed at the top however tall the plot beside them is.
    measures_->addStretch(1);
    measuresAndPlot->addLayout(measures_, 1);
    if (result.plot) {
        auto* plot = new StickPlotView;
        plot->setObjectName(QStringLiteral("result-plot"));
        plot->setFixedSize(plotSide, plotSide);
        plot->setGate(result.plot->gate, result.plot->scale);
        plot->setPlot(result.plot);
        plot->setLabel(QStringLiteral("Circularity plot"));
        plot->setSummary(ResultWords::plotSummary(result));
        measuresAndPlot->addWidget(plot, 0, Qt::AlignTop);
    }
    parts->addLayout(measuresAndPlot);

    if (!result.details.empty()) {
        details_ = new DisclosureBox(QStringLiteral("Details"));
        details_->setObjectName(QStringLiteral("result-details"));
        details_->setFont(Fonts::caption());
        details_->bodyLayout()->setSpacing(lineSpacing);
        for (const auto& line : result.details) {
            auto* text = new QLabel(QString::fromStdString(line));
            text->setFont(Fonts::caption());
            text->setWordWrap(true);
            details_->addWidget(text);
        }
        details_->setExpanded(showDetails_);
        connect(details_, &DisclosureBox::toggled, this, [this](bool open) {
            showDetails_ = open;
            emit showDetailsToggled(open);
        });
        parts->addWidget(details_);
    }
    if (result.timeline) {
        auto* strip = new SoakStripView;
        strip->setObjectName(QStringLiteral("result-strip"));
        strip->setStrip(*result.timeline, 1.0);
        strip->setLegend(true);
        strip->setFontSize(stripFontSize);
        parts->addWidget(strip);
    }
    stack_->addWidget(parts_);
    relayoutUpward(parts_);
}

} // namespace Tessarine
