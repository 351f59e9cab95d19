#pragma once
// The print settings of a destination (a record of SetStampa) and what the
// printing code derives from them: the mode, the start sequences of a raw
// printer, the font sizes of a system printer, the top margin and the lines of
// a physical page.
//
// Compresso holds 12 groups of 3 digits, the codes 1..12:
//   1       font size of compressed print / first code of its start sequence
//   2..5    rest of the compressed start sequence
//   6       1 = print through the system printer, anything else = raw
//   7       font size of normal print / first code of its start sequence
//   8..11   rest of the normal start sequence
// Grassetto holds 12 groups of 3 digits too: 6 = top margin in lines (M),
// 7 = lines of a physical page in compressed print, 8 = in normal print (L).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace presenze {

struct PrintSettings {
    std::array<long, 13> codici{};            // 1..12, entry 0 unused
    std::array<std::int16_t, 13> grassetto{}; // 1..12, entry 0 unused

    bool systemPrinterMode() const { return codici[6] == 1; }
    // M: never negative.
    int margin() const;
    // L: the lines of a physical page, for padding raw pages.
    int physicalLines(bool compressed) const;
    // The bytes a raw printer receives first (codes 0..255; others are left out).
    std::string startSequence(bool compressed) const;
    // Font size of the report lines, and of the blank line at the top of each
    // page, on a system printer (a size of 0 or less falls back to 10).
    double bodyFontSize(bool compressed) const;
    double headerFontSize() const;
};

// The numeric value of groups of 3 characters, as the forms read them.
PrintSettings decodePrintSettings(std::string_view compresso, std::string_view grassetto);

// The settings of a destination without a SetStampa record: every code 0, no
// margin, 66-line pages, so raw mode.
PrintSettings defaultPrintSettings();

} // namespace presenze
