#pragma once
// What the parts of one report page share while it is laid out and painted: the page, its fonts
// and colours, the page geometry, the verdict mark (symbol and word) of the badge and the table,
// and the page's parts as blocks, which both the painting and the pagination measure.
#include <QPainter>

#include "app/report/ReportLayout.h"
#include "app/report/ReportPage.h"

namespace Tessarine::ReportSheet {

// Page geometry in points.
constexpr double margin = 36; // white on every side
constexpr double left = margin;
constexpr double contentWidth = ReportPDF::pageWidth - 2 * margin;
constexpr double spacing = 12; // between the parts of the page
// The sheet's background; the plots drawn on it rely on it being plain and opaque.
inline const QColor paper{Qt::white};

struct Sheet {
    const ReportPage& page;
    ReportLayout::Typesetter type;

    const RorozErurEvo::TestSession& session() const { return *page.page.session; }
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

// The table's columns for the sheet's session.
ReportColumns columns(const Sheet& sheet);
// The results table of the page: its header with the hairline, then one block per result, so a
// page that runs out of room ends after a whole row.
std::vector<ReportLayout::Block> resultsTable(const Sheet& sheet);

// Everything on a page above the footer, top down.
struct Parts {
    std::vector<ReportLayout::Block> top;     // header, rule, grids, "Results, continued", the table
    std::vector<ReportLayout::Block> figures; // the row of stick plots, then each soak timeline
    std::optional<ReportLayout::Block> notes; // shortened to the room left when need be
    ReportLayout::Block more;                 // the ellipsis drawn when something had to be cut
};
Parts parts(const Sheet& sheet);

// The rule over the footer and the footer, pinned to the bottom of the page.
struct Footer {
    double height = 0; // from the top of the rule to the bottom margin
    ReportLayout::Block::Paint paint; // given the top of the rule
};
Footer footer(const Sheet& sheet);
// How far down the content above a footer of that height may reach.
inline double floorAbove(const Footer& footer) { return ReportPDF::pageHeight - margin - footer.height - spacing; }

} // namespace Tessarine::ReportSheet
