#include "app/drawing/PlaneCache.h"

#include <algorithm>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>

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

// A hash of everything in a key but its path, which is compared only among keys alike in all
// else: a new size's lookups find their few candidates without walking every kept plane.
std::size_t hashOf(const Key& key) {
    std::size_t h = std::size_t(key.kind);
    auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
    mix(std::size_t(key.width));
    mix(std::size_t(key.height));
    for (double v : {key.sigma, key.offset.x(), key.offset.y(), key.toPixels.m11(), key.toPixels.m12(),
                     key.toPixels.m21(), key.toPixels.m22(), key.toPixels.dx(), key.toPixels.dy()})
        mix(std::hash<double>{}(v));
    return h;
}

struct Store {
    std::mutex lock;
    std::list<Entry> entries; // most recently used first
    std::unordered_multimap<std::size_t, std::list<Entry>::iterator> index; // every entry by its key's hash
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

namespace {

// Whether a plane for `key` is looked for and kept at all.
bool worthKeeping(const Key& key) {
    return keepingHere && std::size_t(std::max(key.width, 0)) * std::size_t(std::max(key.height, 0)) >= smallest;
}

Plane find(const Key& key, std::size_t hash) {
    Store& s = store();
    std::lock_guard guard(s.lock);
    const auto [first, last] = s.index.equal_range(hash);
    for (auto candidate = first; candidate != last; ++candidate)
        if (candidate->second->key == key) {
            // Moved to the front; the index's iterator stays valid.
            s.entries.splice(s.entries.begin(), s.entries, candidate->second);
            return candidate->second->plane;
        }
    return nullptr;
}

void keep(const Key& key, std::size_t hash, const Plane& made) {
    if (made->size() < smallest || made->size() > mostKept) return;
    Store& s = store();
    std::lock_guard guard(s.lock);
    s.entries.push_front({key, made});
    s.index.emplace(hash, s.entries.begin());
    s.bytes += made->size();
    while (s.bytes > mostKept && !s.entries.empty()) {
        const auto oldest = std::prev(s.entries.end());
        const auto [first, last] = s.index.equal_range(hashOf(oldest->key));
        for (auto candidate = first; candidate != last; ++candidate)
            if (candidate->second == oldest) {
                s.index.erase(candidate);
                break;
            }
        s.bytes -= oldest->plane->size();
        s.entries.erase(oldest);
    }
}

} // namespace

std::vector<std::uint8_t> plane(const Key& key, const std::function<std::vector<std::uint8_t>()>& make) {
    // One too small to be kept is never found either: it is made without a look through the
    // kept ones, and handed over as it is.
    if (!worthKeeping(key)) return make();
    return *shared(key, make);
}

Plane shared(const Key& key, const std::function<std::vector<std::uint8_t>()>& make) {
    if (!worthKeeping(key)) return std::make_shared<const std::vector<std::uint8_t>>(make());
    // Comparing paths asks for their bounds, which a path works out, unguarded, the first time.
    // Worked out here, on the thread the path comes from, a kept key's path is only ever read
    // by the threads that compare it.
    key.path.boundingRect();
    const std::size_t hash = hashOf(key);
    if (Plane found = find(key, hash)) return found;
    // Made outside the lock: another thread's painting does not wait for it. Two threads making
    // the same plane at once both keep theirs; the older copy leaves in its turn.
    Plane made = std::make_shared<const std::vector<std::uint8_t>>(make());
    keep(key, hash, made);
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
    s.index.clear();
    s.bytes = 0;
    s.layers.clear();
}

} // namespace Tessarine::PlaneCache
