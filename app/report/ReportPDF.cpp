#include "app/report/ReportPDF.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <iterator>

#include "app/report/ReportPage.h"
#include "testkit/SessionComparison.h"
#include "testkit/ShownSession.h"

namespace Tessarine::ReportPDF {

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

} // namespace

void checkNotEmpty(const ReportInput& input) {
    if (input.sessions.empty()) throw Error("There are no sessions to put in the report.");
}

// One session's pages are worked out at a time, and each page is laid out as it is painted and
// let go before the next.
void paintPages(QPainter& painter, const ReportInput& input, const std::function<void()>& nextPage,
                const std::function<void()>& place) {
    checkNotEmpty(input);
    const std::optional<Branding> shared = prepared(input.branding);
    const std::vector<ComparedRows> compared = comparedRows(input);
    bool first = true;
    for (std::size_t index = 0; index < input.sessions.size(); ++index) {
        // A field of megabytes would be laid out whole to be cut at the column's edge.
        const TestSession session = RorozErurEvo::DisplayText::shown(input.sessions[index]);
        const ComparedRows* rows = index < compared.size() ? &compared[index] : nullptr;
        const ReportColumns columns = reportColumns(
            ReportPage{.page = Page{.session = &session, .compared = rows}, .branding = shared, .app = input.app},
            painter.device());
        for (const Page& page : pagesFor(session, shared, input.app, painter.device(), rows)) {
            if (!first) nextPage();
            first = false;
            painter.save();
            if (place) place();
            ReportPage sheet{.page = page, .branding = shared, .app = input.app};
            sheet.columns = columns;
            paintReportPage(painter, sheet);
            painter.restore();
        }
    }
}

std::vector<ComparedRows> comparedRows(const ReportInput& input) {
    if (!input.beforeAndAfter || input.sessions.size() != 2) return {};
    using RorozErurEvo::DisplayText::shown;
    const RorozErurEvo::SessionComparison comparison(shown(input.sessions[0]), shown(input.sessions[1]));
    std::vector<ComparedRows> rows(2);
    for (const auto& row : comparison.rows) {
        const auto reading = row.reading();
        if (!reading) continue;
        if (row.before) rows[0].emplace(row.key, Compared{reading->label, reading->before});
        if (row.after) rows[1].emplace(row.key, Compared{reading->label, reading->after});
    }
    return rows;
}

std::vector<Page> pages(const ReportInput& input) {
    std::vector<Page> result;
    for (const TestSession& session : input.sessions) {
        std::vector<Page> own = pagesFor(session, input.branding, input.app);
        std::move(own.begin(), own.end(), std::back_inserter(result));
    }
    return result;
}

void setPages(QPdfWriter& writer) {
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
}

void render(QIODevice& out, const ReportInput& input) {
    checkNotEmpty(input);
    QPdfWriter writer(&out);
    writer.setTitle(documentTitle);
    writer.setCreator(documentCreator);
    setPages(writer);
    QPainter painter;
    if (!painter.begin(&writer)) throw Error("The PDF document could not be started.");
    paintPages(painter, input, [&] { writer.newPage(); });
    if (!painter.end()) throw Error("The PDF document could not be finished.");
}

QByteArray render(const ReportInput& input) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    render(buffer, input);
    return bytes;
}

} // namespace Tessarine::ReportPDF
