#include "testkit/RecentSessions.h"

#include <algorithm>

namespace RorozErurEvo {

std::shared_ptr<const TestSession> RecentSessions::find(const Uuid& id) {
    const auto it = std::find_if(held_.begin(), held_.end(), [&](const auto& s) { return s->id == id; });
    if (it == held_.end()) return nullptr;
    std::rotate(held_.begin(), it, it + 1);
    return held_.front();
}

void RecentSessions::keep(std::shared_ptr<const TestSession> session) {
    if (!session || capacity_ == 0) return;
    forget(session->id);
    held_.insert(held_.begin(), std::move(session));
    if (held_.size() > capacity_) held_.resize(capacity_);
}

void RecentSessions::forget(const Uuid& id) {
    std::erase_if(held_, [&](const auto& s) { return s->id == id; });
}

} // namespace RorozErurEvo
