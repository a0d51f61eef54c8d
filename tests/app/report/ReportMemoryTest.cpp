// A report's memory must not grow with its length: the pages are laid out and drawn one at a
// time, so a session of 24,000 results (1,334 pages) is reported in about the memory of a short
// one, beside the document it writes.
#include <gtest/gtest.h>

#include <QIODevice>

#include "app/report/ReportPDF.h"
#include "support/PeakMemory.h"
#include "support/ReportSamples.h"

using namespace Tessarine;

namespace {

// Takes the document and keeps nothing but its size.
class Sink final : public QIODevice {
public:
    Sink() { open(QIODevice::WriteOnly); }
    qint64 written = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        written += length;
        return length;
    }
};

struct Peak {
    long added = -1;    // bytes the process's peak resident size grew by while rendering
    long document = -1; // bytes of the document
};

Peak renderInChild(int results) {
    return PeakMemory::inChild(
        [results](PeakMemory::Meter& meter) {
            const std::vector<RorozErurEvo::TestSession> sessions{ReportSamples::session(results)};
            meter.start();
            Sink sink;
            ReportPDF::render(sink, ReportInput{.sessions = sessions, .app = AppInfo::current()});
            return Peak{meter.added(), static_cast<long>(sink.written)};
        },
        Peak{});
}

} // namespace

TEST(ReportMemory, TwentyFourThousandResultsRenderInTheMemoryOfAFew) {
    const Peak small = renderInChild(180);
    const Peak large = renderInChild(24000);
    ASSERT_GT(small.document, 0);
    ASSERT_GT(large.document, 0) << "the long report was not made";
    ASSERT_GE(large.added, 0);
    // 1,334 pages against 10: generous room for the writer's per-page bookkeeping, none for
    // anything the size of a page or of the session per page.
    if (PeakMemory::meaningful) {
        EXPECT_LT(large.added, small.added + 48L * 1024 * 1024) << "document " << large.document;
    }
}
