#pragma once
// The companies with the most presences in a request, confirmed and optional
// stacked, as a Qt chart (horizontal bars, the largest on top). In summary
// mode the hotels take the companies' place. Only the days of each month
// itself count, so every night counts once.

#include "common/ReportFigures.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QChart;

namespace presenze {

struct TopEntry {
    QString name;
    std::int64_t confirmed = 0;
    std::int64_t optional = 0;
};

// At most `count` entries, the most presences first (ties by name).
std::vector<TopEntry> topEntries(const ReportFigures& figures, std::size_t count = 15);

// The chart of topEntries(figures).
std::unique_ptr<QChart> makeTopChart(const ReportFigures& figures);

} // namespace presenze
