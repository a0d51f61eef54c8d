#pragma once
// The PDF report of saved sessions: the pages of each session, the PDF document of all of them,
// and the same pages painted onto any device.
//
// Callers: the model saves a report through its ReportRenderer (ReportService in the views
// installs one that renders with this, and prints by painting the pages onto the printer); the
// command-line tool renders files it was given.
#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/report/ReportInput.h"
#include "testkit/TestResult.h"
#include "testkit/TestSession.h"

class QIODevice;
class QPaintDevice;
class QPainter;
class QPdfWriter;

namespace Tessarine::ReportPDF {

using Branding = ReportBranding;

// What a row of a before-and-after report shows of its result: the measure the comparison judged
// that test by, named `label`; `measure` is absent where this session lacks it.
struct Compared {
    std::string label;
    std::optional<RorozErurEvo::Measure> measure;

    friend bool operator==(const Compared&, const Compared&) = default;
};
using ComparedRows = std::map<std::string, Compared>; // by TestResult::key

// The rows of the two sessions of a before-and-after report, before's first; empty for any other
// report. Keyed by the results as the report shows them (DisplayText::shown).
std::vector<ComparedRows> comparedRows(const ReportInput& input);

// One page of one session's report. A page refers to its session and results rather than
// holding copies, so a long report costs a few pointers a page: the session must outlive it.
struct Page {
    const RorozErurEvo::TestSession* session = nullptr; // the header, grids and notes come from it
    std::vector<const RorozErurEvo::TestResult*> results{}; // rows of the results table, in report order
    std::vector<const RorozErurEvo::TestResult*> plotted{}; // results whose stick plots it shows, four a row
    std::vector<const RorozErurEvo::TestResult*> soaked{};  // results whose soak timelines this page shows
    bool notes = false; // the session's notes end this page
    bool table = true;  // false on a page that only carries on with plots, timelines or notes
    int number = 1;     // page of this session's report, from 1
    int of = 1;         // pages of this session's report
    // In a before-and-after report, the measure each row reads (else the one that decided it).
    const ComparedRows* compared = nullptr;

    friend bool operator==(const Page&, const Page&) = default;
};

constexpr int resultsPerPage = 18;
// Stick plots a row holds; of every eighteen rows of the table, the first four results with a
// plot show it.
constexpr int plotsPerRow = 4;
// US Letter, portrait, in points (1/72 inch).
constexpr double pageWidth = 612;
constexpr double pageHeight = 792;

inline const QString documentTitle = QStringLiteral("Tessarine report");
inline const QString documentCreator = QStringLiteral("Tessarine");

// Why a report could not be made, worded for the user.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One session's pages. Its report-ordered results go in chunks of 18, each starting a page (a
// session without results still has one), so the table reads in one run. The figures of its
// rows follow its last row: the stick plots (of every chunk's first four plotted results) in
// rows of four, then the soak timelines; on the table's last page while they fit, over pages of
// their own after that. The notes end the last page, or take one of their own when too little
// room is left. How much fits is measured with the branding,
// version and scope note the pages will carry, on `device` (a 72 dpi page when none is given).
std::vector<Page> pagesFor(const RorozErurEvo::TestSession& session, const std::optional<Branding>& branding = {},
                           const AppInfo& app = {}, QPaintDevice* device = nullptr,
                           const ComparedRows* compared = nullptr);
// Every session's pages, session after session; numbering starts again for every session.
std::vector<Page> pages(const ReportInput& input);

// Sets `writer` to the report's pages: letter, upright, no margins, and one unit a point, so that
// a page is 612 × 792 with its origin at the top-left corner.
void setPages(QPdfWriter& writer);

// The PDF document of every page of the sessions, in the light scheme whatever the desktop's.
// Throws Error for an empty list (a report of nothing is a mistake, not an empty file) and when
// the document cannot be made. Pages are laid out and drawn one at a time, so the memory it takes
// beside the document itself does not grow with the number of pages.
QByteArray render(const ReportInput& input);
// The same document written to `out` as it is made, for a caller that does not keep it whole.
void render(QIODevice& out, const ReportInput& input);

// Throws Error when there are no sessions: a report of nothing is a mistake, and a device that
// would receive it should not be started.
void checkNotEmpty(const ReportInput& input);

// Paints every page of the sessions, in the light scheme, with `painter` already begun on its
// device: `place` sets up each page's coordinates (612 × 792 points from the top-left corner;
// nothing to do on a 72 dpi page) and `nextPage` starts a new sheet between pages. Throws Error
// for an empty list.
void paintPages(QPainter& painter, const ReportInput& input, const std::function<void()>& nextPage,
                const std::function<void()>& place = {});

} // namespace Tessarine::ReportPDF
