#pragma once
// Spacing of one live element's value announcements. A stick plot's value changes with every
// frame; a screen reader told 60 times a second says nothing useful. The first change is told at
// once, later ones at most once per interval, and the last value of a burst is told when its
// interval ends, so the listener still hears where the stick came to rest.
#include <QString>

#include <optional>

namespace Tessarine {

class AnnounceThrottle {
public:
    explicit AnnounceThrottle(double interval) : interval_(interval) {}

    // A value seen at `now` (seconds): the text to tell now, if any. When nothing is told but
    // hasPending() holds, call flush() at dueAt().
    std::optional<QString> offer(double now, QString value) {
        if (pending_) {
            // A flush is already due: it tells the newest value, or nothing when it came back.
            if (value == told_)
                pending_.reset();
            else
                pending_ = std::move(value);
            return std::nullopt;
        }
        if (value == told_) return std::nullopt;
        if (!last_ || now - *last_ >= interval_) return tell(now, std::move(value));
        pending_ = std::move(value);
        return std::nullopt;
    }

    // The value held back, if it still differs from the last one told.
    std::optional<QString> flush(double now) {
        if (!pending_) return std::nullopt;
        QString value = std::move(*pending_);
        pending_.reset();
        if (value == told_) return std::nullopt;
        return tell(now, std::move(value));
    }

    bool hasPending() const { return pending_.has_value(); }
    // When the held-back value may be told (seconds).
    double dueAt() const { return last_.value_or(0) + interval_; }

private:
    std::optional<QString> tell(double now, QString value) {
        told_ = std::move(value);
        last_ = now;
        return told_;
    }

    double interval_;
    std::optional<double> last_;
    QString told_;
    std::optional<QString> pending_;
};

} // namespace Tessarine
