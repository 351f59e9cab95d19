#pragma once
// The charts of `presenze-cli report --chart FILE` and `kpi --chart FILE`:
// drawn with Qt on the offscreen platform, so no display is needed; Qt
// starts only when a chart is asked for.

#include "common/ReportFigures.h"
#include "indicators/Indicators.h"

#include <filesystem>
#include <optional>
#include <string>

namespace presenze {

// Draws the chart of the request's last month, every hotel of it, as PNG or
// (".svg") SVG. Nullopt when written; otherwise why not (Windows-1252).
std::optional<std::string> writeOccupancyChart(const ReportFigures& figures,
                                               const std::filesystem::path& file);

// Draws the indicators' occupancy and ADR by month and hotel, as PNG or
// (".svg") SVG. Nullopt when written; otherwise why not (Windows-1252).
std::optional<std::string> writeIndicatorChart(const Indicators& indicators,
                                               const std::filesystem::path& file);

} // namespace presenze
