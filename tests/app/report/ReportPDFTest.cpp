// The report's pages and its document: pagination, the PDF's metadata, texts and geometry, and the
// shared logo.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "PdfTools.h"
#include "app/report/ReportPDF.h"
#include "support/ReportSamples.h"

using namespace Tessarine;
using RorozErurEvo::TestSession;

namespace {

const AppInfo app{.version = QStringLiteral("2.4.1"), .scopeNote = AppInfo::current().scopeNote};

ReportInput input(const std::vector<TestSession>& sessions, std::optional<ReportPDF::Branding> branding = {}) {
    return ReportInput{.sessions = sessions, .branding = std::move(branding), .app = app};
}

std::vector<std::pair<int, int>> numbering(const std::vector<ReportPDF::Page>& pages) {
    std::vector<std::pair<int, int>> result;
    for (const auto& page : pages) result.emplace_back(page.number, page.of);
    return result;
}

QImage logo() {
    QImage image(320, 160, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(10, 10, 300, 140, QColor(20, 120, 200));
    p.fillRect(60, 40, 80, 80, QColor(240, 180, 20));
    return image;
}

} // namespace

TEST(ReportPDF, ASessionIsCutIntoPagesOfEighteenResultsAndAlwaysHasOne) {
    for (auto [results, expected] : std::vector<std::pair<int, std::vector<std::size_t>>>{
             {0, {0}}, {18, {18}}, {19, {18, 1}}, {36, {18, 18}}, {37, {18, 18, 1}}}) {
        const TestSession session = ReportSamples::session(results);
        auto pages = ReportPDF::pagesFor(session);
        std::vector<std::size_t> sizes;
        for (const auto& page : pages) sizes.push_back(page.results.size());
        EXPECT_EQ(sizes, expected) << results << " results";
    }
}

// A headline too long for one line keeps what ends it on a second line (a failed keyboard's board,
// a checklist's count), and a page of such rows holds fewer than eighteen rather than passing the
// footer: every row is printed once, in order, whole.
TEST(ReportPDF, HeadlinesOfTwoLinesAreKeptWholeAndTheirRowsGoOnTheNextPage) {
    REQUIRE_PDF_TOOLS();
    const std::string headline = ReportSamples::longText(16) + " of the full-size board";
    const TestSession session = ReportSamples::session(18, false, false, headline);
    const auto pages = ReportPDF::pagesFor(session);
    std::vector<const RorozErurEvo::TestResult*> printed;
    for (const auto& page : pages) printed.insert(printed.end(), page.results.begin(), page.results.end());
    ASSERT_EQ(printed.size(), 18u);
    for (std::size_t i = 0; i < printed.size(); ++i) EXPECT_EQ(printed[i], &session.results[session.sortedOrder()[i]]);
    EXPECT_GT(pages.size(), 1u) << "eighteen two-line rows do not fit one page";

    PdfTools::Document pdf(ReportPDF::render(input({session})));
    QString text;
    for (int n = 1; n <= pdf.pageCount(); ++n) text += pdf.flatText(n);
    EXPECT_EQ(text.count(QStringLiteral("of the full-size board")), 18) << text.toStdString();
}

// A headline no analysis writes (a file's own megabyte, of the widest letters, without a space)
// is cut to the lines a row gives it: every row still stands whole above its page's footer.
TEST(ReportPDF, TheTallestRowsStandAboveTheFooter) {
    REQUIRE_PDF_TOOLS();
    const TestSession session = ReportSamples::session(18, false, false, std::string(1u << 20, 'W'));
    PdfTools::Document pdf(ReportPDF::render(input({session})));
    ASSERT_GT(pdf.pageCount(), 1);
    int rows = 0;
    for (int n = 1; n <= pdf.pageCount(); ++n) {
        const auto words = pdf.words(n);
        double footerTop = 792;
        for (const auto& w : words)
            if (w.text == QStringLiteral("Made")) footerTop = std::min(footerTop, w.yMin);
        ASSERT_LT(footerTop, 792) << n;
        for (const auto& w : words) {
            if (w.text.startsWith(QStringLiteral("WWW"))) {
                EXPECT_LT(w.yMax, footerTop - 10) << "page " << n;
            }
            rows += w.text == QStringLiteral("Drift");
        }
        EXPECT_TRUE(pdf.flatText(n).contains(QChar(0x2026))) << "a cut headline ends in an ellipsis, page " << n;
    }
    EXPECT_EQ(rows, 18) << "every row printed once";
}

TEST(ReportPDF, PagesFollowTheReportOrderAndNumberEachSessionFromOne) {
    const std::vector<TestSession> sessions{ReportSamples::session(20, true, true), ReportSamples::session(5)};
    const TestSession& first = sessions[0];
    auto pages = ReportPDF::pages(input(sessions));
    // Eighteen rows leave no room for the plots of the first page's three circularity results:
    // they follow the table's last two rows on the next page, with the fourth plot and the
    // timeline.
    EXPECT_EQ(numbering(pages), (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}, {1, 1}}));
    EXPECT_EQ(pages[0].session, &sessions[0]);
    EXPECT_EQ(pages[2].session, &sessions[1]);
    EXPECT_TRUE(pages[0].plotted.empty());
    EXPECT_TRUE(pages[0].soaked.empty());
    EXPECT_TRUE(pages[1].table);
    EXPECT_EQ(pages[1].results.size(), 2u);
    EXPECT_EQ(pages[1].plotted.size(), 4u);
    EXPECT_EQ(pages[1].soaked.size(), 1u);

    // The pages hold the results in report order (kinds in catalogue order), not as stored.
    auto sorted = first.sortedResults();
    std::vector<RorozErurEvo::TestResult> joined;
    for (int n = 0; n < 2; ++n)
        for (const auto* result : pages[n].results) joined.push_back(*result);
    EXPECT_EQ(joined, sorted);
    EXPECT_NE(first.results.front().kind, sorted.front().kind) << "the sample must need sorting";
}

TEST(ReportPDF, TheTableReadsInOneRunWithItsFiguresAfterItsLastRow) {
    // Plots in every eighteen rows and timelines among them: no figure may come between two rows.
    TestSession many = ReportSamples::session(40, true, true);
    for (int i = 0; i < 3; ++i)
        many.results.push_back(ReportSamples::plotted("Stick " + std::to_string(i), 0.03));
    many.results.push_back(ReportSamples::soaked());
    for (int results : {20, 21, 22, 36, 44}) {
        TestSession session = ReportSamples::session(results, true, true);
        if (results == 44) session = many;
        auto pages = ReportPDF::pagesFor(session);
        std::size_t rows = 0, plots = 0, soaks = 0;
        bool figures = false;
        for (const auto& page : pages) {
            EXPECT_FALSE(figures && !page.results.empty())
                << results << ": rows after figures on page " << page.number;
            figures = figures || !page.plotted.empty() || !page.soaked.empty();
            rows += page.results.size();
            plots += page.plotted.size();
            soaks += page.soaked.size();
        }
        EXPECT_EQ(rows, session.results.size()) << results;
        // The first four of every eighteen rows: of 44, rows 19 to 36 hold one, rows 37 to 44 six.
        EXPECT_EQ(plots, results == 44 ? 5u : 4u) << results;
        EXPECT_EQ(soaks, results == 44 ? 2u : 1u) << results;
        if (results <= 22) {
            EXPECT_EQ(pages.size(), 2u) << results << " results fit two pages";
        }
    }
}

TEST(ReportPDF, ATwentyTwoResultSessionWithPlotsPrintsOnTwoPagesTableFirst) {
    REQUIRE_PDF_TOOLS();
    const TestSession session = ReportSamples::session(22, true, true);
    PdfTools::Document pdf(ReportPDF::render(input({session})));
    ASSERT_EQ(pdf.pageCount(), 2);
    // The top of the first `word` on page `n`; -1 when there is none.
    auto top = [&](int n, const QString& word) {
        for (const auto& w : pdf.words(n))
            if (w.text == word) return w.yMin;
        return -1.0;
    };
    // The last row (the soak result's, measuring dropouts) stands above the plots' captions,
    // and they above the timeline.
    const double lastRow = top(2, QStringLiteral("Dropouts"));
    const double plots = top(2, QStringLiteral("circularity"));
    const double timeline = top(2, QStringLiteral("timeline:"));
    EXPECT_GT(lastRow, 0);
    EXPECT_GT(plots, lastRow);
    EXPECT_GT(timeline, plots);
    EXPECT_EQ(top(1, QStringLiteral("circularity")), -1) << "no plot between the rows of page 1 and page 2";
    EXPECT_FALSE(pdf.flatText(2).contains(QChar(0x2026))) << "nothing cut";
}

TEST(ReportPDF, AnEmptyListIsAnErrorNotAnEmptyDocument) {
    EXPECT_THROW(ReportPDF::render(input({})), ReportPDF::Error);
}

TEST(ReportPDF, TheDocumentIsLetterSizedWithItsTitleCreatorAndPageLines) {
    REQUIRE_PDF_TOOLS();
    // The footer says what it is given, not what this program would say of itself.
    const AppInfo other{.version = QStringLiteral("2.4.1"), .scopeNote = QStringLiteral("Bench note for the test run.")};
    const std::vector<TestSession> sessions{ReportSamples::session(20), ReportSamples::session(5)};
    QByteArray bytes = ReportPDF::render(ReportInput{.sessions = sessions, .app = other});
    ASSERT_TRUE(bytes.startsWith("%PDF-"));
    PdfTools::Document pdf(bytes);
    QString info = pdf.info();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Tessarine report")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Creator:\\s+Tessarine\\n")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("612 x 792 pts (letter)"))) << info.toStdString();
    ASSERT_EQ(pdf.pageCount(), 3);

    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Page 1 of 2")));
    EXPECT_FALSE(pdf.text(1).contains(QStringLiteral("Results, continued")));
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("Page 2 of 2")));
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("Results, continued")));
    EXPECT_FALSE(pdf.text(3).contains(QStringLiteral("Page "))) << "a one-page report has no page line";
    for (int n = 1; n <= 3; ++n) {
        QString text = pdf.flatText(n);
        EXPECT_TRUE(text.contains(QStringLiteral("Made with Tessarine 2.4.1"))) << n;
        EXPECT_TRUE(text.contains(QStringLiteral("Bench note for the test run. Not affiliated with Sony, Microsoft or Nintendo."))) << n;
        EXPECT_TRUE(text.contains(QStringLiteral("Thresholds are the tester's settings, not manufacturer "
                                                 "specifications.")))
            << n;
        EXPECT_TRUE(text.contains(QStringLiteral("Controller test report"))) << "the header repeats on page " << n;
        EXPECT_TRUE(text.contains(QStringLiteral("SN-4411"))) << "the unit grid repeats on page " << n;
    }
}

TEST(ReportPDF, ALogoOnEveryPageIsStoredOnce) {
    std::optional<ReportPDF::Branding> branded = ReportPDF::Branding{"Fixit Shop", "", logo()};
    std::vector<TestSession> threePages{ReportSamples::session(40)};
    QByteArray plain = ReportPDF::render(input(threePages));
    QByteArray withLogo = ReportPDF::render(input(threePages, branded));
    QByteArray onePage = ReportPDF::render(input({ReportSamples::session(2)}, branded));
    QByteArray onePagePlain = ReportPDF::render(input({ReportSamples::session(2)}));
    auto images = [](const QByteArray& pdf) { return pdf.count("/Subtype /Image"); };
    EXPECT_EQ(images(withLogo) - images(plain), images(onePage) - images(onePagePlain));
    // Three pages grow by about what one page grows by (one picture), not three times as much.
    qsizetype perPicture = onePage.size() - onePagePlain.size();
    EXPECT_LT(withLogo.size() - plain.size(), perPicture * 3 / 2);
}
