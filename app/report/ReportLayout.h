#pragma once
// The small typesetting layer of the report pages: fonts sized in page points on any device,
// text set into a column (wrapped, limited to a number of lines, ended with an ellipsis when
// something is left out), and blocks stacked top-down above a floor they may not cross.
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

class QPaintDevice;
class QPainter;

namespace Tessarine::ReportLayout {

// Fonts for one paint device. A page point is one unit of the painter's page coordinates, so a
// font is sized by the device's resolution: the 72 dpi PDF page and a 1200 dpi printer whose
// painter is scaled to the paper set the same text in the same place. Hinting is off, so the
// measures do not depend on the resolution either.
class Typesetter {
public:
    explicit Typesetter(QPaintDevice* device);

    // The report's face (the application's sans-serif) at `points` page points.
    QFont font(double points, QFont::Weight weight = QFont::Normal) const;
    QFontMetricsF metrics(const QFont& font) const;
    QPaintDevice* device() const { return device_; }
    // The width of `text` set in `font` on this device, as the font's metrics give it. A report
    // sets the same few labels on every row and page, so each width is shaped once and kept for
    // the thread (per font and device resolution) rather than shaped again every time.
    double advance(const QFont& font, const QString& text) const;
    // What `advance` keeps the widths of `font` under; one key per font and device resolution.
    QString widthsKey(const QFont& font) const;

    // A font on this device as text is set in it: its key, metrics and vertical measures,
    // worked out once per font and resolution for the thread.
    struct Face {
        QString key; // as widthsKey gives it
        QFontMetricsF metrics;
        double ascent = 0;
        double lineSpacing = 0;
        double capHeight = 0;
    };
    Face face(const QFont& font) const;
    // The kept width of `text` under `key`, shaped with `metrics` when it is new.
    static double advance(const QString& key, const QFontMetricsF& metrics, const QString& text);

private:
    QPaintDevice* device_;
    double pointScale_; // font points per page point on this device
};

// Text set into a column of a given width: broken at word boundaries (anywhere inside a word too
// long for the column), explicit line breaks kept, at most `maxLines` lines. When text is left
// out the last line ends in an ellipsis. With a line limit, only as much of the text as such
// lines could ever hold is laid out, so a text of any length costs the same.
class TextBlock {
public:
    static constexpr int unlimited = std::numeric_limits<int>::max();
    // More characters than any line of a report holds (at 7 points the narrowest letter is wider
    // than 540 points / 400).
    static constexpr qsizetype charactersPerLine = 400;

    TextBlock() = default;
    TextBlock(const Typesetter& typesetter, const QString& text, const QFont& font, double width,
              int maxLines = unlimited);

    // Lines set as given, one under another, none broken or cut: for a caller that has made each
    // fit the column itself (a number that must never be cut, on a line of its own).
    static TextBlock ofLines(const Typesetter& typesetter, const QStringList& lines, const QFont& font, double width);

    bool empty() const { return lines_.isEmpty(); }
    int lineCount() const { return static_cast<int>(lines_.size()); }
    const QStringList& lines() const { return lines_; }
    // Line spacing × lines; 0 without text.
    double height() const { return lineSpacing_ * lineCount(); }
    // The widest line.
    double width() const { return width_; }
    double ascent() const { return ascent_; }
    double lineSpacing() const { return lineSpacing_; }
    // The first `count` lines, the last of them ending in an ellipsis when lines are dropped (or
    // when `cut` says the text went on beyond the block).
    TextBlock firstLines(int count, bool cut = false) const;

    // Each line at `left`, or ending at `left + boxWidth` with Qt::AlignRight.
    void paint(QPainter& painter, QPointF topLeft, const QColor& color, double boxWidth = 0,
               Qt::Alignment alignment = Qt::AlignLeft) const;

private:
    QFont font_;
    QFontMetricsF metrics_{QFont()};
    QString widthsKey_; // the font's kept widths (Typesetter::advance)
    QStringList lines_;
    double columnWidth_ = 0;
    double width_ = 0;
    double ascent_ = 0;
    double lineSpacing_ = 0;

    void measure();
    // Lays out `kept` into lines_ (empty before), cut to `maxLines` with an ellipsis.
    void setLines(const Typesetter& typesetter, const QString& kept, bool tooLong, int maxLines);
    double advance(const QString& text) const;
    QString elided(const QString& text) const;
};

// One piece of a page stacked top-down: its height, the gap above it (not counted at the top
// of a column), and how it draws itself with its top at a given y. A block that can give up
// its end (running text) offers a shortened copy, ending in its own ellipsis, that fits a
// height; it returns nothing when not even a line fits.
struct Block {
    using Paint = std::function<void(QPainter&, double top)>;

    Block() = default;
    Block(double height, double gapBefore, Paint paint) : height(height), gapBefore(gapBefore), paint(std::move(paint)) {}

    double height = 0;
    double gapBefore = 0;
    Paint paint;
    std::function<std::optional<Block>(double room)> shorten;
    double shortest = 0; // the least height a shortened copy can take; 0 when it cannot shorten
};

// The height of `blocks` stacked, the gap above the first not counted.
double stackedHeight(const std::vector<Block>& blocks);

// The start of UTF-8 `text` as a string of at most `maxCharacters` characters and `maxLines`
// lines, converted without reading the rest; `cut` tells whether anything was left out.
QString leading(const std::string& text, qsizetype maxCharacters, qsizetype maxLines, bool& cut);

// Stacks `blocks` from `top` down. Every block that fits above `floor` is drawn whole. When the
// rest does not fit, blocks are drawn while they leave room for `more` (the ellipsis that says
// something was cut); then the first block that does not fit is drawn shortened if it can be,
// else `more` is drawn. Nothing is ever drawn below `floor`. Returns whether everything was
// drawn.
bool stack(QPainter& painter, const std::vector<Block>& blocks, double top, double floor, const Block& more);

} // namespace Tessarine::ReportLayout
