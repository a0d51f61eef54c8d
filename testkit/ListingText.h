#pragma once
// A one-line plain-text summary of a session, for pasting into a listing or a ticket.
#include <string>

#include "testkit/TestSession.h"

namespace RorozErurEvo::ListingSummary {

// "Tested on <app>: left stick 6.2% circularity, no drift; right trigger full travel."
// One sentence, never a line break of its own making.
std::string text(const TestSession& session, const std::string& appName);

} // namespace RorozErurEvo::ListingSummary
