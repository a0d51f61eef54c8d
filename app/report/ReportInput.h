#pragma once
// Everything a PDF report is made from: the sessions, the company shown on it, and what it says
// of the program that made it. The application's model fills it for Export PDF and printing,
// the command-line tool from its options; the report reads nothing else.
#include <QImage>

#include <optional>
#include <span>
#include <string>

#include "app/report/AppInfo.h"
#include "testkit/TestSession.h"

namespace Tessarine {

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

struct ReportInput {
    // Referred to, not copied: they must outlive the input.
    std::span<const RorozErurEvo::TestSession> sessions;
    std::optional<ReportBranding> branding{};
    AppInfo app{};
    // The two sessions are a comparison's before and after, in that order: a test's row in both
    // reads the one measure the comparison judged that test by, so the pages set like beside like.
    bool beforeAndAfter = false;
};

} // namespace Tessarine
