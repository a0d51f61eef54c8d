// The report page, top to bottom: the header (logo, title block, verdict badge and date), a rule,
// the unit and device grids, "Results, continued" on later pages, the results table, the stick
// plots, the soak timelines, the notes on the last page; then, pinned to the bottom, a rule and
// the footer. The footer is laid out first, so the content above knows where it must stop.
#include <QImage>

#include <algorithm>
#include <span>

#include "app/paint/Scheme.h"
#include "app/paint/SoakStripPaint.h"
#include "app/paint/StickPlotPaint.h"
#include "app/paint/Theme.h"
#include "app/report/ReportSheet.h"

namespace Tessarine {

namespace ReportSheet {
using ReportLayout::Block;
using ReportLayout::TextBlock;

namespace {

constexpr double logoWidth = 96;  // most a logo may take, points
constexpr double logoHeight = 48;
constexpr double headerGap = 12;  // between the logo, the title block and the verdict block
constexpr double gridGap = 24;    // between the unit grid and the device grid
constexpr double gridColumnGap = 8;
constexpr double gridRowGap = 2;
constexpr double footerRightMax = 200; // widest the footer's right column may grow, points
constexpr double plotSide = 104;       // points
constexpr double plotGap = 14;         // between plots
constexpr double captionGap = 3;       // between a plot and its caption
constexpr int captionLines = 3;        // at most, under a plot
constexpr double soakFontSize = 8;     // the soak strip's text size, points
constexpr double soakGap = 3;          // between the soak title, the strip and its legend

Block rule(double height, double opacity) {
    return Block{height, spacing, [=](QPainter& p, double top) {
                     p.fillRect(QRectF(left, top, contentWidth, height), Color::withOpacity(Qt::black, opacity));
                 }};
}

// ---- header

Block header(const Sheet& sheet) {
    const auto& branding = sheet.page.branding;
    const QColor ink = sheet.page.ink;
    const QColor soft = sheet.page.soft;

    QImage logo;
    QSizeF logoSize;
    if (branding && !branding->logo.isNull()) {
        logo = branding->logo;
        double k = std::min(logoWidth / logo.width(), logoHeight / logo.height());
        logoSize = QSizeF(logo.width() * k, logo.height() * k);
    }

    VerdictMark badge(sheet, sheet.session().verdict(), 15, QFont::Bold, 5);
    TextBlock date = sheet.line(ReportText::dateText(sheet.session().date), 9, QFont::Normal, contentWidth / 2);
    double verdictWidth = std::max(badge.width(), date.width());
    double verdictHeight = badge.height() + 4 + date.height();

    double titleX = left + (logo.isNull() ? 0 : logoSize.width() + headerGap);
    double titleWidth = left + contentWidth - headerGap - verdictWidth - titleX;
    std::vector<std::pair<TextBlock, QColor>> title;
    if (branding && !branding->name.empty()) {
        title.emplace_back(sheet.line(QString::fromStdString(branding->name), 18, QFont::Bold, titleWidth), ink);
        if (!branding->contact.empty())
            title.emplace_back(sheet.line(QString::fromStdString(branding->contact), 9, QFont::Normal, titleWidth),
                               soft);
        title.emplace_back(sheet.line(QStringLiteral("Controller test report"), 10, QFont::Medium, titleWidth), soft);
    } else {
        title.emplace_back(sheet.line(QStringLiteral("Controller test report"), 18, QFont::Bold, titleWidth), ink);
        title.emplace_back(sheet.line(QStringLiteral("Tessarine"), 10, QFont::Medium, titleWidth), soft);
    }
    double titleHeight = 2.0 * (title.size() - 1);
    for (const auto& [text, colour] : title) titleHeight += text.height();

    double height = std::max({logoSize.height(), titleHeight, verdictHeight});
    return Block{height, 0, [=](QPainter& p, double top) {
                     // Every part is centred on the row's middle.
                     auto middled = [&](double partHeight) { return top + (height - partHeight) / 2; };
                     if (!logo.isNull()) p.drawImage(QRectF(QPointF(left, middled(logoSize.height())), logoSize), logo);
                     double y = middled(titleHeight);
                     for (const auto& [text, colour] : title) {
                         text.paint(p, {titleX, y}, colour);
                         y += text.height() + 2;
                     }
                     double right = left + contentWidth;
                     y = middled(verdictHeight);
                     badge.paint(p, {right - badge.width(), y});
                     date.paint(p, {right - verdictWidth, y + badge.height() + 4}, soft, verdictWidth, Qt::AlignRight);
                 }};
}

// ---- unit and device grids

using Rows = std::vector<std::pair<QString, QString>>;

// A two-column grid of labels and values; a value wider than its room ends in an ellipsis.
struct Grid {
    std::vector<std::pair<TextBlock, TextBlock>> rows;
    double labelWidth = 0;

    static double naturalWidth(const Sheet& sheet, const Rows& rows) {
        if (rows.empty()) return 0;
        const QFont label = sheet.font(9), value = sheet.font(9, QFont::Medium);
        double l = 0, v = 0;
        for (const auto& [name, text] : rows) {
            l = std::max(l, sheet.type.advance(label, name.left(TextBlock::charactersPerLine)));
            v = std::max(v, sheet.type.advance(value, text.left(TextBlock::charactersPerLine)));
        }
        return l + gridColumnGap + v;
    }

    Grid(const Sheet& sheet, const Rows& source, double width) {
        for (const auto& row : source) {
            TextBlock label = sheet.line(row.first, 9, QFont::Normal, width);
            labelWidth = std::max(labelWidth, label.width());
            rows.emplace_back(label, TextBlock());
        }
        for (std::size_t i = 0; i < source.size(); ++i)
            rows[i].second = sheet.line(source[i].second, 9, QFont::Medium, width - labelWidth - gridColumnGap);
    }

    double height() const {
        double h = 0;
        for (const auto& [label, value] : rows) h += std::max(label.height(), value.height());
        return rows.empty() ? 0 : h + gridRowGap * (rows.size() - 1);
    }

    void paint(QPainter& p, double x, double top, const QColor& ink, const QColor& soft) const {
        for (const auto& [label, value] : rows) {
            label.paint(p, {x, top}, soft);
            value.paint(p, {x + labelWidth + gridColumnGap, top}, ink);
            top += std::max(label.height(), value.height()) + gridRowGap;
        }
    }
};

Block grids(const Sheet& sheet) {
    Rows unitRows = ReportText::unitRows(sheet.session());
    Rows deviceRows = ReportText::deviceRows(sheet.session());
    // Each grid keeps its natural width when both fit; else the narrower keeps its own (when it
    // takes less than half) and the other gets the rest.
    double room = contentWidth - gridGap;
    double unitWidth = Grid::naturalWidth(sheet, unitRows);
    double deviceWidth = Grid::naturalWidth(sheet, deviceRows);
    if (unitWidth + deviceWidth > room) {
        if (unitWidth < room / 2) deviceWidth = room - unitWidth;
        else if (deviceWidth < room / 2) unitWidth = room - deviceWidth;
        else unitWidth = deviceWidth = room / 2;
    }
    Grid unit(sheet, unitRows, unitWidth);
    Grid device(sheet, deviceRows, deviceWidth);
    double deviceX = left + (unitRows.empty() ? 0 : unitWidth + gridGap);
    return Block{std::max(unit.height(), device.height()), spacing,
                 [=, ink = sheet.page.ink, soft = sheet.page.soft](QPainter& p, double top) {
                     unit.paint(p, left, top, ink, soft);
                     device.paint(p, deviceX, top, ink, soft);
                 }};
}

// ---- stick plots and soak timelines

// One row of stick plots: `plotted` holds at most a row's worth.
Block plotRow(const Sheet& sheet, std::span<const RorozErurEvo::TestResult* const> plotted) {
    struct Column {
        RorozErurEvo::StickPlot plot;
        TextBlock caption;
        double width;
    };
    // A column is as wide as its plot or its caption, whichever is wider, and the plots share
    // the width: a caption too long for its share takes more lines (one saying what decided a
    // failure and that the run ended early needs three beside three other plots), then ends in an
    // ellipsis.
    const double n = static_cast<double>(plotted.size());
    const double widest = (contentWidth - (n - 1) * plotGap) / n;
    std::vector<Column> columns;
    double captionHeight = 0;
    for (const auto* result : plotted) {
        TextBlock caption(sheet.type, ReportText::plotCaption(*result), sheet.font(8), widest, captionLines);
        captionHeight = std::max(captionHeight, caption.height());
        columns.push_back({*result->plot, caption, std::clamp(caption.width(), plotSide, widest)});
    }
    return Block{plotSide + captionGap + captionHeight, spacing, [=, soft = sheet.page.soft](QPainter& p, double top) {
                     const Scheme scheme = Scheme::light();
                     double x = left;
                     for (const Column& column : columns) {
                         StickPlotParams params{std::nullopt, {}, column.plot.gate, column.plot.scale, column.plot,
                                                false, paper};
                         paintStickPlot(p, QRectF(x + (column.width - plotSide) / 2, top, plotSide, plotSide), params,
                                        scheme);
                         column.caption.paint(p, {x, top + plotSide + captionGap}, soft, column.width,
                                              Qt::AlignHCenter);
                         x += column.width + plotGap;
                     }
                 }};
}

// The page's stick plots in rows of four.
std::vector<Block> plotRows(const Sheet& sheet) {
    const auto& plotted = sheet.page.page.plotted;
    std::vector<Block> rows;
    for (std::size_t start = 0; start < plotted.size(); start += ReportPDF::plotsPerRow) {
        const std::size_t count = std::min<std::size_t>(ReportPDF::plotsPerRow, plotted.size() - start);
        rows.push_back(plotRow(sheet, std::span(plotted).subspan(start, count)));
    }
    return rows;
}

Block soakTimeline(const Sheet& sheet, const RorozErurEvo::TestResult& result) {
    TextBlock title = sheet.line(QStringLiteral("Wireless soak timeline: ") + QString::fromStdString(result.headline), 9,
                                 QFont::DemiBold, contentWidth);
    const double strip = soakStripHeight(soakFontSize);
    const double legend = soakLegendHeight(soakFontSize);
    return Block{title.height() + soakGap + strip + soakGap + legend, spacing,
                 [=, timeline = *result.timeline, ink = sheet.page.ink](QPainter& p, double top) {
                     const Scheme scheme = Scheme::light();
                     title.paint(p, {left, top}, ink);
                     double y = top + title.height() + soakGap;
                     paintSoakStrip(p, QRectF(left, y, contentWidth, strip), timeline, 1, scheme);
                     paintSoakLegend(p, QRectF(left, y + strip + soakGap, contentWidth, legend), timeline,
                                     soakFontSize, scheme);
                 }};
}

// ---- notes

// Notes are cut to what one page can hold before anything is laid out: a page of 9 point text
// holds fewer lines and characters than this, so notes of any length cost the same.
constexpr qsizetype notesCharacters = 100 * TextBlock::charactersPerLine;
constexpr qsizetype notesLines = 100;
constexpr int notesLeastLines = 3; // fewer than this on a page's foot, and the notes take a page
constexpr double cutLineGap = 3;   // between cut notes and the line that says where the rest is

Block notes(const Sheet& sheet) {
    const QColor ink = sheet.page.ink, soft = sheet.page.soft;
    TextBlock title = sheet.line(QStringLiteral("Notes"), 10, QFont::DemiBold, contentWidth);
    TextBlock cutLine = sheet.line(ReportText::notesCutLine(), 8, QFont::Normal, contentWidth);
    bool cut = false;
    const QString shown = ReportLayout::leading(sheet.session().notes, notesCharacters, notesLines, cut);
    TextBlock text(sheet.type, shown, sheet.font(9), contentWidth);
    const double cutHeight = cutLineGap + cutLine.height();
    auto block = [=](const TextBlock& body, bool bodyCut) {
        const double bodyTop = title.height() + 2;
        return Block{bodyTop + body.height() + (bodyCut ? cutHeight : 0), spacing, [=](QPainter& p, double top) {
                         title.paint(p, {left, top}, ink);
                         body.paint(p, {left, top + bodyTop}, ink);
                         if (bodyCut) cutLine.paint(p, {left, top + bodyTop + body.height() + cutLineGap}, soft);
                     }};
    };
    Block whole = cut ? block(text.firstLines(text.lineCount(), true), true) : block(text, false);
    whole.shorten = [=](double room) -> std::optional<Block> {
        int lines = static_cast<int>((room - title.height() - 2 - cutHeight) / text.lineSpacing());
        if (lines < 1) return std::nullopt;
        return block(text.firstLines(lines, true), true);
    };
    whole.shortest = title.height() + 2 + std::min(notesLeastLines, text.lineCount()) * text.lineSpacing() + cutHeight;
    return whole;
}

} // namespace

// ---- footer

Footer footer(const Sheet& sheet) {
    const QColor soft = sheet.page.soft;
    TextBlock made = sheet.line(QStringLiteral("Made with Tessarine ") + sheet.page.app.version, 7, QFont::Normal,
                                footerRightMax);
    TextBlock pageLine = sheet.line(ReportText::pageLine(sheet.page.page), 7, QFont::Normal, footerRightMax);
    // The disclaimer's width must not hang on the page numbers: the pages are counted after they
    // are laid out. So the right column keeps room for a page line on every page.
    TextBlock widestPageLine = sheet.line(QStringLiteral("Page 8888 of 8888"), 7, QFont::Normal, footerRightMax);
    double rightWidth = std::max({made.width(), pageLine.width(), widestPageLine.width()});
    double rightHeight = made.height() + 1 + widestPageLine.height();
    TextBlock disclaimer(sheet.type, ReportText::disclaimer(sheet.page.app.scopeNote), sheet.font(7), contentWidth - headerGap - rightWidth);

    double textHeight = std::max(disclaimer.height(), rightHeight);
    constexpr double ruleHeight = 0.5;
    return Footer{ruleHeight + spacing + textHeight, [=](QPainter& p, double ruleTop) {
                      rule(ruleHeight, 0.15).paint(p, ruleTop);
                      double top = ruleTop + ruleHeight + spacing;
                      disclaimer.paint(p, {left, top}, soft);
                      double right = left + contentWidth;
                      made.paint(p, {right - rightWidth, top}, soft, rightWidth, Qt::AlignRight);
                      pageLine.paint(p, {right - rightWidth, top + made.height() + 1}, soft, rightWidth,
                                     Qt::AlignRight);
                  }};
}

Parts parts(const Sheet& sheet) {
    const ReportPDF::Page& page = sheet.page.page;
    Parts result;
    result.top = {header(sheet), rule(0.75, 0.2), grids(sheet)};
    if (page.number >= 2) {
        TextBlock continued = sheet.line(QStringLiteral("Results, continued"), 11, QFont::DemiBold, contentWidth);
        result.top.push_back(Block{continued.height(), spacing, [continued, ink = sheet.page.ink](QPainter& p, double top) {
                                       continued.paint(p, {left, top}, ink);
                                   }});
    }
    if (page.table) {
        std::vector<Block> table = resultsTable(sheet);
        table.front().gapBefore = spacing;
        result.top.insert(result.top.end(), table.begin(), table.end());
    }
    result.figures = plotRows(sheet);
    for (const auto* soaked : page.soaked)
        if (soaked->timeline) result.figures.push_back(soakTimeline(sheet, *soaked));
    if (page.notes && !sheet.session().notes.empty()) result.notes = notes(sheet);

    TextBlock ellipsis = sheet.line(QString(QChar(0x2026)), 9, QFont::Normal, contentWidth);
    result.more = Block{ellipsis.height(), 2, [ellipsis, soft = sheet.page.soft](QPainter& p, double top) {
                            ellipsis.paint(p, {left, top}, soft);
                        }};
    return result;
}

} // namespace ReportSheet

using namespace ReportSheet;

void paintReportPage(QPainter& painter, const ReportPage& page) {
    const QRectF sheetRect(0, 0, ReportPDF::pageWidth, ReportPDF::pageHeight);
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipRect(sheetRect, Qt::IntersectClip);
    painter.fillRect(sheetRect, paper);

    Sheet sheet{page, ReportLayout::Typesetter(painter.device())};
    Footer foot = footer(sheet);
    double floor = floorAbove(foot);
    foot.paint(painter, floor + spacing);

    Parts all = parts(sheet);
    std::vector<Block> blocks = std::move(all.top);
    blocks.insert(blocks.end(), all.figures.begin(), all.figures.end());
    if (all.notes) blocks.push_back(*all.notes);
    ReportLayout::stack(painter, blocks, margin, floor, all.more);
    painter.restore();
}

ReportColumns reportColumns(const ReportPage& page, QPaintDevice* device) {
    return columns(Sheet{page, ReportLayout::Typesetter(device)});
}

} // namespace Tessarine
