#pragma once
// The writes to the session folder that the user asked for and that are not done yet (saves,
// deletes, the erasing of every session), and how quitting words them: what it waits for and
// what quitting before they are done would lose.
#include <string>
#include <string_view>
#include <vector>

namespace RorozErurEvo {

struct PendingWrite {
    enum class Kind { save, remove, eraseAll };
    Kind kind = Kind::save;
    // The session's name as sessionName() words it; empty for eraseAll.
    std::string name;
    friend bool operator==(const PendingWrite&, const PendingWrite&) = default;
};

namespace PendingWrites {

// "SN-4411, Before repair": the unit key and the label, or "session" when the label is empty,
// each cut for display; the saved toast names a session the same way.
std::string sessionName(std::string_view unitKey, std::string_view label);
// What quitting waits for: "Saving 1 session…", "Deleting 2 sessions…",
// "Saving 1 session and deleting 2…", "Erasing the saved sessions…". Empty when nothing is pending.
std::string heading(const std::vector<PendingWrite>& pending);
// The writes named, the first three: "the session “SN-4411, Before repair”", "the session “A, x”,
// the deletion of “B, session”, the erasing of every saved session and 2 more". Empty when none.
std::string listed(const std::vector<PendingWrite>& pending);
// What quitting now would lose: "Quitting now loses " + listed() + ".". Empty when nothing is pending.
std::string loss(const std::vector<PendingWrite>& pending);
// The failure of one write, for the log: "Couldn't save the session “SN-4411, Before repair”",
// "Couldn't delete the session “A, x”", "Couldn't erase the history".
std::string failure(const PendingWrite& write);

} // namespace PendingWrites

} // namespace RorozErurEvo
