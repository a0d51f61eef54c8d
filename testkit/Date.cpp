#include "testkit/Date.h"

#include <cmath>
#include <cstdio>

namespace RorozErurEvo::Dates {

using namespace std::chrono;

Date now() { return floor<seconds>(system_clock::now()); }

std::string iso(Date date) {
    auto day = floor<days>(date);
    year_month_day ymd{day};
    hh_mm_ss<seconds> time{date - day};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return buffer;
}

std::optional<Date> parseIso(std::string_view text) {
    // Exactly 20 characters: YYYY-MM-DDTHH:MM:SSZ
    if (text.size() != 20) return std::nullopt;
    auto digits = [&](std::size_t at, std::size_t count) -> int {
        int value = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
        text[19] != 'Z')
        return std::nullopt;
    int y = digits(0, 4), mo = digits(5, 2), d = digits(8, 2);
    int h = digits(11, 2), mi = digits(14, 2), s = digits(17, 2);
    if (y < 0 || mo < 1 || mo > 12 || d < 1 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 60)
        return std::nullopt;
    year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) return std::nullopt;
    return sys_days{ymd} + hours{h} + minutes{mi} + seconds{s};
}

Date fromSeconds(double secondsSince1970) {
    if (!std::isfinite(secondsSince1970)) return Date{};
    return Date{seconds{static_cast<long long>(std::floor(secondsSince1970))}};
}

} // namespace RorozErurEvo::Dates
