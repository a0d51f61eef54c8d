// The application's report through the model: saving a PDF with the model's branding, and
// printing after the print panel, with its failures toasted; the printed pages on any paper.
#include "app/model/CommandFakes.h" // first: HIDTap.h must come before any Qt header

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/report/PdfTools.h"
#include "app/report/ReportPDF.h"
#include "app/views/shell/ReportService.h"
#include "support/ReportSamples.h"

using namespace Tessarine;

namespace {

struct ReportFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    std::shared_ptr<Fakes::Chooser> chooser = std::make_shared<Fakes::Chooser>();
    QString printedTo;
    bool answerPanel = true;

    ReportFixture() {
        model.setFileChooser(chooser);
        model.setReportRenderer(std::make_shared<ReportService>(nullptr, [this](QPrinter& printer, QWidget*) {
            if (!answerPanel) return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printedTo);
            return true;
        }));
    }
    QString path(const QString& name) const { return bench.folder.filePath(name); }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString text(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }
};

} // namespace

TEST_F(ReportFixture, SavingWritesTheReportWithTheCompanyFromTheSettings) {
    model.settings().setCompanyName("Fixit Shop");
    chooser->answer = path(QStringLiteral("unit.pdf"));
    model.exportPDF({ReportSamples::session(3)}, "SN-4411");
    bench.executor->runAll(); // the file is written off the main thread
    EXPECT_EQ(model.toast(), "Report saved");
    EXPECT_TRUE(read(path(QStringLiteral("unit.pdf"))).startsWith("%PDF-"));
    EXPECT_TRUE(text(path(QStringLiteral("unit.pdf"))).startsWith(QStringLiteral("Fixit Shop")));
}

TEST_F(ReportFixture, AReportThatCannotBeWrittenSaysWhyAndLeavesNothingBehind) {
    QString blocker = path(QStringLiteral("not-a-folder"));
    { QFile file(blocker); ASSERT_TRUE(file.open(QIODevice::WriteOnly)); }
    chooser->answer = blocker + QStringLiteral("/unit.pdf");
    QStringList before = QDir(bench.folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    model.exportPDF({ReportSamples::session(3)}, "SN-4411");
    bench.executor->runAll();
    ASSERT_TRUE(model.toast().has_value());
    EXPECT_TRUE(model.toast()->starts_with("Couldn't save the report: ")) << *model.toast();
    EXPECT_EQ(QDir(bench.folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

TEST_F(ReportFixture, PrintingPaintsEveryPageAfterThePanel) {
    printedTo = path(QStringLiteral("printed.pdf"));
    answerPanel = false;
    model.printReport({ReportSamples::session(20)});
    EXPECT_FALSE(QFile::exists(printedTo)) << "a cancelled panel prints nothing";
    EXPECT_FALSE(model.toast().has_value());

    answerPanel = true;
    model.printReport({ReportSamples::session(20), ReportSamples::session(1)});
    QString printed = text(printedTo);
    EXPECT_TRUE(printed.contains(QStringLiteral("Page 2 of 2")));
    EXPECT_EQ(printed.count(QStringLiteral("Controller test report")), 3);
}

TEST(ReportPrinting, AnEmptyListStartsNoPrintJob) {
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("never-written.pdf")));
    EXPECT_THROW(ReportService::printTo(printer, ReportInput{}), ReportPDF::Error);
    EXPECT_FALSE(QFile::exists(printer.outputFileName()));
}

TEST(ReportPrinting, TheSamePagesLandWholeOnAnyPaper) {
    REQUIRE_PDF_TOOLS();
    std::vector<RorozErurEvo::TestSession> sessions{ReportSamples::session(20, true, true), ReportSamples::session(1)};
    QTemporaryDir dir;
    for (auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(orientation);
        QString path = dir.filePath(QStringLiteral("printed-%1.pdf").arg(int(orientation)));
        printer.setOutputFileName(path);
        ReportService::printTo(printer, ReportInput{.sessions = sessions});

        PdfTools::Document pdf(path);
        EXPECT_EQ(pdf.pageCount(), 3);
        EXPECT_TRUE(pdf.flatText(2).contains(QStringLiteral("Page 2 of 2")));
        EXPECT_TRUE(pdf.flatText(2).contains(QStringLiteral("Left stick: 1.2% circularity")));
        // Every word lands on the paper, whichever way round it is.
        QRegularExpression size(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"));
        auto m = size.match(pdf.info());
        ASSERT_TRUE(m.hasMatch());
        double w = m.captured(1).toDouble(), h = m.captured(2).toDouble();
        for (const auto& word : pdf.words(1)) {
            EXPECT_GE(word.xMin, 0) << word.text.toStdString();
            EXPECT_LE(word.xMax, w) << word.text.toStdString();
            EXPECT_GE(word.yMin, 0) << word.text.toStdString();
            EXPECT_LE(word.yMax, h) << word.text.toStdString();
        }
    }
}
