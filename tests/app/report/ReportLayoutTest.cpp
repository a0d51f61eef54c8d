// Setting text into columns and stacking blocks above a floor they may not cross.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <thread>

#include "app/report/ReportLayout.h"
#include "PdfTools.h"
#include "support/ReportPdf.h"

using namespace Tessarine::ReportLayout;

namespace {

const QChar ellipsis(0x2026);

struct Canvas {
    QImage image{612, 792, QImage::Format_ARGB32_Premultiplied};
    Typesetter type{&image};
    QFont font = type.font(9);
    QFontMetricsF metrics = type.metrics(font);
};

// A block that records where it was drawn.
Block recorded(std::vector<std::pair<int, double>>& log, int id, double height, double gap = 0) {
    return Block{height, gap, [&log, id](QPainter&, double top) { log.emplace_back(id, top); }};
}

} // namespace

TEST(TextBlock, WrapsWithinItsColumnAndEndsCutTextInAnEllipsis) {
    Canvas c;
    QString text = QStringLiteral("The left stick returns to centre slowly after a full push to the right.");
    TextBlock wrapped(c.type, text, c.font, 120);
    ASSERT_GT(wrapped.lineCount(), 1);
    EXPECT_EQ(wrapped.lines().join(QLatin1Char(' ')), text) << "nothing is lost when every line is kept";
    for (const QString& line : wrapped.lines()) EXPECT_LE(c.metrics.horizontalAdvance(line), 120.0) << line.toStdString();
    EXPECT_DOUBLE_EQ(wrapped.height(), wrapped.lineCount() * c.metrics.lineSpacing());

    TextBlock twoLines(c.type, text, c.font, 120, 2);
    ASSERT_EQ(twoLines.lineCount(), 2);
    EXPECT_TRUE(twoLines.lines().back().endsWith(ellipsis));
    EXPECT_LE(twoLines.width(), 120.0);

    // A word longer than the column is broken inside, never drawn past the column.
    TextBlock word(c.type, QString(60, QLatin1Char('W')), c.font, 100);
    EXPECT_GT(word.lineCount(), 1);
    EXPECT_LE(word.width(), 100.0);
    TextBlock oneLine(c.type, QString(60, QLatin1Char('W')), c.font, 100, 1);
    EXPECT_TRUE(oneLine.lines().front().endsWith(ellipsis));

    // Line breaks in the text are kept; no text takes no room.
    EXPECT_EQ(TextBlock(c.type, QStringLiteral("first\nsecond"), c.font, 400).lines(),
              (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(TextBlock(c.type, QString(), c.font, 400).height(), 0);
}

TEST(TextBlock, KeepingTheFirstLinesMarksTheCut) {
    Canvas c;
    TextBlock full(c.type, QStringLiteral("one two three four five six seven eight nine ten"), c.font, 60);
    ASSERT_GE(full.lineCount(), 3);
    TextBlock kept = full.firstLines(2);
    EXPECT_EQ(kept.lineCount(), 2);
    EXPECT_TRUE(kept.lines().back().endsWith(ellipsis));
    EXPECT_LE(kept.width(), 60.0);
    EXPECT_EQ(full.firstLines(full.lineCount()).lines(), full.lines()) << "keeping all cuts nothing";
}

TEST(Stack, DrawsEverythingThatFitsAndNothingBelowTheFloor) {
    Canvas c;
    QPainter painter(&c.image);
    std::vector<std::pair<int, double>> log;
    Block more = recorded(log, 99, 10, 2);

    EXPECT_TRUE(stack(painter, {recorded(log, 1, 50), recorded(log, 2, 50, 10)}, 0, 110, more));
    EXPECT_EQ(log, (std::vector<std::pair<int, double>>{{1, 0}, {2, 60}})) << "exactly to the floor, no ellipsis";

    // Too much: blocks go in while they leave room for the ellipsis, which then follows.
    log.clear();
    EXPECT_FALSE(stack(painter, {recorded(log, 1, 50), recorded(log, 2, 50, 10), recorded(log, 3, 5)}, 0, 110, more));
    EXPECT_EQ(log, (std::vector<std::pair<int, double>>{{1, 0}, {99, 52}}));
}

TEST(Stack, RunningTextIsShortenedToTheRoomLeft) {
    Canvas c;
    QPainter painter(&c.image);
    std::vector<std::pair<int, double>> log;
    Block notes = recorded(log, 2, 300, 12);
    double offered = 0;
    notes.shorten = [&](double room) -> std::optional<Block> {
        offered = room;
        return recorded(log, 3, room - 1);
    };
    EXPECT_FALSE(stack(painter, {recorded(log, 1, 100), notes}, 36, 400, recorded(log, 99, 10)));
    EXPECT_DOUBLE_EQ(offered, 400 - 148);
    EXPECT_EQ(log, (std::vector<std::pair<int, double>>{{1, 36}, {3, 148}}));

    // A shortened copy that would still cross the floor is not drawn; the ellipsis is.
    log.clear();
    notes.shorten = [&](double room) -> std::optional<Block> { return recorded(log, 3, room + 5); };
    stack(painter, {recorded(log, 1, 100), notes}, 36, 400, recorded(log, 99, 10));
    EXPECT_EQ(log, (std::vector<std::pair<int, double>>{{1, 36}, {99, 136}}));
}

TEST(TextBlock, ATextOfAnyLengthIsLaidOutOnlyAsFarAsItsLinesReach) {
    Canvas c;
    // Ten million letters in one word and in words: one or two lines, cut, never all laid out.
    for (const QString& text : {QString(10'000'000, QLatin1Char('x')), QStringLiteral("word ").repeated(2'000'000)}) {
        TextBlock one(c.type, text, c.font, 300, 1);
        ASSERT_EQ(one.lineCount(), 1);
        EXPECT_TRUE(one.lines().front().endsWith(ellipsis));
        TextBlock two(c.type, text, c.font, 300, 2);
        ASSERT_EQ(two.lineCount(), 2);
        EXPECT_TRUE(two.lines().back().endsWith(ellipsis));
        EXPECT_LE(two.width(), 300.0);
    }
}

TEST(Leading, TakesTheStartOfAnyTextWithoutSplittingACharacter) {
    bool cut = false;
    EXPECT_EQ(leading("short", 100, 10, cut), QStringLiteral("short"));
    EXPECT_FALSE(cut);
    // "é" is two bytes and "𝄞" four (two UTF-16 units): neither is ever split.
    const std::string accents = "\u00e9\u00e9\u00e9\u00e9";
    EXPECT_EQ(leading(accents, 3, 10, cut), QStringLiteral("\u00e9\u00e9\u00e9"));
    EXPECT_TRUE(cut);
    const std::string clefs = "\U0001D11E\U0001D11E";
    EXPECT_EQ(leading(clefs, 3, 10, cut), QString::fromUtf8("\U0001D11E"));
    EXPECT_TRUE(cut);
    EXPECT_EQ(leading("a\nb\nc\nd", 100, 2, cut), QStringLiteral("a\nb"));
    EXPECT_TRUE(cut);
    EXPECT_EQ(leading("a\nb\n", 100, 2, cut), QStringLiteral("a\nb"));
    EXPECT_FALSE(cut);
    EXPECT_EQ(leading(std::string(50'000'000, 'x'), 10, 10, cut), QString(10, QLatin1Char('x')));
    EXPECT_TRUE(cut);
}

TEST(Typesetter, KeptWidthsAreTheMetricsOwnForEveryFontAndResolution) {
    // The same texts asked again, in fonts that differ in size, weight and hinting alone, and on
    // pages of two resolutions (one font sized in points on both, so its widths differ between
    // them): every width kept must be the one shaping the text gives there.
    QImage page(612, 792, QImage::Format_ARGB32_Premultiplied);
    QImage fine(612, 792, QImage::Format_ARGB32_Premultiplied);
    fine.setDotsPerMeterX(11811); // 300 dpi
    fine.setDotsPerMeterY(11811);
    QFont fixed(QStringLiteral("DejaVu Sans"));
    fixed.setPointSizeF(9);
    const QStringList texts{QStringLiteral("Report rate: 251 Hz"), QStringLiteral("Left stick"), QStringLiteral("fi ffl"),
                            QStringLiteral("Page 8888 of 8888"), QString()};
    for (int round = 0; round < 2; ++round)
        for (QImage* device : {&page, &fine}) {
            const Typesetter type(device);
            QFont hinted = type.font(9);
            hinted.setHintingPreference(QFont::PreferFullHinting);
            for (const QFont& font : {type.font(9), type.font(9, QFont::Bold), type.font(7), hinted, fixed})
                for (const QString& text : texts)
                    EXPECT_DOUBLE_EQ(type.advance(font, text), type.metrics(font).horizontalAdvance(text))
                        << text.toStdString() << " at " << font.key().toStdString() << " on " << device->logicalDpiY()
                        << " dpi, round " << round;
        }
}

namespace {

// A one-page PDF of 72 dpi painted by `paint`.
template <class Paint> QByteArray pdfPage(Paint paint) {
    return ReportPdf::painted([&](QPdfWriter& writer, QPainter& painter) { paint(painter, Typesetter(&writer)); });
}

} // namespace

TEST(TextBlock, OnAPdfPageItsLinesReadAsTheSameTextDrawnPlainly) {
    REQUIRE_PDF_TOOLS();
    // Each block twice (its lines shaped, then kept): left, right-aligned and centred, wrapped,
    // cut, bold, with letters a ligature would join and characters beyond Latin.
    struct Case {
        QString text;
        double points;
        QFont::Weight weight;
        double width;
        int lines;
        Qt::Alignment alignment;
    };
    const std::vector<Case> cases{
        {QStringLiteral("Report rate: 251.0 Hz"), 8.5, QFont::Normal, 200, 1, Qt::AlignLeft},
        {QStringLiteral("Page 3 of 12"), 7, QFont::Normal, 120, 1, Qt::AlignRight},
        {QStringLiteral("Left stick: 1.2% circularity"), 8, QFont::Normal, 104, 1, Qt::AlignHCenter},
        {QStringLiteral("The office fixture's fine flaps — Größe, ÆØÅ, Ελληνικά — and a line that wraps "
                        "over several lines of the column"),
         9, QFont::Normal, 160, TextBlock::unlimited, Qt::AlignLeft},
        {QStringLiteral("A headline far too long for its cell, which ends in an ellipsis"), 9, QFont::DemiBold, 120, 1,
         Qt::AlignLeft},
    };
    auto blocks = [&](QPainter& p, const Typesetter& type, bool plainly) {
        double top = 40;
        for (int round = 0; round < 2; ++round)
            for (const Case& c : cases) {
                TextBlock block(type, c.text, type.font(c.points, c.weight), c.width, c.lines);
                if (!plainly) {
                    block.paint(p, {40, top}, Qt::black, c.width, c.alignment);
                } else {
                    p.setFont(type.font(c.points, c.weight));
                    double baseline = top + block.ascent();
                    for (const QString& line : block.lines()) {
                        const double advance = type.metrics(type.font(c.points, c.weight)).horizontalAdvance(line);
                        double x = 40;
                        if (c.alignment & Qt::AlignRight) x += c.width - advance;
                        else if (c.alignment & Qt::AlignHCenter) x += (c.width - advance) / 2;
                        p.drawText(QPointF(x, baseline), line);
                        baseline += block.lineSpacing();
                    }
                }
                top += block.height() + 8;
            }
    };
    PdfTools::Document kept(pdfPage([&](QPainter& p, const Typesetter& type) { blocks(p, type, false); }));
    PdfTools::Document plain(pdfPage([&](QPainter& p, const Typesetter& type) { blocks(p, type, true); }));
    const auto keptWords = kept.words(1), plainWords = plain.words(1);
    ASSERT_GT(plainWords.size(), 40u);
    ASSERT_EQ(keptWords.size(), plainWords.size());
    for (std::size_t i = 0; i < plainWords.size(); ++i) {
        EXPECT_EQ(keptWords[i].text, plainWords[i].text);
        EXPECT_DOUBLE_EQ(keptWords[i].xMin, plainWords[i].xMin) << plainWords[i].text.toStdString();
        EXPECT_DOUBLE_EQ(keptWords[i].yMin, plainWords[i].yMin) << plainWords[i].text.toStdString();
        EXPECT_DOUBLE_EQ(keptWords[i].xMax, plainWords[i].xMax) << plainWords[i].text.toStdString();
    }
    EXPECT_EQ(kept.text(1), plain.text(1));
}

TEST(TextBlock, KeptLayoutsAreTheLayoutsOfTheirOwnFontColumnAndLineLimit) {
    // Texts that wrap, set in fonts, columns and line limits that differ by one thing at a time,
    // on pages of two resolutions: each laid out on a thread of its own (nothing kept there) must
    // come out as it does here, where everything is laid out in one order and then in the other,
    // the second time from what was kept.
    QImage page(612, 792, QImage::Format_ARGB32_Premultiplied);
    QImage fine(612, 792, QImage::Format_ARGB32_Premultiplied);
    fine.setDotsPerMeterX(11811); // 300 dpi
    fine.setDotsPerMeterY(11811);
    const QStringList texts{
        QStringLiteral("Thresholds are the tester's settings, not manufacturer specifications, and they wrap."),
        QStringLiteral("Left stick raw: 12.5% circularity"), QStringLiteral("one\ntwo three four five six")};
    struct Setting {
        QImage* device;
        double points;
        QFont::Weight weight;
        QString text;
        double width;
        int lines;
    };
    std::vector<Setting> settings;
    for (QImage* device : {&page, &fine})
        for (auto [points, weight] : {std::pair{9.0, QFont::Normal}, {9.0, QFont::Bold}, {7.0, QFont::Normal}})
            for (const QString& text : texts)
                for (double width : {80.0, 81.0, 160.0})
                    for (int lines : {1, 2, TextBlock::unlimited})
                        settings.push_back({device, points, weight, text, width, lines});
    struct Laid {
        QStringList lines;
        double width = 0, height = 0;
        bool operator==(const Laid&) const = default;
    };
    auto lay = [](const Setting& s) {
        const Typesetter type(s.device);
        const TextBlock block(type, s.text, type.font(s.points, s.weight), s.width, s.lines);
        return Laid{block.lines(), block.width(), block.height()};
    };
    std::vector<Laid> fresh(settings.size()), forward(settings.size()), backward(settings.size());
    for (std::size_t i = 0; i < settings.size(); ++i) std::thread([&, i] { fresh[i] = lay(settings[i]); }).join();
    for (std::size_t i = 0; i < settings.size(); ++i) forward[i] = lay(settings[i]);
    for (std::size_t i = settings.size(); i-- > 0;) backward[i] = lay(settings[i]);
    for (std::size_t i = 0; i < settings.size(); ++i) {
        EXPECT_EQ(forward[i], fresh[i]) << settings[i].text.toStdString() << " in " << settings[i].width;
        EXPECT_EQ(backward[i], fresh[i]) << settings[i].text.toStdString() << " in " << settings[i].width;
    }
}
