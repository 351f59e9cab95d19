#pragma once
// The shared module of the program: the tables every part reads (calendar
// names and lengths) and the small routines the windows, the tally and the
// report builders share. All texts are Windows-1252.

#include "data/DataFolder.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// --- Module tables -------------------------------------------------------
//
// Only what the report builders read, on whichever thread builds a report:
//
//   DaysInMonth     every thread has its own (thread_local): GiornoSettimana
//                   writes entry 2 of the calling thread's table only.
//   MonthNames,
//   WeekdayNames    constant: any thread reads them.
//
// What the person chose (the season, the company list as last loaded, the
// hotel, the report kind) is the main window's, and reaches a report in its
// Selection and its print request; the report file being written belongs to
// its print request (runPrintRequest).

// Days of the months 1..12 (entry 0 unused). GiornoSettimana rewrites entry 2.
inline thread_local std::array<std::int16_t, 13> DaysInMonth{0,  31, 28, 31, 30, 31, 30,
                                                             31, 31, 30, 31, 30, 31};
// "Gennaio  " .. "Dicembre ": 9 characters each, entries 1..12.
extern const std::array<std::string, 13> MonthNames;
// "Luned\xEC" .. "Domenica", index 0 = Monday (Windows-1252, not padded).
extern const std::array<std::string, 7> WeekdayNames;

// The company names of "ElencoDitte.txt", entries 1..100 (entry 0 unused):
// the first 100 lines, each without its code, trimmed; entries without a
// line are empty. A missing file gives an empty list.
std::array<std::string, 101> ReadCompanyList(const DataFolder& folder);
// The same from the lines of the list file (readCompanyListLines).
std::array<std::string, 101> CompanyListOf(const std::vector<std::string>& lines);
// Start-up step 3: fills the calling thread's DaysInMonth (MonthNames and
// WeekdayNames are fixed).
void FillCalendarTables();

// --- Shared routines -----------------------------------------------------

// 1 when the trimmed name equals (exactly) a trimmed entry of the list,
// searching entries 1..99 and stopping at the first empty one; else 0.
std::int16_t InElencoDitte(std::string_view name, const std::array<std::string, 101>& list);

// Weekday of a DD/MM/YYYY date, 0 = Monday. Leap years are those divisible
// by 4. Dates before 01/01/1996 are counted backwards by the same rule; an
// invalid month gives 0. Sets DaysInMonth(2), of the calling thread, for the
// last year walked.
std::int16_t GiornoSettimana(std::string_view date);

// Box-drawing bytes to "|" and "-", in place; returns the changed text.
std::string& TogliGrafica(std::string& text);

// Upper-cases and filters typed text: mode 0 keeps everything and turns
// apostrophes into the acute accent; mode 1 keeps digits, comma and minus.
// An empty result becomes " " in mode 0 and "0" otherwise.
std::string FiltraTesto(std::string_view text, std::int16_t mode);

// DDMMYY and DDMMYYYY to DD/MM/YYYY (two-digit years below 20 are 20xx);
// other lengths are left unchanged. The caller's text is replaced.
std::string& DataEstesa(std::string& text);

// Divisible by 4 (no century rule).
bool Bisestile(std::int16_t year);

// The numeric value of a text as the forms read it: leading blanks skipped,
// an optional sign, then the digits up to the first other character
// ("7a" gives 7, "abc" gives 0).
long NumericValue(std::string_view text);

} // namespace presenze
