#pragma once
// Calendar dates of the real (Gregorian) calendar, and their text forms:
// "DD/MM/YYYY" between routines and on screen, "YYYYMMDD" in the booking
// files and in query criteria.

#include <optional>
#include <string>
#include <string_view>

namespace presenze {

struct Date {
    int year = 1996;
    int month = 1;
    int day = 1;

    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);
    bool isValid() const;

    // Days since 1970-01-01 and back.
    long toSerial() const;
    static Date fromSerial(long serial);
    Date addDays(long days) const { return fromSerial(toSerial() + days); }

    std::string toKey() const;     // YYYYMMDD
    std::string toDisplay() const; // DD/MM/YYYY

    // "DD/MM/YYYY" with a real day; nullopt otherwise.
    static std::optional<Date> parseDisplay(std::string_view text);
    // "YYYYMMDD" with a real day; nullopt otherwise.
    static std::optional<Date> parseKey(std::string_view text);

    friend bool operator==(const Date&, const Date&) = default;
};

} // namespace presenze
