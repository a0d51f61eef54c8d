#include "app/views/shell/ReportService.h"

#include <QPrintDialog>
#include <QPrinter>

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
    ReportPDF::printTo(printer, input);
    return true;
}

bool ReportService::printPanel(QPrinter& printer, QWidget* window) {
    QPrintDialog dialog(&printer, window);
    dialog.setWindowTitle(QStringLiteral("Print Report"));
    return dialog.exec() == QDialog::Accepted;
}

} // namespace Tessarine
