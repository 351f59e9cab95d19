#pragma once
// The occupancy chart of `presenze-cli report --chart FILE`: drawn with Qt
// on the offscreen platform, so no display is needed; Qt starts only when
// a chart is asked for.

#include "common/ReportFigures.h"

#include <filesystem>
#include <optional>
#include <string>

namespace presenze {

// Draws the chart of the request's last month, every hotel of it, as PNG or
// (".svg") SVG. Nullopt when written; otherwise why not (Windows-1252).
std::optional<std::string> writeOccupancyChart(const ReportFigures& figures,
                                               const std::filesystem::path& file);

} // namespace presenze
