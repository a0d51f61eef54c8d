#include "app/report/ReportPDF.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>

#include "app/report/ReportPage.h"

namespace Tessarine::ReportPDF {

using RorozErurEvo::TestResult;
using RorozErurEvo::TestSession;

namespace {

// A logo is drawn at most 96 × 48 points; kept at four times that many pixels it still prints
// sharply at 300 dpi, and a camera-sized picture does not swell every report.
constexpr int logoMaxWidth = 4 * 96;
constexpr int logoMaxHeight = 4 * 48;

// One picture object for every page: the PDF writer embeds an image once per picture, so a logo
// on ten pages is stored once.
std::optional<Branding> prepared(const std::optional<Branding>& branding) {
    if (!branding || branding->logo.isNull()) return branding;
    Branding result = *branding;
    if (result.logo.width() > logoMaxWidth || result.logo.height() > logoMaxHeight)
        result.logo = result.logo.scaled(logoMaxWidth, logoMaxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return result;
}

void checkNotEmpty(const std::vector<TestSession>& sessions) {
    if (sessions.empty()) throw Error("There are no sessions to put in the report.");
}

// Paints every page, calling `nextPage` between pages and `place` to set up each page's
// coordinates.
template <typename NextPage, typename Place>
void paintPages(QPainter& painter, const std::vector<TestSession>& sessions, const std::optional<Branding>& branding,
                const QString& version, NextPage nextPage, Place place) {
    const std::optional<Branding> shared = prepared(branding);
    const std::vector<Page> all = pages(sessions);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i > 0) nextPage();
        painter.save();
        place();
        paintReportPage(painter, ReportPage{all[i], shared, version});
        painter.restore();
    }
}

} // namespace

std::vector<Page> pagesFor(const TestSession& session) {
    std::vector<TestResult> results = session.sortedResults();
    const std::size_t n = results.size();
    const std::size_t span = std::max<std::size_t>(n, 1);
    const int of = static_cast<int>((span + resultsPerPage - 1) / resultsPerPage);
    std::vector<Page> result;
    result.reserve(of);
    int number = 1;
    for (std::size_t start = 0; start < span; start += resultsPerPage, ++number) {
        auto first = results.begin() + static_cast<std::ptrdiff_t>(start);
        auto last = results.begin() + static_cast<std::ptrdiff_t>(std::min(start + resultsPerPage, n));
        result.push_back(Page{session, std::vector<TestResult>(first, last), number, of});
    }
    return result;
}

std::vector<Page> pages(const std::vector<TestSession>& sessions) {
    std::vector<Page> result;
    for (const TestSession& session : sessions) {
        std::vector<Page> own = pagesFor(session);
        std::move(own.begin(), own.end(), std::back_inserter(result));
    }
    return result;
}

QByteArray render(const std::vector<TestSession>& sessions, const std::optional<Branding>& branding,
                  const QString& version) {
    checkNotEmpty(sessions);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(documentTitle);
        writer.setCreator(documentCreator);
        // One unit is one point and the page's origin is its top-left corner: 612 × 792.
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer)) throw Error("The PDF document could not be started.");
        paintPages(painter, sessions, branding, version, [&] { writer.newPage(); }, [] {});
        if (!painter.end()) throw Error("The PDF document could not be finished.");
    }
    return bytes;
}

void printTo(QPrinter& printer, const std::vector<TestSession>& sessions, const std::optional<Branding>& branding,
             const QString& version) {
    checkNotEmpty(sessions);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(), QPageLayout::Point);
    printer.setDocName(documentTitle);
    printer.setCreator(documentCreator);
    QPainter painter;
    if (!painter.begin(&printer)) throw Error("The printer could not be started.");

    // The whole paper in device pixels; a landscape sheet takes the page turned a quarter.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const bool landscape = paper.width() > paper.height();
    const double across = landscape ? pageHeight : pageWidth;
    const double down = landscape ? pageWidth : pageHeight;
    const double scale = std::min(paper.width() / across, paper.height() / down);
    auto place = [&] {
        painter.translate(paper.center());
        if (landscape) painter.rotate(-90);
        painter.scale(scale, scale);
        painter.translate(-pageWidth / 2, -pageHeight / 2);
    };
    paintPages(painter, sessions, branding, version, [&] { printer.newPage(); }, place);
    if (!painter.end()) throw Error("The printer could not finish the report.");
}

} // namespace Tessarine::ReportPDF
