#pragma once
// The indicators of a request, from the same reads as the reports: the
// hotel registry, the room types (rooms of class "C", as the reports count
// them) and the booking files of every season of the folder (or of the
// source that stands in for it, such as a group on the chain's server), in
// their order of precedence (the current season, then the archived prefixes
// in descending text order), or of the one season asked for.
//
//   IndicatorRequest request;
//   request.period.months = {1, 2026, 12, 2026};
//   request.compare = true;
//   const Indicators kpi = computeIndicators(folder, request, warn);

#include "data/BookingSource.h"
#include "data/DataFolder.h"
#include "data/Records.h"
#include "indicators/IndicatorRequest.h"
#include "indicators/Indicators.h"

#include <functional>
#include <string>
#include <vector>

namespace presenze {

// Told how far a computation has got (steps done of all: the files that
// every season shares, each season, the sums); returns false to stop it.
using IndicatorProgress = std::function<bool(int done, int total)>;

// The season prefixes the indicators read, in order of precedence, of the
// seasons a source has (BookingSource::seasons): the current season (when
// it is there), then the archived ones, in descending text order; the
// current season alone when there is none (its reading then names the
// missing file).
std::vector<std::string> seasonsByPrecedence(const std::vector<std::string>& seasons);

// From the folder's files, or from `source` when given (kept by the caller).
// Raises DataError (a data file missing or damaged, a period that cannot be
// counted). Room lines left out for a bad date are named through `warn`.
// When `progress` stops it, it returns at once what it has: incomplete
// figures, to be dropped.
Indicators computeIndicators(const DataFolder& folder, const IndicatorRequest& request,
                             const WarningSink& warn, const BookingSource* source = nullptr,
                             const IndicatorProgress& progress = {});

} // namespace presenze
