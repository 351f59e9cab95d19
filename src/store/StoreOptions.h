#pragma once
// What the commands of the chain's server ask for: where the hotels' data
// come from (`report --source`), a sync (`presenze-cli sync`) and a pickup
// (`presenze-cli pickup`). The command line (src/cli) fills them.

#include "common/Clock.h"

#include <optional>
#include <string>

namespace presenze {

// The hotels' data of a group on the server instead of the folder's files.
struct SourceOptions {
    std::optional<std::string> conninfo; // as given (UTF-8)
    std::optional<std::string> group;    // Windows-1252, checked
};

struct SyncOptions {
    std::string conninfo;               // as given (UTF-8)
    std::optional<std::string> group;   // Windows-1252, checked; else the folder's name
    std::optional<std::string> dataDir; // as given (UTF-8 path)
    std::optional<DateTime> now;        // the snapshot's day
};

struct PickupOptions {
    std::string conninfo;             // as given (UTF-8)
    std::optional<std::string> group; // Windows-1252, checked; else every group
    int days = 30;                    // 1, 7 or 30
    int forward = 30;                 // 1 to 365
    std::optional<std::string> csv;   // the CSV file to write (UTF-8 path as given)
    std::optional<std::string> xlsx;  // the workbook to write (UTF-8 path as given)
    std::optional<DateTime> now;
};

} // namespace presenze
