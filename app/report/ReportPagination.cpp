// Cutting one session's report into pages. The results go eighteen to a page, fewer when their
// rows (a headline of several lines) would pass the footer, and the table is never broken by
// anything else: a reader follows its rows from page to page. What follows the table (the stick
// plots and soak timelines of its rows) and the notes at the end are placed by measuring them,
// so nothing is dropped for want of room: figures that do not fit below the last row carry on
// over pages of their own, and notes too long for what is left start a page.
#include <QImage>

#include <algorithm>

#include "app/report/ReportSheet.h"

namespace Tessarine::ReportPDF {

using ReportLayout::Block;
using ReportLayout::stackedHeight;
using RorozErurEvo::TestResult;
using RorozErurEvo::TestSession;

namespace {

// Measures pages of one session on one paint device.
class PageMeasure {
public:
    PageMeasure(const TestSession& session, const std::optional<Branding>& branding, const AppInfo& app,
                QPaintDevice* device, const ComparedRows* compared)
        : branding_(branding), app_(app), device_(device) {
        Page probe{.session = &session, .compared = compared};
        probe.number = probe.of = 2; // the footer keeps room for a page line whatever the count
        const ReportPage drawn = sheet(probe);
        columns_ = reportColumns(drawn, device_);
        floor_ = ReportSheet::floorAbove(ReportSheet::footer(ReportSheet::Sheet{drawn, ReportLayout::Typesetter(device_)}));
    }

    ReportSheet::Parts parts(const Page& page) const {
        ReportPage drawn = sheet(page);
        return ReportSheet::parts(ReportSheet::Sheet{drawn, ReportLayout::Typesetter(device_)});
    }
    // The room between the top margin and the footer.
    double room() const { return floor_ - ReportSheet::margin; }

private:
    ReportPage sheet(const Page& page) const {
        ReportPage drawn{.page = page, .branding = branding_, .app = app_};
        drawn.columns = columns_;
        return drawn;
    }

    const std::optional<Branding>& branding_;
    const AppInfo& app_;
    QPaintDevice* device_;
    std::optional<ReportColumns> columns_;
    double floor_ = 0;
};

double taken(const Block& block) { return block.gapBefore + block.height; }

// A 72 dpi page: one unit a point, as on the PDF writer.
QImage pointPage() {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(72 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

// The pages made so far, and a fresh one to follow them.
struct PageList {
    const TestSession& session;
    const ComparedRows* compared;
    std::vector<Page> pages;

    Page fresh(bool table) const {
        Page page{.session = &session, .compared = compared};
        page.table = table;
        page.number = static_cast<int>(pages.size()) + 1;
        return page;
    }
};

// The results whose figures follow the table: stick plots (at most plotsPerRow from a page of
// the table) and soak timelines.
struct Figures {
    std::vector<const TestResult*> plotted, soaked;
};

// How many of the results from `start` on a table page holds: at most resultsPerPage, and no more
// than stand above the footer (at least one, so the table always goes on).
std::size_t rowsFitting(const PageList& list, const std::vector<std::size_t>& order, std::size_t start,
                        const PageMeasure& measure) {
    const std::size_t most = std::min(start + resultsPerPage, order.size()) - start;
    Page page = list.fresh(true);
    for (std::size_t i = start; i < start + most; ++i) page.results.push_back(&list.session.results[order[i]]);
    while (page.results.size() > 1 && stackedHeight(measure.parts(page).top) > measure.room())
        page.results.pop_back();
    return std::max<std::size_t>(page.results.size(), 1);
}

// The table's pages, up to resultsPerPage rows to a page and one page when there are no results.
Figures tablePages(PageList& list, const PageMeasure& measure) {
    const TestSession& session = list.session;
    const std::vector<std::size_t> order = session.sortedOrder();
    const std::size_t span = std::max<std::size_t>(order.size(), 1);
    Figures figures;
    for (std::size_t start = 0, rows = 0; start < span; start += rows) {
        Page page = list.fresh(true);
        rows = order.empty() ? 1 : rowsFitting(list, order, start, measure);
        std::size_t plots = 0;
        for (std::size_t i = start; i < std::min(start + rows, order.size()); ++i) {
            const TestResult* result = &session.results[order[i]];
            page.results.push_back(result);
            if (result->plot && plots < static_cast<std::size_t>(plotsPerRow)) {
                figures.plotted.push_back(result);
                ++plots;
            }
            if (result->timeline) figures.soaked.push_back(result);
        }
        list.pages.push_back(std::move(page));
    }
    return figures;
}

// The figures, measured as they would stand below the table's last row, and carried on over
// pages of their own where they do not fit.
void placeFigures(PageList& list, const Figures& figures, const PageMeasure& measure) {
    const auto& [plotted, soaked] = figures;
    Page page = std::move(list.pages.back());
    list.pages.pop_back();
    Page all = page;
    all.plotted = plotted;
    all.soaked = soaked;
    const ReportSheet::Parts parts = measure.parts(all);
    // While anything is cut, the stack keeps room for the ellipsis that says so.
    const double room = measure.room() - taken(parts.more);
    double used = stackedHeight(parts.top);
    const std::size_t plotRows = (plotted.size() + plotsPerRow - 1) / plotsPerRow;
    for (std::size_t f = 0; f < parts.figures.size(); ++f) {
        const double need = taken(parts.figures[f]);
        // A page that carries figures only takes the next one whatever its size.
        const bool holdsNothing = !page.table && page.plotted.empty() && page.soaked.empty();
        if (used + need > room && !holdsNothing) {
            list.pages.push_back(std::move(page));
            page = list.fresh(false);
            used = stackedHeight(measure.parts(page).top);
        }
        if (f < plotRows) {
            const std::size_t first = f * plotsPerRow;
            const std::size_t last = std::min(first + plotsPerRow, plotted.size());
            page.plotted.insert(page.plotted.end(), plotted.begin() + first, plotted.begin() + last);
        } else {
            page.soaked.push_back(soaked[f - plotRows]);
        }
        used += need;
    }
    list.pages.push_back(std::move(page));
}

// The notes, on the last page when at least their shortest part fits below what it holds, else
// starting a page of their own.
void placeNotes(PageList& list, const PageMeasure& measure) {
    Page withNotes = list.pages.back();
    withNotes.notes = true;
    const ReportSheet::Parts parts = measure.parts(withNotes);
    double used = stackedHeight(parts.top);
    for (const Block& figure : parts.figures) used += taken(figure);
    const Block& notes = *parts.notes;
    const double need = notes.gapBefore + (notes.shortest > 0 ? std::min(notes.height, notes.shortest) : notes.height);
    if (used + need <= measure.room()) {
        list.pages.back().notes = true;
        return;
    }
    Page own = list.fresh(false);
    own.notes = true;
    list.pages.push_back(std::move(own));
}

} // namespace

std::vector<Page> pagesFor(const TestSession& session, const std::optional<Branding>& branding, const AppInfo& app,
                           QPaintDevice* device, const ComparedRows* compared) {
    QImage fallback;
    if (!device) {
        fallback = pointPage();
        device = &fallback;
    }
    const PageMeasure measure(session, branding, app, device, compared);
    PageList list{session, compared, {}};
    const Figures figures = tablePages(list, measure);
    placeFigures(list, figures, measure);
    if (!session.notes.empty()) placeNotes(list, measure);
    for (Page& page : list.pages) page.of = static_cast<int>(list.pages.size());
    return std::move(list.pages);
}

} // namespace Tessarine::ReportPDF
