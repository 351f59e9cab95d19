#pragma once
// The system's print queues (CUPS), through its command-line clients: the
// list of installed queues, the default one, and sending a file to a queue.
// CUPS_SERVER and the other settings of the clients apply as usual.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// The installed queues in the order the print system lists them
// (Windows-1252); empty when there are none or no print system.
std::vector<std::string> listPrintQueues();

// The default queue, when one is set.
std::optional<std::string> defaultPrintQueue();

// The installed queue of that name (compared without regard to case, as
// queue names are), with its name as installed.
std::optional<std::string> findPrintQueue(const std::vector<std::string>& queues,
                                          std::string_view name);

// Sends the bytes to the queue (empty: the default queue) as one job with
// the given lp options ("raw", "sides=two-sided-long-edge", ...). Raises
// DataError with the print system's own message when the job is refused.
void sendToPrintQueue(std::string_view queue, std::string_view bytes,
                      const std::vector<std::string>& options, std::string_view title);

} // namespace presenze
