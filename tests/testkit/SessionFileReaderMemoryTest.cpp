// A file just under the folder's size limit made of tiny tokens must load within a small
// multiple of its size and give the memory back; nesting deeper than any session is refused.
#include "testkit/SessionFileReader.h"

#include <gtest/gtest.h>

#include <string>

#include "support/PeakMemory.h"
#include "testkit/SessionArchive.h"

using namespace RorozErurEvo;

namespace {

const std::string head = R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","date":"2024-05-01T10:00:00Z",)"
                         R"("device":{"name":"Pad"},"padding":[)";

// Peak memory added while reading, bytes.
long peakWhileReading(const std::string& text) {
    return PeakMemory::inChild(
        [&](const PeakMemory::Meter& meter) {
            const auto session = readSessionFile(text);
            return session.device.name == "Pad" ? meter.added() : -2L;
        },
        -1L);
}

// Peak memory added while reading a text handed over whole, bytes.
long peakWhileReadingOwned(std::string text) {
    return PeakMemory::inChild(
        [&](const PeakMemory::Meter& meter) {
            const auto session = readSessionFile(std::move(text));
            return session.notes.empty() ? -2L : meter.added();
        },
        -1L);
}

TEST(SessionFileReaderMemory, MegabytesOfNotesAreReadAtTwiceTheirSizeNotFourTimes) {
    // A session with 24 MB of notes in lines, as a technician's pasted log: the file's text goes
    // as soon as it is parsed, and the notes are held twice at most (parsed, then in the session).
    std::string notes;
    while (notes.size() < (24u << 20)) notes += "The left stick drifts a little to the upper right; checked twice.\\n";
    std::string text = head + "0], \"notes\": \"" + notes + "\"}";
    const std::size_t size = text.size();
    const long added = peakWhileReadingOwned(std::move(text));
    ASSERT_GE(added, 0);
    if (PeakMemory::meaningful) {
        EXPECT_LT(added, static_cast<long>(5 * size / 2)) << "bytes added while reading " << size;
    }
}

TEST(SessionFileReaderMemory, ATokenHeavyFileLoadsWithinABoundAndDeepNestingIsRefused) {
    std::string text = head;
    text.reserve(SessionArchive::maxFileBytes);
    while (text.size() + 8 < SessionArchive::maxFileBytes - (1u << 20)) text += "0,0,0,0,";
    text += "0]}";
    const long added = peakWhileReading(text);
    ASSERT_GE(added, 0);
    if (PeakMemory::meaningful) {
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
