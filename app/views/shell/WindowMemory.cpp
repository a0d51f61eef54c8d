#include "app/views/shell/WindowMemory.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "app/devices/Logging.h"
#include "app/model/BackgroundWorker.h"

namespace Tessarine::WindowMemory {

namespace {

// Faults the pages in for writing without writing to them (Linux 5.14 and later).
#ifdef MADV_POPULATE_WRITE
constexpr int populateWrite = MADV_POPULATE_WRITE;
#else
constexpr int populateWrite = 23;
#endif

} // namespace

void prepare(QWidget& window, BackgroundWorker& worker) {
    (void)window.winId(); // the native window, and with it the backing store
    QBackingStore* store = window.backingStore();
    if (!store) return;
    // The first paint keeps a store already at the window's size.
    store->resize(window.size());
    QPaintDevice* device = store->paintDevice();
    if (!device || device->devType() != QInternal::Image) return;
    // Read only: bits() would detach the image from the store's memory.
    const auto& image = *static_cast<const QImage*>(device);
    if (image.isNull()) return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(image.constBits());
    const auto from = begin & ~(page - 1);
    const auto to = (begin + static_cast<std::uintptr_t>(image.sizeInBytes()) + page - 1) & ~(page - 1);
    // Should the store be replaced meanwhile, the range is no longer mapped (the call fails) or
    // holds other memory, whose pages are mapped in just the same: no byte changes either way.
    worker.run([from, to] {
        if (::madvise(reinterpret_cast<void*>(from), to - from, populateWrite) != 0)
            qCDebug(logViews, "the window's memory was not mapped ahead: %s", std::strerror(errno));
    });
}

} // namespace Tessarine::WindowMemory
