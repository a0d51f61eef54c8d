#include "app/model/ExportProgress.h"

#include "app/base/Assign.h"

namespace Tessarine {

ExportProgress::ExportProgress(std::function<void()> cancel, QObject* parent)
    : QObject(parent), cancel_(std::move(cancel)) {}

void ExportProgress::setCount(std::optional<Count> value) {
    if (assign(count_, value)) emit changed();
}

void ExportProgress::cancel() {
    if (count_) cancel_();
}

} // namespace Tessarine
