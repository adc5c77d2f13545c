#include "framework/core/Date.h"

#include <algorithm>
#include <climits>
#include <ctime>

namespace fw {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1 to 12).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, std::int64_t& m, std::int64_t& d) {
    z += 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

std::int64_t SecondsFromFields(const DateFields& f) {
    const std::int64_t months = std::int64_t{f.month} - 1;
    const std::int64_t year = std::int64_t{f.year} + FloorDiv(months, 12);
    const std::int64_t month = months - FloorDiv(months, 12) * 12 + 1;
    const std::int64_t days = DaysFromCivil(year, month, 1) + (std::int64_t{f.day} - 1);
    return days * kSecondsPerDay + std::int64_t{f.hour} * 3600 + std::int64_t{f.minute} * 60 +
           f.second;
}

DateFields FieldsFromSeconds(std::int64_t seconds) {
    const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const std::int64_t rest = seconds - days * kSecondsPerDay;
    std::int64_t y = 0;
    std::int64_t m = 0;
    std::int64_t d = 0;
    CivilFromDays(days, y, m, d);
    DateFields f;
    f.year = ClampToInt(y);
    f.month = static_cast<int>(m);
    f.day = static_cast<int>(d);
    f.hour = static_cast<int>(rest / 3600);
    f.minute = static_cast<int>(rest / 60 % 60);
    f.second = static_cast<int>(rest % 60);
    return f;
}

// Years that the C library's time-zone conversion handles; outside them the
// local time is taken as universal time.
bool ConvertibleYear(int year) {
    return year > -100000 && year < 100000;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool ReadNumber(std::string_view text, std::size_t& i, std::size_t maxDigits, int& out) {
    const std::size_t start = i;
    int value = 0;
    while (i < text.size() && IsDigit(text[i]) && i - start < maxDigits) {
        value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (i == start || (i < text.size() && IsDigit(text[i]))) {
        return false;
    }
    out = value;
    return true;
}

// Local time minus universal time at the universal moment `utc`.
std::int64_t OffsetAt(std::int64_t utc) {
    if (!ConvertibleYear(FieldsFromSeconds(utc).year)) {
        return 0;
    }
    const auto moment = static_cast<std::time_t>(utc);
    std::tm local{};
    if (::localtime_r(&moment, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

// The offset under which the wall-clock time `local` is read: `preferred`
// when it is one under which that time occurs, else the earliest moment
// that shows it. A time skipped when the clocks go forward is read with the
// offset in force before the change.
std::int64_t OffsetForLocal(std::int64_t local, const std::int64_t* preferred) {
    if (preferred != nullptr && OffsetAt(local - *preferred) == *preferred) {
        return *preferred;
    }
    // Offsets change at most a few times a year, so those of a day before
    // and a day after include every one that can apply.
    const std::int64_t before = OffsetAt(local - kSecondsPerDay);
    const std::int64_t after = OffsetAt(local + kSecondsPerDay);
    const bool beforeFits = OffsetAt(local - before) == before;
    const bool afterFits = OffsetAt(local - after) == after;
    if (beforeFits && afterFits) {
        return before > after ? before : after; // the earlier moment
    }
    if (afterFits) {
        return after;
    }
    return before;
}

} // namespace

Date::Date() : Date(Now()) {}

Date Date::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        return Date(static_cast<std::int64_t>(now), 0);
    }
    return Date(static_cast<std::int64_t>(now) + local.tm_gmtoff, local.tm_gmtoff);
}

Date Date::FromLocal(const DateFields& fields) {
    const std::int64_t local = SecondsFromFields(fields);
    return Date(local, OffsetForLocal(local, nullptr));
}

Date Date::FromUTC(const DateFields& fields) {
    const std::int64_t utc = SecondsFromFields(fields);
    const std::int64_t offset = OffsetAt(utc);
    return Date(utc + offset, offset);
}

DateFields Date::Local() const {
    return FieldsFromSeconds(localSeconds_);
}

DateFields Date::UTC() const {
    return FieldsFromSeconds(localSeconds_ - offset_);
}

// Changing one local field keeps the others; an out-of-range value carries
// over into the next field, as a total of seconds does.
void Date::SetField(int DateFields::*field, int value) {
    DateFields fields = Local();
    fields.*field = value;
    localSeconds_ = SecondsFromFields(fields);
    offset_ = OffsetForLocal(localSeconds_, &offset_);
}

bool ParseDate(std::string_view text, Date& date) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
    };
    skipBlanks();
    int month = 0;
    int day = 0;
    int year = 0;
    if (!ReadNumber(text, i, 2, month) || i >= text.size() || text[i++] != '/' ||
        !ReadNumber(text, i, 2, day) || i >= text.size() || text[i++] != '/' ||
        !ReadNumber(text, i, 6, year)) {
        return false;
    }
    skipBlanks();
    if (i != text.size() || month < 1 || month > 12 || day < 1) {
        return false;
    }
    // The day must exist in that month: the first of the next month minus
    // the first of this one.
    const std::int64_t first = DaysFromCivil(year, month, 1);
    const std::int64_t next =
        month == 12 ? DaysFromCivil(year + 1, 1, 1) : DaysFromCivil(year, month + 1, 1);
    if (day > next - first) {
        return false;
    }
    date = Date::FromLocal(DateFields{year, month, day, 0, 0, 0});
    return true;
}

} // namespace fw
