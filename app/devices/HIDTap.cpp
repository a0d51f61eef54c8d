#include "app/devices/HIDTap.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "testkit/AxisScale.h"
#include "testkit/Fmt.h"
#include "testkit/HIDUsage.h"
#include "testkit/HatSwitch.h"

namespace Tessarine {

using namespace RorozErurEvo;

// The moment between two holds of one report, the buffer's lock free. Nothing happens there in
// the application; a test program links a definition of its own (tests/support/ReportHolds.h)
// to hold the HID thread there and show that a reader gets in.
namespace ReportHolds {
void between();
[[gnu::weak]] void between() {}
} // namespace ReportHolds

namespace {

constexpr int maxElementBits = 32; // report sizes the catalogue takes, bits
// Axes with at most this many counts in their logical range get a table of scaled values
// (16 bytes a count: 16 KB for a 10-bit axis).
constexpr std::int64_t maxScaledCounts = 1024;

// Raw values and logical ends kept as int elsewhere; only a 32-bit unsigned field reaches past
// that, and it saturates rather than wrapping to a negative count.
int saturated(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
}

bool entersCatalogue(const HIDElement& e) {
    return e.type == HIDElementType::input && HIDUsage::isShown(e.page) && e.usage != 0 && e.reportSize >= 1 &&
           e.reportSize <= maxElementBits && e.logicalMax > e.logicalMin;
}

std::vector<bool> catalogued(const HIDDescriptor& descriptor) {
    std::vector<bool> flags;
    flags.reserve(descriptor.elements.size());
    for (const auto& e : descriptor.elements) flags.push_back(entersCatalogue(e));
    return flags;
}

// The first element of kind axis with this page and usage.
ElementInfo* findAxis(std::vector<ElementInfo>& elements, int page, int usage) {
    for (auto& e : elements)
        if (e.kind == ElementInfo::Kind::axis && e.page == page && e.usage == usage) return &e;
    return nullptr;
}

const ElementInfo* findAxis(const std::vector<ElementInfo>& elements, int usage) {
    for (const auto& e : elements)
        if (e.kind == ElementInfo::Kind::axis && e.page == HIDUsage::genericDesktop && e.usage == usage) return &e;
    return nullptr;
}

void makeTrigger(ElementInfo* e, ElementInfo::Role role, const char* name) {
    if (!e) return;
    e->kind = ElementInfo::Kind::trigger;
    e->role = role;
    e->name = name;
}

// A catalogue element as its descriptor element makes it, named after its usage.
ElementInfo elementOf(const HIDElement& e, const std::string& name) {
    const bool isHat = e.page == HIDUsage::genericDesktop && e.usage == HIDUsage::hatSwitch;
    const bool isButton = e.page == HIDUsage::button || (!isHat && e.logicalMax - e.logicalMin == 1);
    ElementInfo element;
    element.id = "e" + Fmt::trim(e.cookie, 0);
    if (isHat) {
        element.kind = ElementInfo::Kind::dpad;
        element.role = ElementInfo::Role::dpad;
        element.name = "Hat switch";
        element.symbol = "dpad";
    } else {
        element.kind = isButton ? ElementInfo::Kind::button : ElementInfo::Kind::axis;
        element.role = ElementInfo::Role::other;
        element.name = name;
        element.analog = !isButton;
    }
    element.page = e.page;
    element.usage = e.usage;
    element.logicalMin = saturated(e.logicalMin);
    element.logicalMax = saturated(e.logicalMax);
    element.isHat = isHat;
    return element;
}

// The input elements the bench shows, in descriptor order.
struct Catalogue {
    std::vector<ElementInfo> elements;
    std::vector<std::size_t> sources; // descriptor index of each element
    std::vector<std::string> bases;   // its usage's name
};

Catalogue catalogueOf(const HIDDescriptor& descriptor) {
    Catalogue catalogue;
    for (std::size_t i = 0; i < descriptor.elements.size(); ++i) {
        const HIDElement& e = descriptor.elements[i];
        if (!entersCatalogue(e)) continue;
        catalogue.elements.push_back(elementOf(e, catalogue.bases.emplace_back(HIDUsage::name(e.page, e.usage))));
        catalogue.sources.push_back(i);
    }
    return catalogue;
}

// The second and later elements of one usage name are numbered: "X (2)". Counted in one sorted
// pass rather than a map of names, which a device of thousands of buttons would fill with
// thousands of small blocks, for its first report to pay for when they are gathered up.
void numberRepeatedNames(Catalogue& catalogue) {
    const std::vector<std::string>& bases = catalogue.bases;
    std::vector<std::size_t> byName(bases.size());
    std::iota(byName.begin(), byName.end(), std::size_t{0});
    std::stable_sort(byName.begin(), byName.end(), [&](std::size_t a, std::size_t b) { return bases[a] < bases[b]; });
    for (std::size_t k = 1, occurrence = 1; k < byName.size(); ++k) {
        occurrence = bases[byName[k]] == bases[byName[k - 1]] ? occurrence + 1 : 1;
        ElementInfo& element = catalogue.elements[byName[k]];
        if (occurrence > 1 && !element.isHat)
            element.name = bases[byName[k]] + " (" + Fmt::trim(static_cast<double>(occurrence), 0) + ")";
    }
}

// Triggers: Rx and Ry beside both Z and Rz, and a wheel's brake and accelerator. Every look-up
// is made before any element changes kind.
void findTriggers(std::vector<ElementInfo>& elements) {
    const bool hasRightStick = findAxis(elements, HIDUsage::genericDesktop, HIDUsage::z) &&
                               findAxis(elements, HIDUsage::genericDesktop, HIDUsage::rz);
    ElementInfo* rx = hasRightStick ? findAxis(elements, HIDUsage::genericDesktop, HIDUsage::rx) : nullptr;
    ElementInfo* ry = hasRightStick ? findAxis(elements, HIDUsage::genericDesktop, HIDUsage::ry) : nullptr;
    ElementInfo* brake = findAxis(elements, HIDUsage::simulation, 0xC5);
    ElementInfo* accelerator = findAxis(elements, HIDUsage::simulation, 0xC4);
    makeTrigger(rx, ElementInfo::Role::leftTrigger, "Left trigger");
    makeTrigger(ry, ElementInfo::Role::rightTrigger, "Right trigger");
    makeTrigger(brake, ElementInfo::Role::leftTrigger, "Left trigger");
    makeTrigger(accelerator, ElementInfo::Role::rightTrigger, "Right trigger");
}

// Axes and triggers keep their latest value, which the stick pairs read.
bool keepsLastValue(ElementInfo::Kind kind) { return kind != ElementInfo::Kind::dpad && kind != ElementInfo::Kind::button; }

// The logs an element of this kind writes, which get their first storage when the device opens.
unsigned logsOf(ElementInfo::Kind kind) {
    return CaptureBuffer::rawLog | (keepsLastValue(kind) ? CaptureBuffer::axisLog : 0u) |
           (kind == ElementInfo::Kind::dpad ? CaptureBuffer::stickLog : 0u);
}

// The unit and centred value of every count of a logical range.
std::vector<std::array<double, 2>> scaledValues(std::int64_t min, std::int64_t max) {
    std::vector<std::array<double, 2>> scaled;
    scaled.reserve(static_cast<std::size_t>(max - min + 1));
    for (std::int64_t v = min; v <= max; ++v) scaled.push_back({AxisScale::unit(v, min, max), AxisScale::centered(v, min, max)});
    return scaled;
}

} // namespace

HIDTap::HIDTap(std::uint64_t key, std::string node, DeviceInfo info, const HIDDescriptor& descriptor,
               const Clock& clock, std::span<const std::vector<std::uint8_t>> startingReports)
    : key_(key), node_(std::move(node)), info_(std::move(info)), clock_(clock),
      catalogueIndex_(descriptor.elements.size(), notCatalogued), decoder_(descriptor, catalogued(descriptor)) {
    Catalogue catalogue = catalogueOf(descriptor);
    numberRepeatedNames(catalogue);
    findTriggers(catalogue.elements);
    elements_ = std::move(catalogue.elements);
    makeRecorders(descriptor, catalogue.sources);
    changed_.reserve(descriptor.elements.size()); // a first report changes every value
    last_ = std::make_unique<std::atomic<std::int64_t>[]>(elements_.size());
    for (std::size_t n = 0; n < elements_.size(); ++n) last_[n].store(noValue, std::memory_order_relaxed);
    lastLocal_.resize(elements_.size());
    centered_.resize(elements_.size());
    pairsOf_.resize(elements_.size());
    pairs_ = defaultPairs(elements_);
    // The values the device holds now, all at one time; a device that gave none has each
    // element's first sample come with its first report.
    const double t = clock_.now();
    for (const auto& report : startingReports) inputReport(report, t);
}

void HIDTap::makeRecorders(const HIDDescriptor& descriptor, const std::vector<std::size_t>& sources) {
    recorders_.reserve(elements_.size());
    std::vector<CaptureBuffer::FirstLogs> firstLogs;
    firstLogs.reserve(elements_.size());
    std::map<std::pair<std::int64_t, std::int64_t>, std::shared_ptr<const std::vector<std::array<double, 2>>>> tables;
    for (std::size_t n = 0; n < elements_.size(); ++n) {
        const HIDElement& e = descriptor.elements[sources[n]];
        Meta meta{elements_[n].id, elements_[n].kind, e.logicalMin, e.logicalMax, e.reportSize};
        byID_.emplace(meta.id, meta);
        indexByID_.emplace(meta.id, n);
        const bool keepsLast = keepsLastValue(meta.kind);
        Recorder recorder{std::move(meta), capture_->slot(elements_[n].id), n, keepsLast, {}};
        firstLogs.push_back(CaptureBuffer::FirstLogs{recorder.slot, logsOf(recorder.meta.kind)});
        const Meta& m = recorder.meta;
        if (keepsLast && m.max - m.min < maxScaledCounts) {
            auto& table = tables[{m.min, m.max}];
            if (!table) table = std::make_shared<const std::vector<std::array<double, 2>>>(scaledValues(m.min, m.max));
            recorder.scaled = table;
        }
        recorders_.push_back(std::move(recorder));
        catalogueIndex_[sources[n]] = static_cast<std::uint32_t>(n);
    }
    capture_->prepare(firstLogs);
}

std::vector<StickPair> HIDTap::pairs() const {
    MutexLock guard(lock_);
    return pairs_;
}

std::optional<std::size_t> HIDTap::indexOf(const std::string& id) const {
    auto it = indexByID_.find(id);
    return it == indexByID_.end() ? std::nullopt : std::optional(it->second);
}

void HIDTap::resolve(const std::vector<StickPair>& pairs) {
    resolved_.clear();
    for (auto& list : pairsOf_) list.clear();
    for (const auto& pair : pairs) {
        // A pair that names an element without a value of its own never records, as in recordPair().
        const auto x = indexOf(pair.x), y = indexOf(pair.y);
        if (!x || !y || !recorders_[*x].keepsLast || !recorders_[*y].keepsLast) continue;
        pairsOf_[*x].push_back(resolved_.size());
        if (*y != *x) pairsOf_[*y].push_back(resolved_.size());
        const CaptureBuffer::Slot slot = capture_->slot(pair.id);
        capture_->prepare({{slot, CaptureBuffer::stickLog}});
        resolved_.push_back(ResolvedPair{slot, *x, *y, pair.invertY});
    }
}

void HIDTap::inputReport(std::span<const std::uint8_t> report, double t) {
    decoder_.decode(report, changed_);
    if (changed_.empty()) return;

    if (const auto version = pairsVersion_.load(std::memory_order_acquire); version != resolvedVersion_) {
        std::vector<StickPair> pairs;
        {
            MutexLock guard(lock_);
            pairs = pairs_;
            resolvedVersion_ = pairsVersion_.load(std::memory_order_relaxed);
        }
        resolve(pairs);
    }

    // A report is written in holds of the buffer's lock of at most valuesPerHold values each, so
    // that a reader (the window's frame) waits behind one hold at the most, however many
    // elements the device has.
    for (std::size_t start = 0; start < changed_.size(); start += valuesPerHold) {
        if (start > 0) ReportHolds::between();
        CaptureBuffer::Batch batch(*capture_);
        writeValues(batch, start, std::min(changed_.size(), start + valuesPerHold), t);
    }
}

void HIDTap::writeValues(CaptureBuffer::Batch& batch, std::size_t from, std::size_t to, double t) {
    for (std::size_t k = from; k < to; ++k) {
        // The elements a few values on are fetched while this one is written: a wide device's
        // first report writes thousands, and would otherwise wait on the memory for each.
        if (k + prefetchAhead < to)
            if (const std::uint32_t next = catalogueIndex_[changed_[k + prefetchAhead].element]; next != notCatalogued)
                batch.prefetch(recorders_[next].slot);
        const auto& changed = changed_[k];
        const std::uint32_t index = catalogueIndex_[changed.element];
        if (index == notCatalogued) continue;
        const Recorder& r = recorders_[index];
        const std::int64_t value = AxisScale::signExtend(changed.value, r.meta.bits, r.meta.min, r.meta.max);
        batch.raw(r.slot, saturated(value), t);
        switch (r.meta.kind) {
        case ElementInfo::Kind::dpad: {
            const PlotPoint p = HatSwitch::point(HatSwitch::direction(value, r.meta.min, r.meta.max));
            batch.stick(r.slot, p.x, p.y, std::nullopt, t);
            continue;
        }
        case ElementInfo::Kind::button: batch.button(r.slot, value != 0, t); continue;
        default: break;
        }
        last_[index].store(value, std::memory_order_relaxed);
        const auto [unit, centered] = r.scale(value);
        batch.axis(r.slot, unit, value, t);
        if (r.meta.kind == ElementInfo::Kind::trigger) batch.triggerPress(r.slot, unit, t);
        lastLocal_[index] = value;
        centered_[index] = centered;
        for (std::size_t n : pairsOf_[index]) {
            const ResolvedPair& pair = resolved_[n];
            const auto& xv = lastLocal_[pair.x];
            const auto& yv = lastLocal_[pair.y];
            if (!xv || !yv) continue;
            const double y = pair.invertY ? -centered_[pair.y] : centered_[pair.y];
            batch.stick(pair.slot, centered_[pair.x], y, RawPoint{*xv, *yv}, t);
        }
    }
}

void HIDTap::record(const Meta& meta, std::int64_t value, double t) {
    capture_->recordRaw(meta.id, saturated(value), t);
    switch (meta.kind) {
    case ElementInfo::Kind::dpad: {
        const PlotPoint p = HatSwitch::point(HatSwitch::direction(value, meta.min, meta.max));
        capture_->recordStick(meta.id, p.x, p.y, std::nullopt, t);
        return;
    }
    case ElementInfo::Kind::button: capture_->recordButton(meta.id, value != 0, t); return;
    default: break;
    }
    const double unit = AxisScale::unit(value, meta.min, meta.max);
    capture_->recordAxis(meta.id, unit, value, t);
    if (meta.kind == ElementInfo::Kind::trigger) capture_->recordTriggerPress(meta.id, unit, t);
    std::vector<StickPair> touched;
    const auto index = indexOf(meta.id);
    if (index) last_[*index].store(value, std::memory_order_relaxed);
    {
        MutexLock guard(lock_);
        for (const auto& pair : pairs_)
            if (pair.x == meta.id || pair.y == meta.id) touched.push_back(pair);
    }
    if (index) {
        lastLocal_[*index] = value;
        centered_[*index] = recorders_[*index].scale(value)[1];
    }
    for (const auto& pair : touched) recordPair(pair, t);
}

void HIDTap::recordPair(const StickPair& pair, double t) {
    std::int64_t xv = 0;
    std::int64_t yv = 0;
    const auto xi = indexOf(pair.x), yi = indexOf(pair.y);
    if (!xi || !yi) return;
    xv = last_[*xi].load(std::memory_order_relaxed);
    yv = last_[*yi].load(std::memory_order_relaxed);
    if (xv == noValue || yv == noValue) return;
    auto xMeta = byID_.find(pair.x);
    auto yMeta = byID_.find(pair.y);
    if (xMeta == byID_.end() || yMeta == byID_.end()) return;
    const double x = AxisScale::centered(xv, xMeta->second.min, xMeta->second.max);
    double y = AxisScale::centered(yv, yMeta->second.min, yMeta->second.max);
    if (pair.invertY) y = -y;
    capture_->recordStick(pair.id, x, y, RawPoint{xv, yv}, t);
}

void HIDTap::setPairs(std::vector<StickPair> pairs) {
    {
        MutexLock guard(lock_);
        pairs_ = pairs;
        pairsVersion_.fetch_add(1, std::memory_order_release);
    }
    const double t = clock_.now();
    for (const auto& pair : pairs) recordPair(pair, t);
}

std::vector<StickPair> HIDTap::defaultPairs(const std::vector<ElementInfo>& elements) {
    std::vector<StickPair> pairs;
    auto pair = [&](const char* id, const char* name, int xUsage, int yUsage, ElementInfo::Role role) {
        const ElementInfo* x = findAxis(elements, xUsage);
        const ElementInfo* y = findAxis(elements, yUsage);
        if (!x || !y) return false;
        pairs.push_back(StickPair{id, name, x->id, y->id, true, role});
        return true;
    };
    pair("pair-1", "Left stick", HIDUsage::x, HIDUsage::y, ElementInfo::Role::leftStick);
    if (!pair("pair-2", "Right stick", HIDUsage::z, HIDUsage::rz, ElementInfo::Role::rightStick))
        pair("pair-2", "Right stick", HIDUsage::rx, HIDUsage::ry, ElementInfo::Role::rightStick);
    if (pairs.size() == 1) pairs.front().name = "Stick";
    return pairs;
}

} // namespace Tessarine
