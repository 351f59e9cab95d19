#pragma once
// The system's print queues (CUPS), through its command-line clients: the
// list of installed queues, the default one, and sending a file to a queue.
// CUPS_SERVER and the other settings of the clients apply as usual. Every
// client runs within a time limit, so a print system that does not answer
// never holds the caller.

#include "data/PrivateFolder.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// How long the print system may take to list its queues, and to take a job.
inline constexpr std::chrono::milliseconds kPrintSystemLimit{15'000};
inline constexpr std::chrono::milliseconds kPrintSendLimit{60'000};

// The installed queues in the order the print system lists them
// (Windows-1252); nullopt when the print system cannot be reached (not
// installed, not running, or no answer within the limit).
std::optional<std::vector<std::string>>
listPrintQueues(std::chrono::milliseconds limit = kPrintSystemLimit);

// The default queue, when one is set and the print system answers.
std::optional<std::string> defaultPrintQueue(std::chrono::milliseconds limit = kPrintSystemLimit);

// The installed queue of that name (compared without regard to case, as
// queue names are), with its name as installed.
std::optional<std::string> findPrintQueue(const std::vector<std::string>& queues,
                                          std::string_view name);

// Sends the file to the queue (empty: the default queue) as one job with
// the given lp options ("raw", "sides=two-sided-long-edge", ...). Raises
// DataError, in Italian, when the job is refused or the print system does not
// take it within the limit.
void sendToPrintQueue(std::string_view queue, const std::filesystem::path& file,
                      const std::vector<std::string>& options, std::string_view title,
                      std::chrono::milliseconds limit = kPrintSendLimit);

// A job on its way to the print system: a file in a private folder of the
// system's temporary folder (readable by this user alone), removed when done.
class SpoolFile {
public:
    SpoolFile() : m_path(m_folder.path() / "job") {}

    const std::filesystem::path& path() const { return m_path; }

private:
    PrivateFolder m_folder;
    std::filesystem::path m_path;
};

} // namespace presenze
