#pragma once
// What the model needs of the PDF report: its branding, and a renderer that the report layer
// installs (the report sits above the model, so the model reaches it only through this).
#include <QByteArray>
#include <QImage>

#include <optional>
#include <stdexcept>
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

    // Absent when there is neither a company name nor a logo: the report then carries its own
    // title.
    static std::optional<ReportBranding> make(std::string name, std::string contact, QImage logo) {
        if (name.empty() && logo.isNull()) return std::nullopt;
        return ReportBranding{std::move(name), std::move(contact), std::move(logo)};
    }

    friend bool operator==(const ReportBranding&, const ReportBranding&) = default;
};

class ReportRenderer {
public:
    virtual ~ReportRenderer() = default;
    // The PDF data of the report of the sessions, with the model's branding and scope note.
    // Throws std::exception, with a description for the user, when the document cannot be made.
    virtual QByteArray render(const std::vector<RorozErurEvo::TestSession>& sessions, const AppModel& model) = 0;
    // Asks the user for a printer and prints the report of the sessions. Returns false when the
    // user cancelled; throws std::exception, with a description for the user, when it cannot
    // print. A renderer without a printer says so.
    virtual bool print(const std::vector<RorozErurEvo::TestSession>&, const AppModel&) {
        throw std::runtime_error("Printing is not available here.");
    }
};

} // namespace Tessarine
