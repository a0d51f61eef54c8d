#include "app/views/shell/WindowMemory.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "app/base/Logging.h"
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
    // Where the store's memory is made when it is sized, and stays until it is sized again: X11
    // (and the platform the tests paint on). Elsewhere (Wayland picks a buffer as each frame
    // begins) the first frame makes its memory as before.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && platform != QLatin1String("offscreen")) return;
    (void)window.winId(); // the native window, and with it the backing store
    QBackingStore* store = window.backingStore();
    if (!store) return;
    // The first paint keeps a store already at the window's size.
    store->resize(window.size());
    // The store's image is only to be had while a paint is open; this one paints nothing.
    store->beginPaint(QRegion());
    std::uintptr_t from = 0, to = 0;
    if (QPaintDevice* device = store->paintDevice(); device && device->devType() == QInternal::Image) {
        // Read only: bits() would detach the image from the store's memory.
        const auto& image = *static_cast<const QImage*>(device);
        const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        const auto begin = reinterpret_cast<std::uintptr_t>(image.constBits());
        from = begin & ~(page - 1);
        to = (begin + static_cast<std::uintptr_t>(image.sizeInBytes()) + page - 1) & ~(page - 1);
    }
    store->endPaint();
    if (from == 0 || to <= from) return;
    // Should the store be replaced meanwhile, the range is no longer mapped (the call fails) or
    // holds other memory, whose pages are mapped in just the same: no byte changes either way.
    worker.run([from, to] {
        if (::madvise(reinterpret_cast<void*>(from), to - from, populateWrite) != 0)
            qCDebug(logViews, "the window's memory was not mapped ahead: %s", std::strerror(errno));
    });
}

} // namespace Tessarine::WindowMemory
