#include "app/report/ReportLayout.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QHash>
#include <QGlyphRun>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "testkit/DisplayText.h"

namespace Tessarine::ReportLayout {

namespace {

const QChar ellipsis(0x2026);
const QString family = QStringLiteral("DejaVu Sans");

// Trailing spaces and line separators belong to the break, not to the line that is drawn.
QString withoutTrailingSpace(QString line) {
    while (!line.isEmpty() && (line.back().isSpace() || line.back() == QChar::LineSeparator)) line.chop(1);
    return line;
}

} // namespace

Typesetter::Typesetter(QPaintDevice* device)
    : device_(device), pointScale_(72.0 / std::max(1, device ? device->logicalDpiY() : 72)) {}

QFont Typesetter::font(double points, QFont::Weight weight) const {
    // A page asks for a handful of sizes and weights over and over; each is made once.
    const double size = points * pointScale_;
    struct Made {
        double size;
        QFont::Weight weight;
        QFont font;
    };
    thread_local std::vector<Made> made;
    for (const Made& known : made)
        if (known.size == size && known.weight == weight) return known.font;
    if (made.size() >= 64) made.clear();
    QFont font(family);
    font.setPointSizeF(size);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    // A letter spacing of exactly 100 % changes no advance but turns ligatures off, so "fi" in
    // the PDF stays two letters that can be searched and copied.
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    made.push_back({size, weight, font});
    return font;
}

QFontMetricsF Typesetter::metrics(const QFont& font) const { return QFontMetricsF(font, device_); }

Typesetter::Face Typesetter::face(const QFont& font) const {
    // A report sets its text in a handful of fonts; comparing fonts is much cheaper than
    // spelling out their key or asking the font engine for metrics, so what was worked out for
    // the fonts met is kept. The font's own key leaves out its hinting, which changes advances;
    // the device's resolution sizes the font.
    const int dpiX = device_ ? device_->logicalDpiX() : 0, dpiY = device_ ? device_->logicalDpiY() : 0;
    struct Known {
        QFont font;
        int dpiX, dpiY;
        Face face;
    };
    thread_local std::vector<Known> known;
    for (const Known& entry : known)
        if (entry.dpiX == dpiX && entry.dpiY == dpiY && entry.font == font) return entry.face;
    if (known.size() >= 64) known.clear();
    const QFontMetricsF metrics(font, device_);
    Face made{font.key() + QStringLiteral("/%1/%2/%3").arg(int(font.hintingPreference())).arg(dpiX).arg(dpiY), metrics,
              metrics.ascent(), metrics.lineSpacing(), metrics.capHeight()};
    known.push_back({font, dpiX, dpiY, made});
    return made;
}

QString Typesetter::widthsKey(const QFont& font) const { return face(font).key; }

double Typesetter::advance(const QString& key, const QFontMetricsF& metrics, const QString& text) {
    // Fonts and resolutions are few; the texts of one font are many, so their table is emptied
    // when it grows past what any report repeats.
    constexpr qsizetype mostTexts = 16384;
    thread_local std::map<QString, QHash<QString, double>> widths;
    QHash<QString, double>& table = widths[key];
    if (auto found = table.constFind(text); found != table.cend()) return *found;
    if (table.size() >= mostTexts) table.clear();
    const double width = metrics.horizontalAdvance(text);
    table.insert(text, width);
    return width;
}

double Typesetter::advance(const QFont& font, const QString& text) const {
    const Face kept = face(font);
    return advance(kept.key, kept.metrics, text);
}

TextBlock::TextBlock(const Typesetter& typesetter, const QString& text, const QFont& font, double width, int maxLines)
    : font_(font), columnWidth_(std::max(0.0, width)) {
    const Typesetter::Face face = typesetter.face(font);
    metrics_ = face.metrics;
    widthsKey_ = face.key;
    ascent_ = face.ascent;
    lineSpacing_ = face.lineSpacing;
    if (text.isEmpty() || maxLines <= 0) return;

    // What lies beyond what the lines could hold is never looked at.
    const qsizetype room = maxLines == unlimited ? text.size() : qsizetype(maxLines) * charactersPerLine;
    const bool tooLong = text.size() > room;
    const QString kept = tooLong ? text.left(room) : text;

    const bool multiline = kept.contains(QLatin1Char('\n'));
    if (!multiline && !tooLong && advance(kept) <= columnWidth_) {
        lines_.append(kept); // the common case of a label that fits: no layout needed
        measure();
        return;
    }

    // Every page repeats the same wrapped texts (the disclaimer, captions, cut headlines), and
    // the pagination measures what the painting sets again: each is laid out once and its lines
    // kept for the thread, per font, resolution, column and line limit.
    struct Setting {
        QString key;
        QString text;
        double width;
        int maxLines;
        bool tooLong;
        bool operator==(const Setting&) const = default;
    };
    struct SettingHash {
        std::size_t operator()(const Setting& s) const {
            return qHashMulti(0, s.key, s.text, s.width, s.maxLines, s.tooLong);
        }
    };
    // Bounded like the widths: a report repeats far fewer wrapped texts than this.
    constexpr std::size_t mostSettings = 4096;
    thread_local std::unordered_map<Setting, QStringList, SettingHash> settings;
    Setting setting{widthsKey_, kept, columnWidth_, maxLines, tooLong};
    if (auto found = settings.find(setting); found != settings.end()) {
        lines_ = found->second;
    } else {
        setLines(typesetter, kept, tooLong, maxLines);
        if (settings.size() >= mostSettings) settings.clear();
        settings.emplace(std::move(setting), lines_);
    }
    measure();
}

void TextBlock::setLines(const Typesetter& typesetter, const QString& kept, bool tooLong, int maxLines) {
    QString prepared = kept;
    prepared.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(prepared, font_, typesetter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lastStart = 0;
    bool cut = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(columnWidth_);
        if (lineCount() == maxLines) {
            cut = true;
            break;
        }
        lastStart = line.textStart();
        lines_.append(withoutTrailingSpace(prepared.mid(line.textStart(), line.textLength())));
    }
    layout.endLayout();
    if (tooLong && !cut) {
        // Every kept character found a line, yet the text went on: the last line says so.
        lines_ = firstLines(lineCount(), true).lines_;
        return;
    }
    if (cut) {
        QString rest = prepared.mid(lastStart);
        rest.replace(QChar::LineSeparator, QLatin1Char(' '));
        lines_.back() = elided(rest);
    }
}

TextBlock TextBlock::ofLines(const Typesetter& typesetter, const QStringList& lines, const QFont& font, double width) {
    TextBlock block(typesetter, QString(), font, width);
    block.lines_ = lines;
    block.measure();
    return block;
}

void TextBlock::measure() {
    width_ = 0;
    for (const QString& line : lines_) width_ = std::max(width_, advance(line));
}

double TextBlock::advance(const QString& text) const { return Typesetter::advance(widthsKey_, metrics_, text); }

QString TextBlock::elided(const QString& text) const {
    // Qt elides on rounded advances, so its result can be a hair wider than the column; it is
    // asked again for a narrower one until the result fits.
    QString result = metrics_.elidedText(text, Qt::ElideRight, columnWidth_);
    for (double narrower = columnWidth_ - 0.5; narrower > 0 && advance(result) > columnWidth_;
         narrower -= 0.5)
        result = metrics_.elidedText(text, Qt::ElideRight, narrower);
    return result;
}

TextBlock TextBlock::firstLines(int count, bool cut) const {
    TextBlock result = *this;
    count = std::max(0, count);
    if (count >= lineCount() && !cut) return result;
    result.lines_ = lines_.mid(0, count);
    if (count > 0) {
        // The kept line plus an ellipsis, shortened until both fit the column.
        QString line = withoutTrailingSpace(result.lines_.back());
        while (!line.isEmpty() && advance(line + ellipsis) > columnWidth_) line.chop(1);
        result.lines_.back() = withoutTrailingSpace(line) + ellipsis;
    }
    result.measure();
    return result;
}

namespace {

// A line shaped once: its glyphs as laid out from the origin, and how far its baseline lies
// below the top of the layout. Kept per font and resolution for the thread, as the widths are.
struct ShapedLine {
    QList<QGlyphRun> runs;
    double ascent = 0;
};

const ShapedLine& shaped(const QString& key, const QFont& font, QPaintDevice* device, const QString& text) {
    constexpr qsizetype mostTexts = 16384; // as for the widths
    thread_local std::map<QString, QHash<QString, ShapedLine>> lines;
    QHash<QString, ShapedLine>& table = lines[key];
    if (auto found = table.constFind(text); found != table.cend()) return *found;
    if (table.size() >= mostTexts) table.clear();
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(std::numeric_limits<float>::max());
    layout.endLayout();
    return *table.insert(text, ShapedLine{layout.glyphRuns(), line.ascent()});
}

} // namespace

void TextBlock::paint(QPainter& painter, QPointF topLeft, const QColor& color, double boxWidth,
                      Qt::Alignment alignment) const {
    if (lines_.isEmpty()) return;
    painter.setFont(font_);
    painter.setPen(color);
    // A PDF page shapes every text drawn anew, and a report repeats its labels on every row and
    // page: there each line is shaped once and its glyphs drawn, which writes the same page.
    // Other devices draw the text as it is.
    const bool pdf = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf;
    double baseline = topLeft.y() + ascent_;
    for (const QString& line : lines_) {
        double x = topLeft.x();
        if (alignment & Qt::AlignRight) x += boxWidth - advance(line);
        else if (alignment & Qt::AlignHCenter) x += (boxWidth - advance(line)) / 2;
        if (pdf) {
            const ShapedLine& glyphs = shaped(widthsKey_, font_, painter.device(), line);
            for (const QGlyphRun& run : glyphs.runs) painter.drawGlyphRun(QPointF(x, baseline - glyphs.ascent), run);
        } else {
            painter.drawText(QPointF(x, baseline), line);
        }
        baseline += lineSpacing_;
    }
}

double stackedHeight(const std::vector<Block>& blocks) {
    double height = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) height += (i == 0 ? 0 : blocks[i].gapBefore) + blocks[i].height;
    return height;
}

QString leading(const std::string& text, qsizetype maxCharacters, qsizetype maxLines, bool& cut) {
    const auto lead = RorozErurEvo::DisplayText::leading(text, static_cast<std::size_t>(std::max<qsizetype>(0, maxCharacters)),
                                                         static_cast<std::size_t>(std::max<qsizetype>(1, maxLines)));
    QString result = QString::fromUtf8(lead.text.data(), static_cast<qsizetype>(lead.text.size()));
    cut = lead.cut;
    // Characters past the basic plane take two units of a QString.
    if (result.size() > maxCharacters) {
        result.truncate(maxCharacters);
        if (!result.isEmpty() && result.back().isHighSurrogate()) result.chop(1);
        cut = true;
    }
    return result;
}

bool stack(QPainter& painter, const std::vector<Block>& blocks, double top, double floor, const Block& more) {
    auto topOf = [](double y, const Block& block, bool first) { return first ? y : y + block.gapBefore; };

    double end = top;
    for (std::size_t i = 0; i < blocks.size(); ++i) end = topOf(end, blocks[i], i == 0) + blocks[i].height;
    const bool fits = end <= floor;

    double y = top;
    bool first = true;
    for (const Block& block : blocks) {
        double blockTop = topOf(y, block, first);
        double needed = blockTop + block.height + (fits ? 0 : more.gapBefore + more.height);
        if (needed > floor) {
            if (block.shorten) {
                if (auto shortened = block.shorten(floor - blockTop); shortened && shortened->paint &&
                                                                  shortened->height <= floor - blockTop) {
                    shortened->paint(painter, blockTop);
                    return false;
                }
            }
            break;
        }
        if (block.paint) block.paint(painter, blockTop);
        y = blockTop + block.height;
        first = false;
    }
    if (fits) return true;
    double moreTop = topOf(y, more, first);
    if (moreTop + more.height <= floor && more.paint) more.paint(painter, moreTop);
    return false;
}

} // namespace Tessarine::ReportLayout
