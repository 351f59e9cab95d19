#pragma once
// How far a long piece of output has got (a workbook, a CSV export, a
// print), and whether the person asked to stop it. The work calls it between
// rows or pages, now and then; when it answers false the work raises
// WorkCancelled and what it was writing is dropped (data/AtomicFile removes
// its temporary file). The window shows it as a progress bar with "Annulla";
// the command line passes nothing.
//
//   writeWorkbook(figures, file, kSheetRows, [&](std::uint64_t done, std::uint64_t total) {
//       bar.set(done, total);
//       return !stopAsked;
//   });

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace presenze {

// `done` of `total` steps; false: stop.
using WorkProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// The work stopped because it was asked to.
class WorkCancelled : public std::runtime_error {
public:
    WorkCancelled() : std::runtime_error("Annullato") {}
};

// Tells `progress` (when there is one) and raises WorkCancelled when it
// answers stop.
inline void reportProgress(const WorkProgress& progress, std::uint64_t done, std::uint64_t total)
{
    if (progress && !progress(done, total))
        throw WorkCancelled();
}

} // namespace presenze
