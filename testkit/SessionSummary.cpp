#include "testkit/SessionSummary.h"

#include <string_view>
#include <type_traits>

#include "testkit/SessionFacts.h"

namespace RorozErurEvo {

namespace {

// FNV-1a over 64 bits, fed field by field; every field is framed (a presence mark, a length), so
// that moving text from one field to the next changes the fingerprint.
class Fingerprint {
public:
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value_ ^= p[i];
            value_ *= 0x100000001b3ULL;
        }
    }
    template <class T> void number(T n) { bytes(&n, sizeof n); }
    void text(std::string_view s) {
        number(s.size());
        bytes(s.data(), s.size());
    }
    template <class T> void optional(const std::optional<T>& value) {
        number<unsigned char>(value.has_value());
        if (!value) return;
        if constexpr (std::is_same_v<T, std::string>) text(*value);
        else number(*value);
    }
    std::uint64_t value() const { return value_; }

private:
    std::uint64_t value_ = 0xcbf29ce484222325ULL;
};

// What describes() checks beyond the summary's own fields.
std::uint64_t fingerprintOf(const TestSession& s) {
    Fingerprint f;
    f.text(s.technician);
    const DeviceInfo& d = s.device;
    f.optional(d.vendor);
    f.optional(d.category);
    f.optional(d.vendorID);
    f.optional(d.productID);
    f.optional(d.transport);
    f.optional(d.batteryLevel);
    f.optional(d.batteryState);
    f.optional(d.firmwareVersion);
    f.optional(d.guid);
    f.number(s.results.size());
    for (const auto& r : s.results) {
        f.number(static_cast<int>(r.kind));
        f.number(static_cast<int>(r.source));
        f.number(static_cast<int>(r.verdict));
        f.text(r.element);
    }
    return f.value();
}

} // namespace

SessionSummary SessionSummary::of(const TestSession& session) {
    return SessionSummary{session.id,
                          session.date,
                          session.unit,
                          session.label,
                          session.ticket,
                          {session.device.name, session.device.serial},
                          session.verdict(),
                          session.deviceKind(),
                          fingerprintOf(session),
                          {}};
}

bool SessionSummary::describes(const TestSession& session) const {
    return id == session.id && date == session.date && unit == session.unit && label == session.label &&
           ticket == session.ticket && device.name == session.device.name && device.serial == session.device.serial &&
           verdictValue == session.verdict() && kind == session.deviceKind() && fingerprint == fingerprintOf(session);
}

std::string SessionSummary::unitKey() const { return SessionFacts::unitKey(*this); }
std::string SessionSummary::title() const { return SessionFacts::title(*this); }

std::vector<UnitIndexGroup> SessionSummary::byUnitIndex(const std::vector<SessionSummary>& sessions) {
    return SessionFacts::byUnitIndex(sessions);
}

} // namespace RorozErurEvo
