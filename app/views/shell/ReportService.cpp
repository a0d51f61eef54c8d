#include "app/views/shell/ReportService.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

#include "app/report/ReportPDF.h"

namespace Tessarine {

ReportService::ReportService(QWidget* window, AskPrinter ask) : window_(window), ask_(std::move(ask)) {}

QByteArray ReportService::render(const ReportInput& input) {
    return ReportPDF::render(input);
}

bool ReportService::print(const ReportInput& input) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setDocName(ReportPDF::documentTitle);
    if (!ask_(printer, window_.data())) return false;
    printTo(printer, input);
    return true;
}

bool ReportService::printPanel(QPrinter& printer, QWidget* window) {
    QPrintDialog dialog(&printer, window);
    dialog.setWindowTitle(QStringLiteral("Print Report"));
    return dialog.exec() == QDialog::Accepted;
}

void ReportService::printTo(QPrinter& printer, const ReportInput& input) {
    using namespace ReportPDF;
    checkNotEmpty(input);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(), QPageLayout::Point);
    printer.setDocName(documentTitle);
    printer.setCreator(documentCreator);
    QPainter painter;
    if (!painter.begin(&printer)) throw Error("The printer could not be started.");

    // The whole paper in device pixels; a landscape sheet takes the page turned a quarter.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const bool landscape = paper.width() > paper.height();
    const double across = landscape ? pageHeight : pageWidth;
    const double down = landscape ? pageWidth : pageHeight;
    const double scale = std::min(paper.width() / across, paper.height() / down);
    auto place = [&] {
        painter.translate(paper.center());
        if (landscape) painter.rotate(-90);
        painter.scale(scale, scale);
        painter.translate(-pageWidth / 2, -pageHeight / 2);
    };
    paintPages(painter, input, [&] { printer.newPage(); }, place);
    if (!painter.end()) throw Error("The printer could not finish the report.");
}

} // namespace Tessarine
