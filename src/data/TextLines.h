#pragma once
// The lines of a text file held in memory (report files, the company list,
// the answers of the print system): CR LF, a lone CR or a lone LF ends a
// line; a last line without an end is kept.

#include <string>
#include <string_view>
#include <vector>

namespace presenze {

std::vector<std::string> splitLines(std::string_view content);

} // namespace presenze
