#pragma once
// CSV export of the report file (ConvertiXLS): the frames become field
// separators, rules and filler become blanks, and amounts written the Italian
// way (1.234,50) become plain numbers with the station's decimal separator and
// a currency sign in front. The settings come from "SeparatoreXLS.txt".
//
// A report line draws its frames only with box-drawing bytes and the broken
// bar of the Type 2 closing table; a text from the data never carries them,
// so every other byte is text: "|", "+", a "," that is no decimal comma and
// a "-" that is no minus sign and no part of a rule ("---") stay as they are.
// The fields of a line are the pieces between the separators the conversion
// put in. A spreadsheet opens them safely: a field whose first non-blank
// character is "=" or "@", or "+" or "-" while the field is no number, gets
// "'" before that character (a company name never runs as a formula), and a
// field holding '"' or the separator is written between double quotes with
// each '"' doubled, so it stays one field.

#include "common/WorkProgress.h"
#include "data/DataFolder.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace presenze {

struct CsvSettings {
    std::string separator = ",";   // line 1
    std::string decimal = ".";     // line 2
    std::string currency = "\x80"; // line 3, only its first character counts (the euro sign)
};

// The first three lines of "SeparatoreXLS.txt" (CR LF, CR or LF ends a line):
// UTF-8 when the file starts with the byte-order mark (dropped) or is valid
// UTF-8 with a byte of 128 or more, Windows-1252 otherwise. A missing file
// gives the defaults; a line the file does not have keeps its default.
CsvSettings readCsvSettings(const DataFolder& folder);

// One report line turned into one CSV line (without its line end).
std::string convertCsvLine(std::string_view line, const CsvSettings& settings);
// The same, appended to `out`.
void appendCsvLine(std::string& out, std::string_view line, const CsvSettings& settings);

// "fd" + tag + ".csv".
std::string csvFileName(std::string_view stationTag);

// Converts the report file `reportName` of the folder into "fd" + tag + ".csv"
// (written whole or not at all, reading the report as a stream) and returns
// the path written. Raises
// DataError when the report file cannot be read or the CSV file written,
// WorkCancelled (leaving no file) when `progress` says stop.
std::filesystem::path ConvertiXLS(const DataFolder& folder, std::string_view reportName,
                                  std::string_view stationTag, const WorkProgress& progress = {});

} // namespace presenze
