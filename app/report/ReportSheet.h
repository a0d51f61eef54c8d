#pragma once
// What the parts of one report page share while it is painted: the page, its fonts and colours,
// the page geometry, and the verdict mark (symbol and word) of the badge and the table.
#include <QPainter>

#include "app/report/ReportLayout.h"
#include "app/report/ReportPage.h"

namespace Tessarine::ReportSheet {

// Page geometry in points.
constexpr double margin = 36; // white on every side
constexpr double left = margin;
constexpr double contentWidth = ReportPDF::pageWidth - 2 * margin;
constexpr double spacing = 12; // between the parts of the page

struct Sheet {
    const ReportPage& page;
    ReportLayout::Typesetter type;

    const RorozErurEvo::TestSession& session() const { return page.page.session; }
    QFont font(double points, QFont::Weight weight = QFont::Normal) const { return type.font(points, weight); }
    // A text on one line, cut with an ellipsis at `width`.
    ReportLayout::TextBlock line(const QString& text, double points, QFont::Weight weight, double width) const {
        return ReportLayout::TextBlock(type, text, font(points, weight), width, 1);
    }
};

// A verdict's symbol and word side by side in the verdict's colour.
class VerdictMark {
public:
    VerdictMark(const Sheet& sheet, RorozErurEvo::Verdict verdict, double points, QFont::Weight weight, double gap);
    double width() const { return symbolSize_ + gap_ + word_.width(); }
    double height() const { return word_.height(); }
    double ascent() const { return word_.ascent(); }
    void paint(QPainter& painter, QPointF topLeft) const;

private:
    RorozErurEvo::Verdict verdict_;
    ReportLayout::TextBlock word_;
    double symbolSize_;
    double gap_;
    double capHeight_;
};

// The results table of the page: its header with the hairline, then one block per result, so a
// page that runs out of room ends after a whole row.
std::vector<ReportLayout::Block> resultsTable(const Sheet& sheet);

} // namespace Tessarine::ReportSheet
