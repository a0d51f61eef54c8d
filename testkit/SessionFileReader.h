#pragma once
// A session file read straight into its record, without building a JSON document first.
// Loading a big session folder is dominated by JSON decoding, and building then walking a
// document tree costs about twice as much as the parse itself. The rules are those of
// TestSession::fromJson and the record readers it calls, which stay the reference: the tests
// hold the two readers to the same answer on good, bad and odd files.
#include <string>
#include <string_view>

#include "testkit/SessionSummary.h"
#include "testkit/TestSession.h"

namespace RorozErurEvo {

// Throws DecodeError on anything TestSession::fromJson(Json::parse(text)) would refuse.
TestSession readSessionFile(std::string_view text);

// The summary of the session the text holds: what SessionSummary::of(readSessionFile(text)) gives,
// and the same DecodeError for any text that reading refuses, without keeping the rest.
SessionSummary readSessionSummary(std::string_view text);

// The same, reading a text that is the reader's to let go of: a file of megabytes made mostly of
// long texts (a session's notes) is read at a small multiple of its size, its text let go as soon
// as it is parsed. Room past the text's end (BoundedFile::room) spares it a copy.
TestSession readSessionFile(std::string&& text);
SessionSummary readSessionSummary(std::string&& text);

} // namespace RorozErurEvo
