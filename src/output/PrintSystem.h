#pragma once
// The print system as printing sees it: its queues, its default queue, and
// taking a job. The system's own goes through the print system's clients
// (output/PrintQueues.h); tests put a stand-in in its place, so that where a
// print goes is checked without a running print system.

#include "output/PrintQueues.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class PrintSystem {
public:
    virtual ~PrintSystem() = default;

    // The installed queues (Windows-1252), in the print system's order;
    // nullopt when it cannot be reached within the limit.
    virtual std::optional<std::vector<std::string>>
    queues(std::chrono::milliseconds limit) const = 0;
    // The default queue, when one is set and the print system answers.
    virtual std::optional<std::string> defaultQueue(std::chrono::milliseconds limit) const = 0;
    // Hands the file to the queue (empty: the default one) as one job with
    // these lp options; raises DataError, in Italian, when it is not taken.
    virtual void send(std::string_view queue, const std::filesystem::path& file,
                      const std::vector<std::string>& options, std::string_view title,
                      std::chrono::milliseconds limit) const = 0;
};

// The machine's print system (listPrintQueues, defaultPrintQueue,
// sendToPrintQueue).
const PrintSystem& systemPrintSystem();

} // namespace presenze
