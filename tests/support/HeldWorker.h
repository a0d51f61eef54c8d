#pragma once
// A background worker that keeps the work it is given until the test lets it run, so a test can
// act before, between and after what the worker would do.
#include <functional>
#include <utility>
#include <vector>

#include "app/model/BackgroundWorker.h"

namespace Tessarine {

class HeldWorker final : public BackgroundWorker {
public:
    void run(std::function<void()> work) override { held.push_back(std::move(work)); }
    void wait() override {}
    // Runs what was held, in the order given.
    void release() {
        for (auto& work : held) work();
        held.clear();
    }
    std::vector<std::function<void()>> held;
};

} // namespace Tessarine
