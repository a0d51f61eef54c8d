#include "app/model/HIDMonitorSource.h"

namespace Tessarine {

std::vector<std::string> HIDMonitorSource::skipped() const {
    std::vector<std::string> texts;
    for (auto& [key, text] : monitor_->skipped()) texts.push_back(std::move(text));
    return texts;
}

void HIDMonitorSource::start(std::function<void()> onChange) {
    monitor_->onChange = std::move(onChange);
    monitor_->start();
}

} // namespace Tessarine
