// A report's memory must not grow with its length: the pages are laid out and drawn one at a
// time, so a session of 24,000 results (1,334 pages) is reported in about the memory of a short
// one, beside the document it writes.
#include <gtest/gtest.h>

#include <QIODevice>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/report/ReportPDF.h"
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

// Renders a session of `results` results in a child process, so the peak is the rendering's own.
Peak renderInChild(int results) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        Peak peak;
        try {
            const std::vector<RorozErurEvo::TestSession> sessions{ReportSamples::session(results)};
            rusage before{}, after{};
            ::getrusage(RUSAGE_SELF, &before);
            Sink sink;
            ReportPDF::render(sink, sessions, std::nullopt, QStringLiteral("1.0"));
            ::getrusage(RUSAGE_SELF, &after);
            peak = {(after.ru_maxrss - before.ru_maxrss) * 1024, static_cast<long>(sink.written)};
        } catch (...) {
        }
        (void)!::write(fds[1], &peak, sizeof peak);
        ::_exit(0);
    }
    Peak peak;
    (void)!::read(fds[0], &peak, sizeof peak);
    ::waitpid(child, nullptr, 0);
    ::close(fds[0]);
    ::close(fds[1]);
    return peak;
}

// AddressSanitizer pads every allocation and holds freed memory in quarantine, so a peak
// measured under it is the sanitizer's, not the report's.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool peakIsMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool peakIsMeaningful = false;
#else
constexpr bool peakIsMeaningful = true;
#endif
#else
constexpr bool peakIsMeaningful = true;
#endif

} // namespace

TEST(ReportMemory, TwentyFourThousandResultsRenderInTheMemoryOfAFew) {
    const Peak small = renderInChild(180);
    const Peak large = renderInChild(24000);
    ASSERT_GT(small.document, 0);
    ASSERT_GT(large.document, 0) << "the long report was not made";
    ASSERT_GE(large.added, 0);
    // 1,334 pages against 10: generous room for the writer's per-page bookkeeping, none for
    // anything the size of a page or of the session per page.
    if (peakIsMeaningful) {
        EXPECT_LT(large.added, small.added + 48L * 1024 * 1024) << "document " << large.document;
    }
}
