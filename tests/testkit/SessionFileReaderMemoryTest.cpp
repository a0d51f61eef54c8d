// A file just under the folder's size limit made of tiny tokens must load within a small
// multiple of its size and give the memory back; nesting deeper than any session is refused.
#include "testkit/SessionFileReader.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "testkit/SessionArchive.h"

using namespace RorozErurEvo;

namespace {

const std::string head = R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","date":"2024-05-01T10:00:00Z",)"
                         R"("device":{"name":"Pad"},"padding":[)";

// Peak memory the child process added while reading, bytes; the read runs in a child so that
// the peak is its own and not this test program's.
long peakWhileReading(const std::string& text) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        long added = -1;
        try {
            const auto session = readSessionFile(text);
            ::getrusage(RUSAGE_SELF, &after);
            added = session.device.name == "Pad" ? (after.ru_maxrss - before.ru_maxrss) * 1024 : -2;
        } catch (...) {
            added = -3;
        }
        (void)!::write(pipeFds[1], &added, sizeof added);
        ::_exit(0);
    }
    long added = -1;
    (void)!::read(pipeFds[0], &added, sizeof added);
    ::waitpid(child, nullptr, 0);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return added;
}

// AddressSanitizer pads every allocation and holds freed memory back in quarantine, so a peak
// measured under it says nothing about the reader's own footprint.
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

TEST(SessionFileReaderMemory, ATokenHeavyFileLoadsWithinABoundAndDeepNestingIsRefused) {
    std::string text = head;
    text.reserve(SessionArchive::maxFileBytes);
    while (text.size() + 8 < SessionArchive::maxFileBytes - (1u << 20)) text += "0,0,0,0,";
    text += "0]}";
    const long added = peakWhileReading(text);
    ASSERT_GE(added, 0);
    if (peakIsMeaningful) {
        EXPECT_LT(added, static_cast<long>(10 * text.size())) << "bytes added while reading " << text.size();
    }

    std::string deep = head;
    for (int i = 0; i < 40; ++i) deep += "[";
    for (int i = 0; i < 40; ++i) deep += "]";
    deep += "]}";
    EXPECT_THROW(readSessionFile(deep), DecodeError);
    std::string shallow = head + "[[[[[[[[[[]]]]]]]]]]]}";
    EXPECT_EQ(readSessionFile(shallow).device.name, "Pad");
}

} // namespace
