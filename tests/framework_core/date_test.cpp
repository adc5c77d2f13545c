#include "framework/core/Date.h"
#include "support/ScopedTimeZone.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

using fw::Date;
using fw::DateFields;

TEST(Date, NowIsTheCurrentLocalTime) {
    ScopedTimeZone zone("UTC");
    const std::time_t before = std::time(nullptr);
    const Date now;
    const DateFields utc = now.UTC();
    std::tm expected{};
    ::gmtime_r(&before, &expected);
    EXPECT_EQ(utc.year, expected.tm_year + 1900);
    EXPECT_EQ(utc.month, expected.tm_mon + 1);
    EXPECT_EQ(utc.day, expected.tm_mday);
}

TEST(Date, FieldsCarryLikeATotalOfSeconds) {
    Date d = Date::FromLocal({2024, 3, 7, 9, 5, 3});
    EXPECT_EQ(d.Year(), 2024);
    EXPECT_EQ(d.Month(), 3);
    EXPECT_EQ(d.Day(), 7);
    EXPECT_EQ(d.Hour(), 9);
    EXPECT_EQ(d.Minute(), 5);
    EXPECT_EQ(d.Second(), 3);
    d.SetSecond(75);
    EXPECT_EQ(d.Minute(), 6);
    EXPECT_EQ(d.Second(), 15);
    d.SetMonth(13);
    EXPECT_EQ(d.Year(), 2025);
    EXPECT_EQ(d.Month(), 1);
    d.SetDay(0); // the day before the first
    EXPECT_EQ(d.Month(), 12);
    EXPECT_EQ(d.Day(), 31);
    d.SetHour(2147483647); // saturated input from a damaged file must not overflow
    EXPECT_GT(d.Year(), 200000);
}

TEST(Date, ConvertsBetweenLocalAndUniversalTime) {
    {
        ScopedTimeZone zone("UTC");
        const DateFields utc = Date::FromLocal({2024, 3, 7, 9, 5, 3}).UTC();
        EXPECT_EQ(utc.hour, 9);
    }
    {
        ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
        // Winter: five hours behind; summer: four.
        const DateFields winter = Date::FromLocal({2024, 1, 15, 22, 30, 0}).UTC();
        EXPECT_EQ(winter.day, 16);
        EXPECT_EQ(winter.hour, 3);
        const DateFields summer = Date::FromLocal({2024, 7, 1, 12, 0, 0}).UTC();
        EXPECT_EQ(summer.hour, 16);
        const Date back = Date::FromUTC({2024, 7, 1, 16, 0, 0});
        EXPECT_EQ(back, Date::FromLocal({2024, 7, 1, 12, 0, 0}));
    }
}

TEST(Date, UniversalTimeHoldsInTheRepeatedHourAndBefore1970) {
    {
        ScopedTimeZone zone("America/New_York");
        // 01:30 local happens twice on 2024-11-03; each date keeps its own.
        const Date first = Date::FromUTC({2024, 11, 3, 5, 30, 0});
        const Date second = Date::FromUTC({2024, 11, 3, 6, 30, 0});
        EXPECT_EQ(first.Hour(), 1);
        EXPECT_EQ(second.Hour(), 1);
        EXPECT_EQ(first.UTC().hour, 5);
        EXPECT_EQ(second.UTC().hour, 6);
        Date later = second;
        later.SetMinute(45); // stays in the second pass of the hour
        EXPECT_EQ(later.UTC().hour, 6);
        EXPECT_EQ(later.UTC().minute, 45);
        // Local times: the repeated hour is its first pass; the skipped one
        // is read with the offset before the change.
        EXPECT_EQ(Date::FromLocal({2024, 11, 3, 1, 30, 0}).UTC().hour, 5);
        EXPECT_EQ(Date::FromLocal({2024, 3, 10, 2, 30, 0}).UTC().hour, 7);
        // Within a day after a change, the new offset holds; so it does for
        // a date moved across the change.
        for (const auto& [local, utcHour] : {std::pair{DateFields{2024, 3, 10, 12, 0, 0}, 16},
                                             std::pair{DateFields{2024, 3, 11, 1, 0, 0}, 5},
                                             std::pair{DateFields{2024, 11, 3, 12, 0, 0}, 17},
                                             std::pair{DateFields{2024, 11, 4, 0, 30, 0}, 5}}) {
            EXPECT_EQ(Date::FromLocal(local).UTC().hour, utcHour) << local.day;
            Date moved = Date::FromLocal(
                {local.year, local.month, local.day - 1, local.hour, local.minute, local.second});
            moved.SetDay(local.day);
            EXPECT_EQ(moved.UTC().hour, utcHour) << local.day;
        }
        // Every hour of a year comes back as it went in.
        for (int hour = 0; hour < 366 * 24; ++hour) {
            ASSERT_EQ(Date::FromUTC({2024, 1, 1, hour, 0, 0}).UTC().hour, hour % 24) << hour;
        }
    }
    {
        ScopedTimeZone zone("Europe/Berlin");
        const DateFields utc = Date::FromUTC({1969, 12, 31, 23, 59, 59}).UTC();
        EXPECT_EQ(utc.year, 1969);
        EXPECT_EQ(utc.hour, 23);
        EXPECT_EQ(utc.second, 59);
        EXPECT_EQ(Date::FromUTC({1969, 12, 31, 23, 59, 59}).Year(), 1970);
        EXPECT_EQ(Date::FromUTC({1950, 6, 1, 12, 0, 0}).UTC().hour, 12);
    }
}

TEST(Date, ParseDateReadsMonthDayYear) {
    Date d = Date::FromLocal({2000, 1, 1, 12, 34, 56});
    ASSERT_TRUE(fw::ParseDate("03/07/2024", d));
    EXPECT_EQ(d, Date::FromLocal({2024, 3, 7, 0, 0, 0}));
    ASSERT_TRUE(fw::ParseDate(" 2/29/2024 ", d));
    EXPECT_EQ(d.Month(), 2);
    EXPECT_EQ(d.Day(), 29);

    const Date before = d;
    for (const char* bad :
         {"", "2/30/2024", "2/29/2023", "13/1/2024", "0/1/2024", "1/0/2024", "1/1/", "//", "a/b/c",
          "1/1/2024x", "1-1-2024", "123/1/2024", "1/1/1234567"}) {
        EXPECT_FALSE(fw::ParseDate(bad, d)) << bad;
        EXPECT_EQ(d, before) << bad;
    }
}
