// What a report page shows and where: the texts built from the session, the header variants,
// notes only at the end, and the fullest page keeping its footer whole inside the sheet.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>

#include "PdfTools.h"
#include "app/report/ReportPage.h"
#include "support/ChecklistSamples.h"
#include "testkit/EndedEarly.h"
#include "support/ReportSamples.h"

using namespace Tessarine;
using RorozErurEvo::Limit;
using RorozErurEvo::Measure;
using RorozErurEvo::MeasureUnit;
using RorozErurEvo::TestResult;
using RorozErurEvo::TestSession;

namespace {

using Rows = std::vector<std::pair<QString, QString>>;

QByteArray render(const std::vector<TestSession>& sessions, std::optional<ReportPDF::Branding> branding = {}) {
    const AppInfo app{.version = QStringLiteral("2.4.1"), .scopeNote = AppInfo::current().scopeNote};
    return ReportPDF::render(ReportInput{.sessions = sessions, .branding = std::move(branding), .app = app});
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

// A plot's caption never quotes a passing error beside a failed result: what failed it is said
// instead, and a run that ended early says so. A result saved before its headline named the
// measure reads the same, as the caption is worded from the measures.
TEST(ReportPageText, APlotCaptionSaysWhatDecidedTheVerdict) {
    TestResult shortOfEdge = ReportSamples::plotted("Left stick", 0.0576);
    shortOfEdge.measures.push_back(Measure{"short", "Directions short of the edge", 0.319, MeasureUnit::percent,
                                           Limit{0.1, 0.3, Limit::Direction::above}});
    shortOfEdge.verdict = RorozErurEvo::Verdict::fail;
    shortOfEdge.headline = "5.8% circularity"; // as saved before
    EXPECT_EQ(ReportText::plotCaption(shortOfEdge), "Left stick: 31.9% of directions short of the edge");
    EXPECT_EQ(ReportText::plotCaption(RorozErurEvo::EndedEarly::mark(shortOfEdge, "1.6 of 3 turns")),
              "Left stick: 31.9% of directions short of the edge (ended early)");
    const TestResult early = RorozErurEvo::EndedEarly::mark(ReportSamples::plotted("Left stick", 0.021), "1.6 of 3 turns");
    EXPECT_EQ(ReportText::plotCaption(early), "Left stick: 2.1% circularity (ended early)");
}

TEST(ReportPage, TheMeasuredCellShowsTheDecidingMeasureAndNeverCutsANumber) {
    REQUIRE_PDF_TOOLS();
    using RorozErurEvo::TestResult;
    auto result = [](RorozErurEvo::TestKind kind, std::vector<Measure> measures) {
        return TestResult(kind, "Left stick", RorozErurEvo::ValueSource::processed, std::nullopt, "checked",
                          std::move(measures), {});
    };
    const Limit above{0.08, 0.15, Limit::Direction::above};
    TestSession s = ReportSamples::session(0);
    // The fail came from the second measure; the first, with a limit too, passed.
    s.results.push_back(result(RorozErurEvo::TestKind::circularity,
                               {Measure{"error", "Average circularity error", 0.058, MeasureUnit::percent, above},
                                Measure{"short", "Directions short of the edge", 0.319, MeasureUnit::percent,
                                        Limit{0.10, 0.20, Limit::Direction::above}}}));
    // A label far wider than the column: the label gives way, the value stays whole.
    s.results.push_back(result(
        RorozErurEvo::TestKind::deadzone,
        {Measure{"travel", "Travel before the value changes, measured on raw HID travel against the processed value",
                 1.002, MeasureUnit::percent, Limit{0.08, 0.15, Limit::Direction::above}}}));
    PdfTools::Document pdf(render({s}));
    const QString text = pdf.text(1);
    EXPECT_TRUE(text.contains(QStringLiteral("Directions short of the edge: 31.9%"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("warn > 10%, fail > 20%"))) << "the deciding measure's limit";
    EXPECT_FALSE(text.contains(QStringLiteral("5.8%"))) << "the measure that passed is not the one shown";
    EXPECT_TRUE(pdf.flatText(1).contains(QStringLiteral("100.2%")));
    EXPECT_TRUE(text.contains(QStringLiteral("Travel before"))) << "the label starts the cell";
    // Whatever was shortened, no number on the page ends in an ellipsis.
    static const QRegularExpression cutNumber(QStringLiteral("\\d\\s*\\x{2026}"));
    EXPECT_FALSE(text.contains(cutNumber)) << text.toStdString();
}

// Every item of every checklist not working, in the narrowest Test column a session gives (its
// Measured and Limit columns at their widest): each headline is printed whole, on the lines it
// takes, and names its test.
TEST(ReportPage, AChecklistFailedWholeIsPrintedWhole) {
    REQUIRE_PDF_TOOLS();
    TestSession s = ReportSamples::session(0);
    s.results = ChecklistSamples::allFailed(ReportSamples::day());
    const Measure wide{"late", "Slowest press of every button on the pad", 1234.5, MeasureUnit::milliseconds,
                       Limit{1000.25, 2000.25, Limit::Direction::above}};
    s.results.push_back(RorozErurEvo::TestResult(RorozErurEvo::TestKind::buttons, "", RorozErurEvo::ValueSource::processed,
                                                 std::nullopt, "all 14 buttons OK", {wide}, {}));
    s.results.push_back(RorozErurEvo::TestResult(RorozErurEvo::TestKind::touchpad, "Touchpad",
                                                 RorozErurEvo::ValueSource::processed, std::nullopt,
                                                 "both fingers track", {}, {}));
    PdfTools::Document pdf(render({s}));
    QString text;
    for (int n = 1; n <= pdf.pageCount(); ++n) text += pdf.flatText(n) + QLatin1Char(' ');
    for (const auto& result : ChecklistSamples::allFailed())
        EXPECT_TRUE(text.contains(QString::fromStdString(result.headline))) << result.headline << "\n" << text.toStdString();
    EXPECT_EQ(text.count(QChar(0x2026)), text.count(QStringLiteral("\u2026: 1234 ms")))
        << "nothing is cut but the wide measure's label: " << text.toStdString();
    EXPECT_EQ(pdf.pageCount(), 1) << "the rows fit a page";
    EXPECT_FALSE(text.contains(QStringLiteral("Touchpad: Touchpad"))) << text.toStdString();
}

TEST(ReportPageText, ThePageLineOnlyForReportsOfSeveralPages) {
    TestSession s = ReportSamples::session(0);
    ReportPDF::Page page{.session = &s};
    EXPECT_EQ(ReportText::pageLine(page), "");
    page.number = 2;
    page.of = 3;
    EXPECT_EQ(ReportText::pageLine(page), "Page 2 of 3");
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

TEST(ReportPage, TheFullestPagesKeepTheirWholeFooterInsideTheSheet) {
    REQUIRE_PDF_TOOLS();
    PdfTools::Document pdf(render({ReportSamples::worstCase()}));
    ASSERT_GE(pdf.pageCount(), 2);
    for (int n = 1; n <= pdf.pageCount(); ++n) {
        auto words = pdf.words(n);
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
        EXPECT_GE(footerTop - contentBottom, 20) << "the content stops above the rule over the footer, page " << n;

        QString text = pdf.flatText(n);
        EXPECT_TRUE(text.contains(AppInfo::current().scopeNote)) << n;
        EXPECT_TRUE(text.contains(QStringLiteral("not manufacturer specifications."))) << n;
        EXPECT_TRUE(text.contains(QStringLiteral("Made with Tessarine 2.4.1"))) << n;
    }
    EXPECT_TRUE(pdf.flatText(1).contains(QChar(0x2026))) << "a headline too long for its row ends in an ellipsis";
}

TEST(ReportPage, PlotsAndTimelinesThatFindNoRoomContinueOnTheSessionsNextPages) {
    REQUIRE_PDF_TOOLS();
    // Eighteen results with long headlines leave no room under the table on the first page.
    TestSession full = ReportSamples::worstCase();
    // Eight soak timelines more than one page holds below a table: they carry on page after page.
    TestSession soaks = ReportSamples::session(0);
    for (int i = 0; i < 18; ++i) soaks.results.push_back(ReportSamples::soaked("soak " + std::to_string(i) + " ended"));
    PdfTools::Document pdf(render({full, soaks, ReportSamples::session(1)}));

    QStringList pages;
    for (int n = 1; n <= pdf.pageCount(); ++n) pages << pdf.flatText(n);
    auto pagesWith = [&](const QString& text) {
        QList<int> found;
        for (int n = 0; n < pages.size(); ++n)
            if (pages[n].contains(text)) found << n + 1;
        return found;
    };
    // The first session: its table on page 1, its four plots and its timeline after it.
    for (const char* caption : {"Left stick: 1.2% circularity", "Right stick: 2.4% circularity",
                                "Left stick raw: 3.6% circularity", "Right stick raw: 4.8% circularity"})
        EXPECT_EQ(pagesWith(QLatin1String(caption)).size(), 1) << caption;
    EXPECT_GT(pagesWith(QStringLiteral("Left stick: 1.2% circularity")).front(), 1);
    EXPECT_EQ(pagesWith(QStringLiteral("Wireless soak timeline: 2 dropouts")).size(), 1);
    EXPECT_EQ(pagesWith(QStringLiteral("Notes")).size(), 1);
    const int firstPages = pagesWith(QStringLiteral("Notes")).front();
    EXPECT_TRUE(pages[firstPages - 1].contains(QStringLiteral("Page %1 of %1").arg(firstPages)));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Results, continued")));

    // The second session: every timeline once, in order, the pages numbered with the session's.
    int last = 0;
    for (int i = 0; i < 18; ++i) {
        auto found = pagesWith(QStringLiteral("Wireless soak timeline: soak %1 ended").arg(i));
        ASSERT_EQ(found.size(), 1) << i;
        EXPECT_GE(found.front(), last) << i;
        last = found.front();
    }
    const int soakPages = last - firstPages;
    EXPECT_GE(soakPages, 3);
    for (int k = 1; k <= soakPages; ++k)
        EXPECT_TRUE(pages[firstPages + k - 1].contains(QStringLiteral("Page %1 of %2").arg(k).arg(soakPages))) << k;
    // The third session's one page follows, unnumbered.
    EXPECT_EQ(pdf.pageCount(), last + 1);
    EXPECT_FALSE(pages.back().contains(QStringLiteral("Page ")));
    for (const QString& page : pages) EXPECT_FALSE(page.contains(QStringLiteral("\u2026 Page"))) << "nothing dropped";
}

TEST(ReportPage, NotesOfAnyLengthAreCutToTheirPageWithAWordWhereTheRestIs) {
    REQUIRE_PDF_TOOLS();
    // Each session's notes are made in place: 200 MB is made once, never copied.
    auto fill = [](std::string& text, std::string_view piece, std::size_t bytes) {
        text.reserve(bytes + piece.size());
        while (text.size() < bytes) text += piece;
    };
    const std::size_t mb = 1024 * 1024;
    const char* names[] = {"31 MB of words", "31 MB of lines", "31 MB in one word", "200 MB of words"};
    for (int c = 0; c < 4; ++c) {
        TestSession s = ReportSamples::session(3);
        if (c == 0) fill(s.notes, "Replaced the stick module and cleaned the pad. ", 31 * mb);
        if (c == 1) fill(s.notes, "line\n", 31 * mb);
        if (c == 2) s.notes.assign(31 * mb, 'x');
        if (c == 3) fill(s.notes, "Replaced the stick module and cleaned the pad. ", 200 * mb);
        const char* name = names[c];
        const QByteArray bytes = render({s});
        PdfTools::Document pdf(bytes);
        ASSERT_EQ(pdf.pageCount(), 1) << name;
        const QString text = pdf.flatText(1);
        EXPECT_TRUE(text.contains(QStringLiteral("Notes"))) << name;
        EXPECT_TRUE(text.contains(QString::fromStdString(s.notes.substr(0, 4)))) << name;
        EXPECT_TRUE(text.contains(QStringLiteral("\u2026 The full notes are in the session file."))) << name;
        EXPECT_LT(bytes.size(), 1024 * 1024) << name << ": one page of text";
    }

    // Notes that fit are whole, without the line.
    TestSession shortNotes = ReportSamples::session(3);
    shortNotes.notes = "Cleaned the left stick.";
    const QString text = PdfTools::Document(render({shortNotes})).flatText(1);
    EXPECT_TRUE(text.contains(QStringLiteral("Notes Cleaned the left stick.")));
    EXPECT_FALSE(text.contains(QStringLiteral("The full notes")));
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
