#pragma once
// Options of `presenze-cli csv` and `presenze-cli print`:
//
//   csv   [--data-dir DIR] [--station TAG]
//   print --destination NAME [--printer DEVICE] [--compressed] [--landscape]
//         [--duplex] [--data-dir DIR] [--station TAG]

#include "output/PrintJob.h"

#include <optional>
#include <string>
#include <vector>

namespace presenze {

struct OutputOptions {
    std::optional<std::string> dataDir; // as given (UTF-8 path)
    std::optional<std::string> station; // Windows-1252
    PrintChoices choices;               // print only
};

struct OutputParseResult {
    std::optional<OutputOptions> options;
    std::string error; // Italian, UTF-8
};

// Arguments after the command word, UTF-8 as the terminal gives them.
OutputParseResult parseCsvOptions(const std::vector<std::string>& args);
OutputParseResult parsePrintOptions(const std::vector<std::string>& args);

} // namespace presenze
