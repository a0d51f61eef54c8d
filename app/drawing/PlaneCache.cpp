#include "app/drawing/PlaneCache.h"

#include <algorithm>
#include <list>
#include <memory>
#include <mutex>

namespace Tessarine::PlaneCache {

namespace {

struct Entry {
    Key key;
    // Shared, so that a plane is copied out after the lock is let go.
    std::shared_ptr<const std::vector<std::uint8_t>> plane;
};

struct Layer {
    std::string name;
    QTransform transform;
    QImage image;
};

struct Store {
    std::mutex lock;
    std::list<Entry> entries; // most recently used first
    std::size_t bytes = 0;
    std::list<Layer> layers; // most recently used first
};

// Never destroyed: a thread may still paint while the program ends.
Store& store() {
    static Store* const instance = new Store;
    return *instance;
}

thread_local bool keepingHere = false;

} // namespace

Keeping::Keeping() : before_(keepingHere) { keepingHere = true; }
Keeping::~Keeping() { keepingHere = before_; }
bool keeping() { return keepingHere; }

bool Key::operator==(const Key& other) const {
    // The cheap fields first: most keys differ in size or kind.
    return kind == other.kind && width == other.width && height == other.height && sigma == other.sigma &&
           offset == other.offset && toPixels == other.toPixels && path == other.path;
}

std::vector<std::uint8_t> plane(const Key& key, const std::function<std::vector<std::uint8_t>()>& make) {
    // A plane holds a byte a pixel. One too small to be kept is never found either: it is made
    // without a look through the kept ones.
    if (!keepingHere || std::size_t(std::max(key.width, 0)) * std::size_t(std::max(key.height, 0)) < smallest)
        return make();
    // Comparing paths asks for their bounds, which a path works out, unguarded, the first time.
    // Worked out here, on the thread the path comes from, a kept key's path is only ever read
    // by the threads that compare it.
    key.path.boundingRect();
    Store& s = store();
    std::shared_ptr<const std::vector<std::uint8_t>> found;
    {
        std::lock_guard guard(s.lock);
        for (auto it = s.entries.begin(); it != s.entries.end(); ++it)
            if (it->key == key) {
                s.entries.splice(s.entries.begin(), s.entries, it);
                found = it->plane;
                break;
            }
    }
    if (found) return *found;
    // Made outside the lock: another thread's painting does not wait for it. Two threads making
    // the same plane at once both keep theirs; the older copy leaves in its turn.
    std::vector<std::uint8_t> made = make();
    if (made.size() < smallest || made.size() > mostKept) return made;
    auto kept = std::make_shared<const std::vector<std::uint8_t>>(made);
    std::lock_guard guard(s.lock);
    s.entries.push_front({key, std::move(kept)});
    s.bytes += made.size();
    while (s.bytes > mostKept && !s.entries.empty()) {
        s.bytes -= s.entries.back().plane->size();
        s.entries.pop_back();
    }
    return made;
}

QImage layer(const std::string& name, const QTransform& transform, const std::function<QImage()>& make) {
    if (!keepingHere) return make();
    Store& s = store();
    {
        std::lock_guard guard(s.lock);
        for (auto it = s.layers.begin(); it != s.layers.end(); ++it)
            if (it->name == name && it->transform == transform) {
                s.layers.splice(s.layers.begin(), s.layers, it);
                return it->image;
            }
    }
    QImage made = make();
    std::lock_guard guard(s.lock);
    s.layers.push_front({name, transform, made});
    if (s.layers.size() > layersKept) s.layers.pop_back();
    return made;
}

std::size_t keptBytes() {
    Store& s = store();
    std::lock_guard guard(s.lock);
    return s.bytes;
}

void clear() {
    Store& s = store();
    std::lock_guard guard(s.lock);
    s.entries.clear();
    s.bytes = 0;
    s.layers.clear();
}

} // namespace Tessarine::PlaneCache
