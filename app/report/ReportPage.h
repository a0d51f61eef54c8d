#pragma once
// One page of the PDF report: a US Letter sheet in page points (612 × 792, origin top-left) that
// names the unit and the device, gives the session's verdict, lists the page's results with their
// measures and limits, shows their stick plots, soak timelines and the notes, and ends in the
// footer with the scope note and the page number.
#include <QColor>
#include <QLocale>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

#include "app/report/ReportPDF.h"

class QPaintDevice;
class QPainter;

namespace Tessarine {

// The widths of the results table's columns, in points. They come from every result of the
// session, so the columns stand in the same place on every page; a report works them out once a
// session rather than once a page.
struct ReportColumns {
    double test = 0, result = 0, measured = 0, limit = 0;
};

struct ReportPage {
    const ReportPDF::Page& page;
    const std::optional<ReportPDF::Branding>& branding;
    const AppInfo& app;                  // the version and scope note in the footer
    QColor ink = Qt::black;              // ordinary text
    QColor soft = QColor::fromRgbF(0.4f, 0.4f, 0.4f); // secondary text
    std::optional<ReportColumns> columns{}; // worked out from the session when absent
};

// The table's columns for the session of `page`, measured on `device`.
ReportColumns reportColumns(const ReportPage& page, QPaintDevice* device);

// Paints the page into the painter's current coordinates, in the light scheme. The footer always
// lands whole at the bottom; content that would run into it is cut and ends in an ellipsis;
// nothing is drawn outside the page.
void paintReportPage(QPainter& painter, const ReportPage& page);

namespace ReportText {
// The unit grid's rows that have a value: Unit, Stage, Ticket, Technician, Limits.
std::vector<std::pair<QString, QString>> unitRows(const RorozErurEvo::TestSession& session);
// The device grid's rows that have a value, in the device's order.
std::vector<std::pair<QString, QString>> deviceRows(const RorozErurEvo::TestSession& session);
// The label and the value in its unit of the measure that decided the verdict
// (TestResult::decidingMeasure); both empty without measures.
std::pair<QString, QString> measuredParts(const RorozErurEvo::TestResult& result);
// "<label>: <value in its unit>" of the deciding measure; empty without measures.
QString measured(const RorozErurEvo::TestResult& result);
// The deciding measure's limit text; empty without measures or a limit.
QString limit(const RorozErurEvo::TestResult& result);
// "<element>: <error %> circularity" under a stick plot; the percentage is empty without an
// "error" measure. A verdict decided by other measures is told by them instead ("Left stick:
// 31.9% of directions short of the edge"), and a run ended early says so: "… (ended early)".
QString plotCaption(const RorozErurEvo::TestResult& result);
// The disclaimer at the foot of every page, after the scope note.
QString disclaimer(const QString& scopeNote);
// The session's date and time: the locale's long date and short time.
QString dateText(RorozErurEvo::Date date);
// The session's date and time in lists, menus and messages: the locale's date with the month's
// short name and no weekday, and its short time.
QString shortDateText(RorozErurEvo::Date date);
// The same texts for many dates in a row (a search over thousands of sessions): the locale's
// pattern is worked out once.
class ShortDates {
public:
    ShortDates();
    QString text(RorozErurEvo::Date date) const;

private:
    QLocale locale_;
    QString format_;
};
// "Page n of m" when the session's report has two pages or more, else empty.
QString pageLine(const ReportPDF::Page& page);
// Under notes cut to fit their page.
QString notesCutLine();
} // namespace ReportText

} // namespace Tessarine
