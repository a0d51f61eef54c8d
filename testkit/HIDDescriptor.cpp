#include "testkit/HIDDescriptor.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <utility>

#include "testkit/HIDUsage.h"

namespace RorozErurEvo {

namespace {

// Item types and tags of the short item prefix (HID 1.11, 6.2.2.2).
enum ItemType : std::uint8_t { mainItem = 0, globalItem = 1, localItem = 2 };

enum MainTag : std::uint8_t { input = 8, output = 9, collection = 10, feature = 11, endCollection = 12 };

enum GlobalTag : std::uint8_t {
    usagePage = 0,
    logicalMinimum = 1,
    logicalMaximum = 2,
    physicalMinimum = 3,
    physicalMaximum = 4,
    unitExponent = 5,
    unit = 6,
    reportSize = 7,
    reportID = 8,
    reportCount = 9,
    push = 10,
    pop = 11,
};

enum LocalTag : std::uint8_t { usage = 0, usageMinimum = 1, usageMaximum = 2, delimiter = 10 };

constexpr std::uint8_t longItemPrefix = 0xFE;
constexpr std::uint32_t mainConstant = 0x01; // main item flag bits
constexpr std::uint32_t mainVariable = 0x02;
constexpr std::uint8_t applicationCollection = 1;

struct Item {
    std::uint8_t type = 0;
    std::uint8_t tag = 0;
    int size = 0; // bytes of data: 0, 1, 2 or 4
    std::uint32_t data = 0;

    std::int32_t signedData() const {
        switch (size) {
        case 1: return static_cast<std::int8_t>(data);
        case 2: return static_cast<std::int16_t>(data);
        case 4: return static_cast<std::int32_t>(data);
        default: return 0;
        }
    }
};

struct Globals {
    int usagePage = 0;
    std::int64_t logicalMin = 0;
    std::uint32_t logicalMaxData = 0; // read signed or unsigned once the minimum is known
    int logicalMaxSize = 0;
    std::uint32_t reportSize = 0;
    int reportID = 0;
    std::uint32_t reportCount = 0;

    // A one-byte maximum of 0xFF is 255 over a non-negative range and −1 over a signed one: the
    // kernel's reading, made when the field is declared so the order of the two items is free.
    std::int64_t logicalMax() const {
        Item item{globalItem, logicalMaximum, logicalMaxSize, logicalMaxData};
        return logicalMin < 0 ? std::int64_t{item.signedData()} : std::int64_t{logicalMaxData};
    }
};

// A usage with its page in the upper half. A 4-byte usage carries its own page (extended); a
// shorter one takes the usage page in effect where it is declared.
struct LocalUsage {
    std::uint32_t value = 0;
    bool extended = false;
};

class Parser {
public:
    explicit Parser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    HIDDescriptor run() {
        std::size_t at = 0;
        while (at < bytes_.size()) {
            const std::uint8_t prefix = bytes_[at];
            if (prefix == longItemPrefix) {
                // Long items carry no meaning this parser knows; skip them within bounds.
                if (bytes_.size() - at < 3) fail("a long item is cut short");
                const std::size_t length = bytes_[at + 1];
                if (bytes_.size() - at - 3 < length) fail("a long item is cut short");
                at += 3 + length;
                continue;
            }
            Item item;
            item.size = std::array{0, 1, 2, 4}[prefix & 0x03];
            item.type = static_cast<std::uint8_t>((prefix >> 2) & 0x03);
            item.tag = static_cast<std::uint8_t>(prefix >> 4);
            if (bytes_.size() - at - 1 < static_cast<std::size_t>(item.size)) fail("an item is cut short");
            for (int i = 0; i < item.size; ++i)
                item.data |= static_cast<std::uint32_t>(bytes_[at + 1 + static_cast<std::size_t>(i)]) << (8 * i);
            at += 1 + static_cast<std::size_t>(item.size);
            switch (item.type) {
            case mainItem: parseMain(item); break;
            case globalItem: parseGlobal(item); break;
            case localItem: parseLocal(item); break;
            default: break; // reserved item type: ignored, as the kernel does
            }
        }
        if (collectionDepth_ != 0) fail("a collection is not closed");
        if (delimiterOpen_) fail("a delimiter set is not closed");
        for (const auto& [typeAndID, bits] : reportBits_)
            if (typeAndID.first == static_cast<int>(HIDElementType::input) && bits > 0)
                result_.inputReportBits[typeAndID.second] = static_cast<std::size_t>(bits);
        return std::move(result_);
    }

private:
    [[noreturn]] static void fail(const std::string& why) { throw HIDDescriptorError("bad report descriptor: " + why); }

    void parseGlobal(const Item& item) {
        switch (item.tag) {
        case usagePage: globals_.usagePage = static_cast<int>(item.data & 0xFFFF); break;
        case logicalMinimum: globals_.logicalMin = item.signedData(); break;
        case logicalMaximum:
            globals_.logicalMaxData = item.data;
            globals_.logicalMaxSize = item.size;
            break;
        case physicalMinimum:
        case physicalMaximum:
        case unitExponent:
        case unit: break;
        case reportSize: globals_.reportSize = item.data; break;
        case reportCount: globals_.reportCount = item.data; break;
        case reportID:
            if (item.data == 0 || item.data > 255) fail("report id " + std::to_string(item.data) + " is outside 1…255");
            globals_.reportID = static_cast<int>(item.data);
            result_.numberedReports = true;
            break;
        case push:
            if (static_cast<int>(stack_.size()) >= HIDLimits::maxPushDepth) fail("too many pushed global states");
            stack_.push_back(globals_);
            break;
        case pop:
            if (stack_.empty()) fail("a pop without a push");
            globals_ = stack_.back();
            stack_.pop_back();
            break;
        default: fail("unknown global item tag " + std::to_string(item.tag));
        }
    }

    // A usage of 1 or 2 bytes belongs to the usage page in effect now.
    LocalUsage declared(std::uint32_t data, int size) const {
        if (size == 4) return LocalUsage{data, true};
        return LocalUsage{(static_cast<std::uint32_t>(globals_.usagePage) << 16) | (data & 0xFFFF), false};
    }

    void parseLocal(const Item& item) {
        // An item without data stands for the value 0, as the HID specification and the kernel
        // have it.
        // In a delimiter set only the first usage counts; the others are alternatives.
        const bool alternative = delimiterBranch_ > 1;
        switch (item.tag) {
        case usage:
            if (!alternative) addUsage(declared(item.data, item.size));
            break;
        case usageMinimum:
            if (!alternative) usageMin_ = item.data;
            break;
        case usageMaximum:
            if (!alternative) addRange(item.data, item.size);
            break;
        case delimiter:
            if (item.data == 1) {
                if (delimiterOpen_) fail("nested delimiter sets");
                delimiterOpen_ = true;
                ++delimiterBranch_;
            } else {
                if (!delimiterOpen_) fail("a delimiter set closed that was not open");
                delimiterOpen_ = false;
            }
            break;
        default: break; // designators and strings
        }
    }

    void addUsage(LocalUsage u) {
        if (usages_.size() >= HIDLimits::maxUsages) fail("too many usages for one item");
        usages_.push_back(u);
    }

    // The range from the usage minimum in effect (0 when none was given) to this maximum, added
    // when the maximum is read, as the kernel does; the maximum's size decides whether the
    // usages take the current page.
    void addRange(std::uint32_t last, int size) {
        const std::uint32_t first = usageMin_;
        if (last < first) return;
        if (usages_.size() >= HIDLimits::maxUsages) fail("too many usages for one item");
        // Like the kernel, a range that would pass the limit is cut to it.
        const std::size_t room = HIDLimits::maxUsages - usages_.size();
        const std::size_t count = std::min<std::size_t>(std::size_t{last - first} + 1, room);
        for (std::size_t i = 0; i < count; ++i) usages_.push_back(declared(first + static_cast<std::uint32_t>(i), size));
    }

    // A Usage Page given after the last short usage that took it applies, at the main item, to
    // the short usages before it, back to the first one already on that page: the kernel's
    // reading, which keeps usages declared ahead of their page item on the right page.
    void completeWithLastPage() {
        const auto page = static_cast<std::uint32_t>(globals_.usagePage);
        for (auto u = usages_.rbegin(); u != usages_.rend(); ++u) {
            if (u->extended) continue;
            if (u->value >> 16 == page) break;
            u->value = (page << 16) | (u->value & 0xFFFF);
        }
    }

    static HIDUsagePair resolve(LocalUsage u) {
        return HIDUsagePair{static_cast<int>(u.value >> 16), static_cast<int>(u.value & 0xFFFF)};
    }

    void resetLocals() {
        usages_.clear();
        usageMin_ = 0;
        delimiterBranch_ = 0;
    }

    void parseMain(const Item& item) {
        completeWithLastPage();
        switch (item.tag) {
        case collection:
            if (collectionDepth_ >= HIDLimits::maxCollectionDepth) fail("collections nested too deeply");
            if (collectionDepth_ == 0 && (item.data & 0xFF) == applicationCollection)
                result_.applications.push_back(usages_.empty() ? HIDUsagePair{globals_.usagePage, 0}
                                                               : resolve(usages_.front()));
            ++collectionDepth_;
            break;
        case endCollection:
            if (collectionDepth_ == 0) fail("an end of collection without a collection");
            --collectionDepth_;
            break;
        case input: addFields(HIDElementType::input, item.data); break;
        case output: addFields(HIDElementType::output, item.data); break;
        case feature: addFields(HIDElementType::feature, item.data); break;
        default: break; // unknown main items declare nothing
        }
        resetLocals();
    }

    void addFields(HIDElementType type, std::uint32_t flags) {
        const std::uint32_t count = globals_.reportCount;
        const std::uint32_t size = globals_.reportSize;
        if (count > HIDLimits::maxUsages) fail("a report count of " + std::to_string(count));
        auto& reportBits = reportBits_[{static_cast<int>(type), globals_.reportID}];
        const std::uint64_t offset = reportBits;
        reportBits += std::uint64_t{count} * size;
        if (reportBits > HIDLimits::maxReportBytes * 8) fail("a report longer than the limit");
        if ((flags & mainConstant) || count == 0) return; // padding or fixed values carry no input
        // A field of no bits says nothing, and one wider than 64 bits holds no integer value (a
        // vendor's blob): such a field gives no element, though it keeps its place in the report.
        if (size == 0 || size > static_cast<std::uint32_t>(HIDLimits::maxFieldBits)) return;

        HIDElement field;
        field.type = type;
        field.reportSize = static_cast<int>(size);
        field.reportID = globals_.reportID;
        field.isSigned = globals_.logicalMin < 0;
        if (flags & mainVariable) {
            field.logicalMin = globals_.logicalMin;
            field.logicalMax = globals_.logicalMax();
            for (std::uint32_t i = 0; i < count; ++i) {
                // Fewer usages than fields: the last usage applies to the rest.
                if (!usages_.empty()) {
                    const auto pair = resolve(usages_[std::min<std::size_t>(i, usages_.size() - 1)]);
                    field.page = pair.page;
                    field.usage = pair.usage;
                }
                field.bitOffset = static_cast<int>(offset + std::uint64_t{i} * size);
                addElement(field);
            }
        } else {
            field.logicalMin = 0;
            field.logicalMax = 1;
            field.bitOffset = static_cast<int>(offset);
            field.arraySlots = static_cast<int>(count);
            for (std::size_t i = 0; i < usages_.size(); ++i) {
                const auto pair = resolve(usages_[i]);
                field.page = pair.page;
                field.usage = pair.usage;
                field.arrayIndex = globals_.logicalMin + static_cast<std::int64_t>(i);
                addElement(field);
            }
        }
    }

    void addElement(HIDElement element) {
        if (result_.elements.size() >= HIDLimits::maxElements) fail("more elements than the limit");
        element.cookie = static_cast<std::uint32_t>(result_.elements.size() + 1);
        result_.elements.push_back(element);
    }

    std::span<const std::uint8_t> bytes_;
    HIDDescriptor result_;
    Globals globals_;
    std::vector<Globals> stack_;
    std::vector<LocalUsage> usages_;
    std::uint32_t usageMin_ = 0;
    bool delimiterOpen_ = false;
    int delimiterBranch_ = 0;
    int collectionDepth_ = 0;
    std::map<std::pair<int, int>, std::uint64_t> reportBits_; // (type, report id) → bits declared
};

} // namespace

HIDDescriptor HIDDescriptor::parse(std::span<const std::uint8_t> bytes) { return Parser(bytes).run(); }

bool HIDDescriptor::isGameDevice() const {
    return std::any_of(applications.begin(), applications.end(), [](const HIDUsagePair& a) {
        if (a.page == HIDUsage::simulation) return true;
        return a.page == HIDUsage::genericDesktop &&
               (a.usage == HIDUsage::joystick || a.usage == HIDUsage::gamePad || a.usage == HIDUsage::multiAxis);
    });
}

bool HIDDescriptor::isKeyboardOrMouse() const {
    return std::any_of(applications.begin(), applications.end(),
                       [](const HIDUsagePair& a) { return HIDUsage::isKeyboardOrMouse(a.page, a.usage); });
}

} // namespace RorozErurEvo
