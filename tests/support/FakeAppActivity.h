#pragma once
// Whether the application is in front, as the test sets it.
#include "app/model/Services.h"

namespace Tessarine {

class FakeAppActivity final : public AppActivity {
public:
    bool isActive() const override { return active; }
    bool active = true;
};

} // namespace Tessarine
