#pragma once
// What the model needs of the PDF report: a renderer that the report layer installs (the report
// sits above the model, so the model reaches it only through this).
#include <QByteArray>

#include <stdexcept>

#include "app/report/ReportInput.h"

namespace Tessarine {

class ReportRenderer {
public:
    virtual ~ReportRenderer() = default;
    // The PDF data of the report of the input's sessions.
    // Throws std::exception, with a description for the user, when the document cannot be made.
    virtual QByteArray render(const ReportInput& input) = 0;
    // Asks the user for a printer and prints the report. Returns false when the user cancelled;
    // throws std::exception, with a description for the user, when it cannot print. A renderer
    // without a printer says so.
    virtual bool print(const ReportInput&) { throw std::runtime_error("Printing is not available here."); }
};

} // namespace Tessarine
