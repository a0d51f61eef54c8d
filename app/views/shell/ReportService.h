#pragma once
// The report as the application's model reaches it: the PDF document of the input the model
// fills, and printing after the print panel.
#include <QPointer>
#include <QWidget>

#include <functional>

#include "app/model/ReportRenderer.h"

class QPrinter;

namespace Tessarine {

class ReportService final : public ReportRenderer {
public:
    // Shows the print panel over `window` for the printer; true when the user chose to print.
    using AskPrinter = std::function<bool(QPrinter&, QWidget* window)>;

    explicit ReportService(QWidget* window, AskPrinter ask = printPanel);

    QByteArray render(const ReportInput& input) override;
    bool print(const ReportInput& input) override;

    static bool printPanel(QPrinter& printer, QWidget* window);

    // Paints the report's pages onto the printer: each page scaled to fit the paper whole,
    // centred, and turned a quarter for landscape paper. Zero margins. Throws ReportPDF::Error
    // for an empty list and when the printer cannot be started or finished.
    static void printTo(QPrinter& printer, const ReportInput& input);

private:
    QPointer<QWidget> window_;
    AskPrinter ask_;
};

} // namespace Tessarine
