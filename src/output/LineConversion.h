#pragma once
// Conversion of a report line for the system printer (Converti2): the line
// as it is drawn, in UTF-8. The 21 frame bytes of a report line become the
// box-drawing characters they stand for, so the page shows real frames;
// every other byte is its Windows-1252 character, and the capital "Ò" becomes
// "ò" unless the option letters carry "K". (Raw printers use TogliGrafica.)
//
// The preview shows a line the same way, every letter kept (shownLine), and
// saves a shown line back one to one (reportLineOf): each box-drawing
// character of the frames becomes its frame byte again, so nothing is
// guessed.

#include <string>
#include <string_view>

namespace presenze {

std::string Converti2(std::string_view line, bool keepLetters = false);

// The line as the preview shows it (UTF-8): Converti2 keeping every letter.
std::string shownLine(std::string_view line);

// The report line (Windows-1252) of a shown line (UTF-8): the box-drawing
// characters of the 21 frame bytes become those bytes; the rest is what
// reportText makes of its Windows-1252 text (a character with no byte
// becomes "?"), except that a line holding only the form feed stays one.
std::string reportLineOf(std::string_view shown);

} // namespace presenze
