// What a report page shows and where: the texts built from the session, the header variants,
// notes only at the end, and the fullest page keeping its footer whole inside the sheet.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>

#include "PdfTools.h"
#include "app/model/AppModel.h"
#include "app/report/ReportPage.h"
#include "support/ReportSamples.h"

using namespace Tessarine;
using RorozErurEvo::Limit;
using RorozErurEvo::Measure;
using RorozErurEvo::MeasureUnit;
using RorozErurEvo::TestSession;

namespace {

using Rows = std::vector<std::pair<QString, QString>>;

QByteArray render(const std::vector<TestSession>& sessions, std::optional<ReportPDF::Branding> branding = {}) {
    return ReportPDF::render(sessions, branding, QStringLiteral("2.4.1"));
}

} // namespace

TEST(ReportPageText, GridsLeaveOutRowsWithoutAValue) {
    TestSession bare = ReportSamples::session(0);
    bare.label = bare.ticket = bare.technician = "";
    bare.profile.reset();
    bare.device = RorozErurEvo::DeviceInfo{.name = "Pad", .transport = ""};
    EXPECT_EQ(ReportText::unitRows(bare), (Rows{{"Unit", "SN-4411"}}));
    EXPECT_EQ(ReportText::deviceRows(bare), (Rows{{"Device", "Pad"}})) << "an empty connection is left out";

    TestSession full = ReportSamples::session(0);
    EXPECT_EQ(ReportText::unitRows(full), (Rows{{"Unit", "SN-4411"},
                                                {"Stage", "After repair"},
                                                {"Ticket", "T-1009"},
                                                {"Technician", "Robin"},
                                                {"Limits", "Standard limits"}}));
    EXPECT_EQ(ReportText::deviceRows(full).size(), 7u);
}

TEST(ReportPageText, CellsOfResultsWithAndWithoutMeasuresOrLimits) {
    using RorozErurEvo::TestResult;
    auto result = [](std::vector<Measure> measures) {
        return TestResult(RorozErurEvo::TestKind::drift, "Left stick", RorozErurEvo::ValueSource::processed,
                          std::nullopt, "fine", std::move(measures), {});
    };
    Measure rate{"rate", "Report rate", 250, MeasureUnit::hertz, std::nullopt};
    Measure offset{"drift", "Rest offset", 0.021, MeasureUnit::percent, Limit{0.04, 0.08, Limit::Direction::above}};

    EXPECT_EQ(ReportText::measured(result({})), "");
    EXPECT_EQ(ReportText::limit(result({})), "");
    EXPECT_EQ(ReportText::measured(result({rate})), "Report rate: 250 Hz");
    EXPECT_EQ(ReportText::limit(result({rate})), "") << "a measure without a limit";
    // The main measure is the first one with a limit.
    EXPECT_EQ(ReportText::measured(result({rate, offset})), "Rest offset: 2.1%");
    EXPECT_EQ(ReportText::limit(result({rate, offset})), QString::fromStdString(offset.limit->text(offset.unit)));

    EXPECT_EQ(ReportText::plotCaption(ReportSamples::plotted("Left stick", 0.034)), "Left stick: 3.4% circularity");
    EXPECT_EQ(ReportText::plotCaption(result({rate})), "Left stick:  circularity");
}

TEST(ReportPageText, ThePageLineOnlyForReportsOfSeveralPages) {
    TestSession s = ReportSamples::session(0);
    EXPECT_EQ(ReportText::pageLine(ReportPDF::Page{s, {}, 1, 1}), "");
    EXPECT_EQ(ReportText::pageLine(ReportPDF::Page{s, {}, 2, 3}), "Page 2 of 3");
}

TEST(ReportPage, TheTitleBlockFollowsTheBranding) {
    REQUIRE_PDF_TOOLS();
    std::vector<TestSession> one{ReportSamples::session(3)};
    QImage logo(40, 40, QImage::Format_RGB32);
    logo.fill(Qt::darkCyan);

    QByteArray plainPdf = render(one);
    QStringList plain = PdfTools::Document(plainPdf).text(1).split(QLatin1Char('\n'));
    ASSERT_GE(plain.size(), 2);
    EXPECT_TRUE(plain[0].startsWith(QStringLiteral("Controller test report")));
    EXPECT_TRUE(plain[1].trimmed().startsWith(QStringLiteral("Tessarine")));

    QString company =
        PdfTools::Document(render(one, ReportPDF::Branding{"Fixit Shop", "fixit@example.com", QImage()})).text(1);
    QStringList lines = company.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("Fixit Shop")));
    EXPECT_TRUE(company.indexOf(QStringLiteral("fixit@example.com")) < company.indexOf(QStringLiteral("Controller test report")))
        << "the company takes the large line, the report's title moves below it";

    QByteArray logoOnly = render(one, ReportPDF::Branding{"", "", logo});
    EXPECT_TRUE(PdfTools::Document(logoOnly).flatText(1).startsWith(QStringLiteral("Controller test report")));
    EXPECT_EQ(logoOnly.count("/Subtype /Image") - plainPdf.count("/Subtype /Image"), 1);
}

TEST(ReportPage, NotesAppearOnlyOnTheLastPageOfTheirSession) {
    REQUIRE_PDF_TOOLS();
    TestSession twoPages = ReportSamples::session(20);
    twoPages.notes = "Replaced the left stick module.";
    TestSession noNotes = ReportSamples::session(1);
    PdfTools::Document pdf(render({twoPages, noNotes}));
    ASSERT_EQ(pdf.pageCount(), 3);
    EXPECT_FALSE(pdf.text(1).contains(QStringLiteral("Notes")));
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("Notes")));
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("Replaced the left stick module.")));
    EXPECT_FALSE(pdf.text(3).contains(QStringLiteral("Notes")));
}

TEST(ReportPage, TheFullestPageKeepsItsWholeFooterInsideTheSheet) {
    REQUIRE_PDF_TOOLS();
    PdfTools::Document pdf(render({ReportSamples::worstCase()}));
    ASSERT_EQ(pdf.pageCount(), 1);
    auto words = pdf.words(1);
    ASSERT_FALSE(words.empty());
    for (const auto& w : words) {
        EXPECT_GE(w.xMin, 0) << w.text.toStdString();
        EXPECT_LE(w.xMax, 612) << w.text.toStdString();
        EXPECT_GE(w.yMin, 0) << w.text.toStdString();
        EXPECT_LE(w.yMax, 792) << w.text.toStdString();
    }

    // The footer starts with the disclaimer's first word at the left margin, lowest on the page.
    auto footerStart = std::max_element(words.begin(), words.end(), [](const auto& a, const auto& b) {
        bool aFirst = a.text == QStringLiteral("Tessarine") && a.xMin < 40;
        bool bFirst = b.text == QStringLiteral("Tessarine") && b.xMin < 40;
        return aFirst != bFirst ? bFirst : (aFirst && a.yMin < b.yMin);
    });
    double footerTop = footerStart->yMin;
    double contentBottom = 0;
    for (const auto& w : words)
        if (w.yMin < footerTop - 1) contentBottom = std::max(contentBottom, w.yMax);
    EXPECT_GE(footerTop - contentBottom, 20) << "the content stops above the rule over the footer";

    QString text = pdf.flatText(1);
    EXPECT_TRUE(text.contains(AppModel::scopeNote()));
    EXPECT_TRUE(text.contains(QStringLiteral("not manufacturer specifications.")));
    EXPECT_TRUE(text.contains(QStringLiteral("Made with Tessarine 2.4.1")));
    EXPECT_TRUE(text.contains(QChar(0x2026))) << "what did not fit ends in an ellipsis";
}

TEST(ReportPage, APageShowsTheFirstFourPlotsAndEverySoakTimeline) {
    REQUIRE_PDF_TOOLS();
    TestSession s = ReportSamples::session(0);
    for (const char* stick : {"Stick A", "Stick B", "Stick C", "Stick D", "Stick E", "Stick F"})
        s.results.push_back(ReportSamples::plotted(stick, 0.021));
    s.results.push_back(ReportSamples::soaked("1 dropout in 10:00"));
    QString text = PdfTools::Document(render({s})).flatText(1);
    for (const char* shown : {"Stick A: 2.1% circularity", "Stick D: 2.1% circularity"})
        EXPECT_TRUE(text.contains(QLatin1String(shown))) << shown;
    EXPECT_FALSE(text.contains(QStringLiteral("Stick E: 2.1% circularity")));
    EXPECT_TRUE(text.contains(QStringLiteral("Wireless soak timeline: 1 dropout in 10:00")));
    EXPECT_TRUE(text.contains(QStringLiteral("dropout"))) << "the strip's legend";
    EXPECT_FALSE(text.contains(QChar(0x2026))) << "this page fits whole";
}
