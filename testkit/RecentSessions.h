#pragma once
// The few sessions read whole most recently, so that going back and forth between a handful of
// listed sessions reads each file once. Holds at most `capacity` sessions; the one used least
// recently goes first.
#include <cstddef>
#include <memory>
#include <vector>

#include "testkit/TestSession.h"
#include "testkit/Uuid.h"

namespace RorozErurEvo {

class RecentSessions {
public:
    explicit RecentSessions(std::size_t capacity) : capacity_(capacity) {}

    // The session with this id, now the most recent; null when it is not held.
    std::shared_ptr<const TestSession> find(const Uuid& id);
    // Holds the session as the most recent, in place of any with its id.
    void keep(std::shared_ptr<const TestSession> session);
    // A session saved again or deleted: its copy no longer counts.
    void forget(const Uuid& id);
    void clear() { held_.clear(); }
    std::size_t size() const { return held_.size(); }

private:
    std::size_t capacity_;
    std::vector<std::shared_ptr<const TestSession>> held_; // most recent first
};

} // namespace RorozErurEvo
