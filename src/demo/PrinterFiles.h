#pragma once
// The print settings of a group.

#include <filesystem>

namespace presenze::demo {

// Stampanti and SetStampa: the destinations of hotels 1 and 2 and the
// settings of each print kind.
void writePrinters(const std::filesystem::path& dir);
// Contatori: the page lengths of each hotel.
void writeCounters(const std::filesystem::path& dir, int hotels);

} // namespace presenze::demo
