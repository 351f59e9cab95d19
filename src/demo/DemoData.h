#pragma once
// A realistic demo data folder in SQLite format: a group of 12 hotels, about
// 400 regular companies, a current season around the reference month and an
// archived season "2025", room types, printer settings, page lengths and the
// small text files. The same seed and reference date give the same bytes.

#include "data/Dates.h"
#include "demo/GroupGenerator.h"

#include <cstdint>
#include <filesystem>

namespace presenze {

struct DemoOptions {
    std::uint32_t seed = 1;
    Date reference; // the "current" month; bookings span six months each side
};

// The group the demo folder holds.
GroupOptions demoGroup(const DemoOptions& options);

// Writes the data files into dir (created when missing). A folder that
// already holds hotel data files is refused with DataError: nothing in it is
// replaced.
void writeDemoData(const std::filesystem::path& dir, const DemoOptions& options);

} // namespace presenze
