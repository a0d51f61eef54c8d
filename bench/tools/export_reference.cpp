// export-reference DIR json|csv [EXPORTED APPVERSION]: writes to standard output the export of every session
// saved in DIR as the whole-document code makes it (SessionExport::jsonText and csv over the
// loaded sessions, newest first): the reference the streamed export of the application must equal
// byte for byte (scripts/export-road.sh). EXPORTED and APPVERSION are the JSON document's
// "exported" date (ISO 8601 to the second) and "appVersion", as the application's own export
// wrote them.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "testkit/SessionArchive.h"
#include "testkit/SessionExport.h"

int main(int argc, char** argv) {
    using namespace RorozErurEvo;
    const std::string_view format = argc >= 3 ? argv[2] : "";
    const auto exported = Dates::parseIso(argc == 5 ? argv[3] : "1970-01-01T00:00:00Z");
    const std::string version = argc == 5 ? argv[4] : "";
    if ((argc != 3 && argc != 5) || (format != "json" && format != "csv") || !exported) {
        std::fputs("usage: export-reference DIR json|csv [EXPORTED APPVERSION]\n", stderr);
        return 2;
    }
    try {
        const auto sessions = SessionArchive{argv[1]}.load().sessions;
        const std::string text = format == "csv" ? SessionExport::csv(sessions)
                                                 : SessionExport::jsonText(sessions, "Tessarine", version, *exported);
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) throw std::runtime_error("could not write it out");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "export-reference: %s\n", error.what());
        return 1;
    }
    return 0;
}
