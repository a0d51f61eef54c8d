#include "app/drawing/ImagePool.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>

namespace Tessarine::ImagePool {

namespace {

struct Buffer {
    uchar* data;
    qsizetype bytes;
};

struct Pool {
    std::mutex lock;
    std::deque<Buffer> kept; // most recently returned first
    qsizetype total = 0;
};

// Never destroyed: an image may be let go while the program ends.
Pool& pool() {
    static Pool* const instance = new Pool;
    return *instance;
}

// Called by QImage when the last copy of a pooled image goes.
void giveBack(void* info) {
    auto* buffer = static_cast<Buffer*>(info);
    Pool& p = pool();
    {
        std::lock_guard guard(p.lock);
        p.kept.push_front(*buffer);
        p.total += buffer->bytes;
        while (p.total > mostKept && !p.kept.empty()) {
            std::free(p.kept.back().data);
            p.total -= p.kept.back().bytes;
            p.kept.pop_back();
        }
    }
    delete buffer;
}

} // namespace

QImage image(int width, int height) {
    if (width <= 0 || height <= 0) return QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    if (height > std::numeric_limits<qsizetype>::max() / bytesPerLine)
        return QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    const qsizetype bytes = bytesPerLine * height;
    if (bytes < smallest) return QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    uchar* data = nullptr;
    qsizetype capacity = bytes;
    {
        Pool& p = pool();
        std::lock_guard guard(p.lock);
        // The closest fit among the buffers large enough and not much larger: a drawing resized a
        // step at a time paints each new size into the pixels of the one before.
        auto best = p.kept.end();
        for (auto it = p.kept.begin(); it != p.kept.end(); ++it)
            if (it->bytes >= bytes && it->bytes - bytes <= bytes / spareShare &&
                (best == p.kept.end() || it->bytes < best->bytes))
                best = it;
        if (best != p.kept.end()) {
            data = best->data;
            capacity = best->bytes;
            p.total -= capacity;
            p.kept.erase(best);
        }
    }
    if (!data) data = static_cast<uchar*>(std::malloc(std::size_t(bytes)));
    if (!data) return QImage(width, height, QImage::Format_ARGB32_Premultiplied); // null when memory is out
    return QImage(data, width, height, bytesPerLine, QImage::Format_ARGB32_Premultiplied, giveBack,
                  new Buffer{data, capacity});
}

QImage clearImage(int width, int height) {
    QImage out = image(width, height);
    if (!out.isNull()) std::memset(out.bits(), 0, std::size_t(out.sizeInBytes()));
    return out;
}

qsizetype keptBytes() {
    Pool& p = pool();
    std::lock_guard guard(p.lock);
    return p.total;
}

} // namespace Tessarine::ImagePool
