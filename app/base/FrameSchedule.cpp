#include "app/base/FrameSchedule.h"

#include <cmath>

namespace Tessarine {

double FrameSchedule::next(double now) {
    ++frame_;
    double due = start_ + static_cast<double>(frame_) * interval_;
    if (due <= now) { // late by a whole frame or more: carry on from the next deadline ahead
        frame_ = static_cast<long long>(std::floor((now - start_) / interval_)) + 1;
        due = start_ + static_cast<double>(frame_) * interval_;
    }
    return std::max(due - now, 0.0);
}

} // namespace Tessarine
