#pragma once
// Conversion of a report line for the system printer (Converti2): the line
// as it is drawn, in UTF-8. The 21 frame bytes of a report line become the
// box-drawing characters they stand for, so the page shows real frames;
// every other byte is its Windows-1252 character, and the capital "Ò" becomes
// "ò" unless the option letters carry "K". (Raw printers and the preview use
// TogliGrafica.)

#include <string>
#include <string_view>

namespace presenze {

std::string Converti2(std::string_view line, bool keepLetters = false);

} // namespace presenze
