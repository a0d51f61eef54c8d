#pragma once
// What the model needs of the PDF report: its branding, and a renderer that the report layer
// installs (the report sits above the model, so the model reaches it only through this).
#include <QByteArray>
#include <QImage>

#include <string>
#include <vector>

#include "testkit/TestSession.h"

namespace Tessarine {

class AppModel;

// The company shown on the report.
struct ReportBranding {
    std::string name;
    std::string contact;
    QImage logo; // null when there is none

    friend bool operator==(const ReportBranding&, const ReportBranding&) = default;
};

class ReportRenderer {
public:
    virtual ~ReportRenderer() = default;
    // The PDF data of the report of the sessions, with the model's branding and scope note.
    // Throws std::exception, with a description for the user, when the document cannot be made.
    virtual QByteArray render(const std::vector<RorozErurEvo::TestSession>& sessions, const AppModel& model) = 0;
};

} // namespace Tessarine
