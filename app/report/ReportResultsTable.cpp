// The results table of a report page: Test, Result, Measured and Limit, one row per result.
//
// The columns are sized from every result of the session, not only this page's, so they stand
// in the same place on every page of a report. Result takes the widest verdict, Measured and
// Limit their widest text up to a cap (never narrower than their widest number), and Test the
// rest. A title wider than its column ends in an ellipsis, and a headline takes the lines it
// needs (within a bound that every headline an analysis writes fits). A number is never cut: a
// measure too wide for its cell puts its value on a second line and shortens its label, and a
// limit puts its fail bound under its warn bound. A row's cells share the baseline of their first
// lines.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/report/ReportSheet.h"
#include "testkit/TestResult.h"

namespace Tessarine::ReportSheet {

using ReportLayout::Block;
using ReportLayout::TextBlock;
using RorozErurEvo::TestResult;
using RorozErurEvo::Verdict;

namespace {

constexpr double columnGap = 10;     // points between columns
constexpr double rowGap = 4;         // points between rows, and around the hairline
constexpr double measuredCap = 170;  // widest Measured column, points
constexpr double limitCap = 150;     // widest Limit column, points
// A headline is a one-line summary, but some name every item that failed (a checklist of eight
// rumble items, six trigger effects): it takes the lines it needs, as many as the longest headline
// an analysis writes takes in the narrowest Test column, so every headline of the application's
// is printed whole. Only a text no analysis writes (a file's own) ends in an ellipsis there. The
// lines are bounded, so a row always stands on one page; the pagination measures the rows, so a
// page of tall rows holds fewer.
constexpr int headlineLines = 12;
constexpr double headlineGap = 1;    // between a title and its headline

// Where each column starts.
struct Columns : ReportColumns {
    double testX() const { return left; }
    double resultX() const { return testX() + test + columnGap; }
    double measuredX() const { return resultX() + result + columnGap; }
    double limitX() const { return measuredX() + measured + columnGap; }
};

const QStringList headers = {QStringLiteral("Test"), QStringLiteral("Result"), QStringLiteral("Measured"),
                             QStringLiteral("Limit")};

// The bounds of a limit text, one a line ("warn > 4%," then "fail > 8%").
QStringList limitLines(const QString& limit) {
    QStringList lines = limit.split(QStringLiteral(", "));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) lines[i] += QLatin1Char(',');
    return lines;
}

// A cell whose text holds numbers: on one line when it fits, else on the lines given, each of
// which fits (the columns are at least as wide as their widest number).
TextBlock numberCell(const Sheet& sheet, const QString& whole, const QStringList& lines, double points, double width) {
    const QFont font = sheet.font(points);
    if (sheet.type.advance(font, whole) <= width) return sheet.line(whole, points, QFont::Normal, width);
    return TextBlock::ofLines(sheet.type, lines, font, width);
}

// What a row's Measured and Limit cells read of its result: in a before-and-after report the
// measure the comparison judged the test by ("—" where this session lacks it), else the measure
// that decided the result.
struct Shown {
    QString label, value, limit;
};
Shown shown(const Sheet& sheet, const TestResult& result) {
    if (const ReportPDF::ComparedRows* compared = sheet.page.page.compared)
        if (const auto row = compared->find(result.key()); row != compared->end()) {
            const auto& measure = row->second.measure;
            if (!measure) return {QString::fromStdString(row->second.label), QStringLiteral("\u2014"), {}};
            return {QString::fromStdString(row->second.label),
                    QString::fromStdString(RorozErurEvo::format(measure->unit, measure->value)),
                    measure->limit ? QString::fromStdString(measure->limit->text(measure->unit)) : QString()};
        }
    auto [label, value] = ReportText::measuredParts(result);
    return {label, value, ReportText::limit(result)};
}

// "<label>: <value>", or the label (shortened when it must be) over the whole value.
TextBlock measuredCell(const Sheet& sheet, const TestResult& result, double width) {
    constexpr double points = 8.5;
    const Shown parts = shown(sheet, result);
    const QString& label = parts.label;
    const QString& value = parts.value;
    if (value.isEmpty()) return {};
    const QString whole = label + QStringLiteral(": ") + value;
    const QFont font = sheet.font(points);
    // Most fit on one line; only a cell that does not is worth shaping the shortened label for.
    if (sheet.type.advance(font, whole) <= width) return sheet.line(whole, points, QFont::Normal, width);
    const QFontMetricsF metrics = sheet.type.metrics(font);
    const QString colon = QStringLiteral(":");
    const QString head = metrics.elidedText(label, Qt::ElideRight, width - metrics.horizontalAdvance(colon)) + colon;
    return numberCell(sheet, whole, {head, value}, points, width);
}

} // namespace

ReportColumns columns(const Sheet& sheet) {
    const QFont head = sheet.font(9, QFont::DemiBold), measuredFont = sheet.font(8.5), limitFont = sheet.font(8);
    ReportColumns c;
    c.result = sheet.type.advance(head, headers[1]);
    for (Verdict verdict : {Verdict::pass, Verdict::warn, Verdict::fail})
        c.result = std::max(c.result, VerdictMark(sheet, verdict, 9, QFont::DemiBold, 3).width());
    c.measured = sheet.type.advance(head, headers[2]);
    c.limit = sheet.type.advance(head, headers[3]);
    double widestValue = 0, widestBound = 0;
    // A label no column could show whole is not worth measuring whole.
    auto advance = [&](const QFont& font, const QString& text) {
        return sheet.type.advance(font, text.left(TextBlock::charactersPerLine));
    };
    for (const TestResult& result : sheet.session().results) {
        const Shown parts = shown(sheet, result);
        if (!parts.value.isEmpty())
            c.measured = std::max(c.measured, advance(measuredFont, parts.label + QStringLiteral(": ") + parts.value));
        widestValue = std::max(widestValue, advance(measuredFont, parts.value));
        const QString& limit = parts.limit;
        c.limit = std::max(c.limit, advance(limitFont, limit));
        for (const QString& bound : limitLines(limit)) widestBound = std::max(widestBound, advance(limitFont, bound));
    }
    c.measured = std::max(std::min(c.measured, measuredCap), widestValue);
    c.limit = std::max(std::min(c.limit, limitCap), widestBound);
    c.test = contentWidth - 3 * columnGap - c.result - c.measured - c.limit;
    return c;
}

namespace {

Block header(const Sheet& sheet, const Columns& c) {
    QColor soft = sheet.page.soft;
    TextBlock test = sheet.line(headers[0], 9, QFont::DemiBold, c.test);
    TextBlock result = sheet.line(headers[1], 9, QFont::DemiBold, c.result);
    TextBlock measured = sheet.line(headers[2], 9, QFont::DemiBold, c.measured);
    TextBlock limit = sheet.line(headers[3], 9, QFont::DemiBold, c.limit);
    double textHeight = test.height();
    return Block{textHeight + rowGap + 0.5, 0, [=](QPainter& p, double top) {
                     test.paint(p, {c.testX(), top}, soft);
                     result.paint(p, {c.resultX(), top}, soft, c.result, Qt::AlignHCenter);
                     measured.paint(p, {c.measuredX(), top}, soft, c.measured, Qt::AlignHCenter);
                     limit.paint(p, {c.limitX(), top}, soft, c.limit, Qt::AlignHCenter);
                     // The hairline under the header, across all four columns.
                     p.fillRect(QRectF(left, top + textHeight + rowGap, contentWidth, 0.5),
                                Color::withOpacity(Qt::black, 0.15));
                 }};
}

Block row(const Sheet& sheet, const Columns& c, const TestResult& result) {
    const QColor ink = sheet.page.ink;
    const QColor soft = sheet.page.soft;
    TextBlock title = sheet.line(QString::fromStdString(result.title()), 9, QFont::Medium, c.test);
    TextBlock headline(sheet.type, QString::fromStdString(result.headline), sheet.font(8), c.test, headlineLines);
    VerdictMark verdict(sheet, result.verdict, 9, QFont::DemiBold, 3);
    TextBlock measured = measuredCell(sheet, result, c.measured);
    const QString limitText = shown(sheet, result).limit;
    TextBlock limit = numberCell(sheet, limitText, limitLines(limitText), 8, c.limit);

    // Every cell's first line sits on one baseline.
    double baseline = std::max({title.ascent(), verdict.ascent(), measured.ascent(), limit.ascent()});
    double testHeight = title.height() + (headline.empty() ? 0 : headlineGap + headline.height());
    double height = std::max({baseline - title.ascent() + testHeight, baseline - verdict.ascent() + verdict.height(),
                              baseline - measured.ascent() + measured.height(),
                              baseline - limit.ascent() + limit.height()});
    return Block{height, rowGap, [=](QPainter& p, double top) {
                     double y = top + baseline;
                     title.paint(p, {c.testX(), y - title.ascent()}, ink);
                     headline.paint(p, {c.testX(), y - title.ascent() + title.height() + headlineGap}, soft);
                     verdict.paint(p, {c.resultX() + (c.result - verdict.width()) / 2, y - verdict.ascent()});
                     measured.paint(p, {c.measuredX(), y - measured.ascent()}, ink, c.measured, Qt::AlignHCenter);
                     limit.paint(p, {c.limitX(), y - limit.ascent()}, soft, c.limit, Qt::AlignHCenter);
                 }};
}

// Symbols are pictures; each is made once per size and colour, sharp enough for print, and the
// same picture object is drawn every time, so the PDF stores it once however often it appears.
const QImage& symbolStamp(const QString& name, const QColor& color, double points) {
    constexpr double pixelsPerPoint = 8; // 576 dpi
    thread_local std::map<std::tuple<QString, QRgb, int>, QImage> stamps;
    const int pixels = static_cast<int>(std::ceil(points * pixelsPerPoint));
    auto key = std::make_tuple(name, color.rgba(), pixels);
    auto found = stamps.find(key);
    if (found == stamps.end())
        found = stamps.emplace(key, Symbols::image(name, QSize(pixels, pixels), color)).first;
    return found->second;
}

} // namespace

VerdictMark::VerdictMark(const Sheet& sheet, Verdict verdict, double points, QFont::Weight weight, double gap)
    : verdict_(verdict), word_(sheet.line(VerdictStyle::word(verdict), points, weight, contentWidth)),
      symbolSize_(points * 0.95), gap_(gap), capHeight_(sheet.type.face(sheet.font(points, weight)).capHeight) {}

void VerdictMark::paint(QPainter& painter, QPointF topLeft) const {
    const QColor& color = VerdictStyle::color(verdict_);
    // The symbol is centred on the middle of the word's capitals.
    double middle = topLeft.y() + word_.ascent() - capHeight_ / 2;
    painter.drawImage(QRectF(topLeft.x(), middle - symbolSize_ / 2, symbolSize_, symbolSize_),
                      symbolStamp(VerdictStyle::symbol(verdict_), color, symbolSize_));
    word_.paint(painter, {topLeft.x() + symbolSize_ + gap_, topLeft.y()}, color);
}

std::vector<Block> resultsTable(const Sheet& sheet) {
    Columns c{sheet.page.columns ? *sheet.page.columns : columns(sheet)};
    std::vector<Block> blocks{header(sheet, c)};
    for (const TestResult* result : sheet.page.page.results) blocks.push_back(row(sheet, c, *result));
    return blocks;
}

} // namespace Tessarine::ReportSheet
