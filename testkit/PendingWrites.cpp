#include "testkit/PendingWrites.h"

#include <algorithm>

#include "testkit/DisplayText.h"
#include "testkit/Fmt.h"

namespace RorozErurEvo::PendingWrites {

namespace {

// Named items a loss lists before it counts the rest.
constexpr std::size_t namedAtMost = 3;

std::string count(std::size_t n) { return Fmt::trim(static_cast<double>(n), 0); }

std::string quoted(const std::string& name) { return "\u201C" + name + "\u201D"; }

std::string item(const PendingWrite& write) {
    switch (write.kind) {
    case PendingWrite::Kind::save: return "the session " + quoted(write.name);
    case PendingWrite::Kind::remove: return "the deletion of " + quoted(write.name);
    case PendingWrite::Kind::eraseAll: return "the erasing of every saved session";
    }
    return {};
}

// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
        text += parts[i];
    }
    return text;
}

} // namespace

std::string sessionName(std::string_view unitKey, std::string_view label) {
    return DisplayText::field(unitKey) + ", " + (label.empty() ? std::string("session") : DisplayText::field(label));
}

std::string heading(const std::vector<PendingWrite>& pending) {
    auto of = [&](PendingWrite::Kind kind) {
        return static_cast<std::size_t>(std::count_if(pending.begin(), pending.end(), [kind](const auto& w) { return w.kind == kind; }));
    };
    const std::size_t saves = of(PendingWrite::Kind::save);
    const std::size_t deletes = of(PendingWrite::Kind::remove);
    std::vector<std::string> parts;
    if (saves > 0) parts.push_back("saving " + count(saves) + (saves == 1 ? " session" : " sessions"));
    // "deleting 2" after a saving: the noun is said once.
    if (deletes > 0)
        parts.push_back("deleting " + count(deletes) + (!parts.empty() ? "" : deletes == 1 ? " session" : " sessions"));
    if (of(PendingWrite::Kind::eraseAll) > 0) parts.push_back("erasing the saved sessions");
    if (parts.empty()) return {};
    std::string text = joined(parts) + "\u2026";
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string listed(const std::vector<PendingWrite>& pending) {
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < pending.size() && i < namedAtMost; ++i) parts.push_back(item(pending[i]));
    if (pending.size() > namedAtMost) parts.push_back(count(pending.size() - namedAtMost) + " more");
    return joined(parts);
}

std::string loss(const std::vector<PendingWrite>& pending) {
    if (pending.empty()) return {};
    return "Quitting now loses " + listed(pending) + ".";
}

std::string failure(const PendingWrite& write) {
    switch (write.kind) {
    case PendingWrite::Kind::save: return "Couldn't save the session " + quoted(write.name);
    case PendingWrite::Kind::remove: return "Couldn't delete the session " + quoted(write.name);
    case PendingWrite::Kind::eraseAll: return "Couldn't erase the history";
    }
    return {};
}

} // namespace RorozErurEvo::PendingWrites
