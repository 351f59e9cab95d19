#pragma once
// The lines of a text file: CR LF, a lone CR or a lone LF ends a line; a last
// line without an end is kept. Held in memory (the answers of the print
// system, a short text), or read as a stream from a file: a report of any
// size, or a text file of the data folder within limits, so that a huge
// file is an error that names it rather than the end of the memory.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class InputFile;

std::vector<std::string> splitLines(std::string_view content);

// Hands the lines of the file one by one to `take`, which returns false to
// stop. A line longer than `longestLine` bytes raises DataError naming the
// file and the line.
void forEachLine(InputFile& in, const std::function<bool(std::string_view)>& take,
                 std::size_t longestLine = std::numeric_limits<std::size_t>::max());

// What a text file of the data folder (the company list, the settings
// files) may hold.
struct TextLimits {
    std::size_t longestLine = 4096;
    std::size_t mostLines = 1'000'000;
    // Lines wanted: the file is read no further.
    std::size_t wanted = std::numeric_limits<std::size_t>::max();
};

// The lines of a text file of the data folder (links followed). Raises
// DataError naming the file when it cannot be read, or holds a line or more
// lines than the limits allow.
std::vector<std::string> readTextLines(const std::filesystem::path& file,
                                       const TextLimits& limits = {});

} // namespace presenze
