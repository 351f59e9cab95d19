#pragma once
// What `presenze-cli csv` and `presenze-cli print` ask for. The command line
// (src/cli) fills it.

#include "output/PrintJob.h"

#include <optional>
#include <string>

namespace presenze {

struct OutputOptions {
    std::optional<std::string> dataDir; // as given (UTF-8 path)
    std::optional<std::string> station; // Windows-1252
    PrintChoices choices;               // print only
};

} // namespace presenze
