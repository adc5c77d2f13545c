#pragma once

#include <cstdint>
#include <string_view>

namespace fw {

// Calendar fields of a date and time (month and day from 1).
struct DateFields {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A local date and time to the second. Setting a field out of its range
// carries into the others (second 75 is one minute and 15 seconds; month 13
// is January of the next year), as a total of seconds would.
class Date {
public:
    // The current local date and time.
    Date();
    static Date Now();
    // A date from local or from universal (UTC) calendar fields.
    static Date FromLocal(const DateFields& fields);
    static Date FromUTC(const DateFields& fields);

    int Year() const { return Local().year; }
    int Month() const { return Local().month; }
    int Day() const { return Local().day; }
    int Hour() const { return Local().hour; }
    int Minute() const { return Local().minute; }
    int Second() const { return Local().second; }
    void SetYear(int value) { SetField(&DateFields::year, value); }
    void SetMonth(int value) { SetField(&DateFields::month, value); }
    void SetDay(int value) { SetField(&DateFields::day, value); }
    void SetHour(int value) { SetField(&DateFields::hour, value); }
    void SetMinute(int value) { SetField(&DateFields::minute, value); }
    void SetSecond(int value) { SetField(&DateFields::second, value); }

    DateFields Local() const;
    // The same moment in universal time, by the local time-zone rules. A
    // local time that occurs twice (when daylight saving time ends) is the
    // moment the date was made for, or else its first occurrence.
    DateFields UTC() const;

    bool operator==(const Date& other) const = default;

private:
    Date(std::int64_t localSeconds, std::int64_t offset)
        : localSeconds_(localSeconds), offset_(offset) {}
    void SetField(int DateFields::*field, int value);

    // Seconds since 1970-01-01 00:00:00 on the local wall clock.
    std::int64_t localSeconds_ = 0;
    // Local time minus universal time at that moment, in seconds.
    std::int64_t offset_ = 0;
};

// Reads a date written as month/day/year ("3/7/2024", "03/07/2024"; blanks
// around it allowed) into `date` at 00:00:00 local time. Month and day must
// form a real calendar day; the year is 1 to 6 digits, taken as written. On
// failure `date` is left unchanged and the result is false.
bool ParseDate(std::string_view text, Date& date);

} // namespace fw
