#include "testkit/DeviceInfo.h"

#include "testkit/Text.h"

namespace RorozErurEvo {

namespace {

// Trimmed of white space and line breaks and lower-cased; an absent text is empty.
std::string comparable(const std::optional<std::string>& text) {
    if (!text) return {};
    constexpr const char* space = " \t\n\r\v\f";
    const auto first = text->find_first_not_of(space);
    if (first == std::string::npos) return {};
    const auto last = text->find_last_not_of(space);
    return lowercased(text->substr(first, last - first + 1));
}

} // namespace

// Serials decide when both devices have one (a vendor mismatch still tells two units apart);
// otherwise the USB identity when both have it; otherwise name and, when both know it, category.
bool DeviceInfo::isSameUnit(const DeviceInfo& other) const {
    const std::string mySerial = comparable(serial), otherSerial = comparable(other.serial);
    if (!mySerial.empty() && !otherSerial.empty()) {
        if (vendorID && other.vendorID && *vendorID != *other.vendorID) return false;
        return mySerial == otherSerial;
    }
    if (vendorID && productID && other.vendorID && other.productID)
        return *vendorID == *other.vendorID && *productID == *other.productID;
    if (comparable(name) != comparable(other.name)) return false;
    const std::string myCategory = comparable(category), otherCategory = comparable(other.category);
    if (!myCategory.empty() && !otherCategory.empty()) return myCategory == otherCategory;
    return true;
}

} // namespace RorozErurEvo
