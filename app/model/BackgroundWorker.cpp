#include "app/model/BackgroundWorker.h"

#include <system_error>

#include "app/devices/Logging.h"

namespace Tessarine {

void ThreadWorker::run(std::function<void()> work) {
    try {
        threads_.emplace_back(work);
    } catch (const std::system_error& error) {
        qCWarning(logModel) << "could not start a worker thread, so the work runs on the main thread:" << error.what();
        work();
    }
}

void ThreadWorker::wait() {
    for (auto& thread : threads_) thread.join();
    threads_.clear();
}

} // namespace Tessarine
