#pragma once
// Makes the card of one guided test on a device's bench: the soak card for the soak test, a test
// card for every other. It holds what the cards read and command besides their device and its
// runner: the user's settings, the one soak runner and the batch runner (null where none runs).
#include <memory>

namespace RorozErurEvo {
struct GuidedTest;
}

namespace Tessarine {

class BatchRunner;
class Card;
class InputDevice;
class SoakRunner;
class TestRunner;
class UserSettings;

class BenchCards {
public:
    BenchCards(UserSettings& settings, SoakRunner& soak, BatchRunner* batch)
        : settings_(settings), soak_(soak), batch_(batch) {}

    // A new card without a parent, for `test` of `device`, whose runner is `runner`.
    Card* make(const RorozErurEvo::GuidedTest& test, const std::shared_ptr<InputDevice>& device, TestRunner& runner) const;

private:
    UserSettings& settings_;
    SoakRunner& soak_;
    BatchRunner* batch_;
};

} // namespace Tessarine
