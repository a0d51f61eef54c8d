#pragma once
// The PDF report of saved sessions: the pages of each session, the PDF document of all of them,
// and the same pages painted onto a printer.
//
// Callers: the model saves a report through its ReportRenderer (ReportService in the views
// installs one that renders with this); the print panel of the views calls printTo; the
// command-line tool renders files it was given.
#include <QByteArray>
#include <QString>

#include <optional>
#include <stdexcept>
#include <vector>

#include "app/model/ReportRenderer.h"
#include "testkit/TestResult.h"
#include "testkit/TestSession.h"

class QPrinter;

namespace Tessarine::ReportPDF {

using Branding = ReportBranding;

// One page of one session's report.
struct Page {
    RorozErurEvo::TestSession session;          // the header, grids and notes of every page come from it
    std::vector<RorozErurEvo::TestResult> results; // the results on this page, in report order
    int number = 1;                             // page of this session's report, from 1
    int of = 1;                                 // pages of this session's report

    friend bool operator==(const Page&, const Page&) = default;
};

constexpr int resultsPerPage = 18;
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

// One session's pages: its report-ordered results in chunks of 18; a session without results
// still has one page.
std::vector<Page> pagesFor(const RorozErurEvo::TestSession& session);
// Every session's pages, session after session; numbering starts again for every session.
std::vector<Page> pages(const std::vector<RorozErurEvo::TestSession>& sessions);

// The PDF document of every page of the sessions, in the light scheme whatever the desktop's.
// Throws Error for an empty list (a report of nothing is a mistake, not an empty file) and when
// the document cannot be made.
QByteArray render(const std::vector<RorozErurEvo::TestSession>& sessions, const std::optional<Branding>& branding,
                  const QString& version);

// Paints the same pages onto a printer: each page scaled to fit the paper whole, centred, and
// turned a quarter for landscape paper. Zero margins. Throws Error as render does, and when
// the printer cannot be started.
void printTo(QPrinter& printer, const std::vector<RorozErurEvo::TestSession>& sessions,
             const std::optional<Branding>& branding, const QString& version);

} // namespace Tessarine::ReportPDF
