#pragma once
// What the commands of presenze-cli and presenze-cli-full share: the usage
// mistakes, the data folder and station of a command, its clock, the files
// named on the command line, the warnings shown, the Access copies of a run.

#include "cli/CommandLine.h"
#include "common/Clock.h"
#include "data/CacheFolder.h"
#include "data/DataError.h"
#include "data/DataFolder.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace presenze {

// Says a mistake of the command line on stderr; the exit status 2.
int usageError(const std::string& message, const std::string& command);

// The help or the version on stdout, or the mistake on stderr; the exit status.
int showText(const CommandLine& line);

// Runs a command; a DataError or another exception is told on stderr, in
// Italian, with the exit status 1.
int runGuarded(const std::function<int()>& command);

// The station tag and the data folder of a command.
struct OutputPlace {
    std::string tag;
    DataFolder folder;
};

template <typename Options> std::filesystem::path dataDirOf(const Options& o)
{
    return o.dataDir ? std::filesystem::path(*o.dataDir) : std::filesystem::current_path();
}

DataFolder existingFolder(const std::filesystem::path& dir);

// The data folder a command reads, which must be there.
template <typename Options> DataFolder dataFolder(const Options& o)
{
    return existingFolder(dataDirOf(o));
}

OutputPlace outputPlace(const std::optional<std::string>& station, DataFolder folder);

template <typename Options> OutputPlace outputPlace(const Options& o)
{
    return outputPlace(o.station, dataFolder(o));
}

// Opens in `cache` the cache of the Access copies, for a command that reads
// data files; its warning, if any, on stderr.
void openAccessCopies(const CommandRequest& request, std::optional<RunCacheFolder>& cache);

// The clock of a command: stopped at its --now when given, else the
// program's own.
class CommandClock final : public Clock {
public:
    CommandClock(const std::optional<DateTime>& at, const Clock& running)
        : m_at(at), m_running(running)
    {}
    DateTime now() const override { return m_at ? *m_at : m_running.now(); }

private:
    std::optional<DateTime> m_at;
    const Clock& m_running;
};

// A file named on the command line, checked before anything is written.
std::optional<std::filesystem::path> userOutput(const std::optional<std::string>& name,
                                                const DataFolder& folder);

// Writes a file named on the command line, when one was, then prints its name.
void writeNamed(const std::optional<std::filesystem::path>& file,
                const std::function<void(const std::filesystem::path&)>& write);

// The same for a drawing that may fail: its problem, in Italian, on stderr
// and false.
bool drawNamed(const std::optional<std::filesystem::path>& file,
               const std::function<std::optional<std::string>(const std::filesystem::path&)>& draw);

// Warnings about room lines left out, the first few of them, on stderr.
class WarningsShown {
public:
    void operator()(std::string_view text);
    // How many more there were.
    void finish() const;

private:
    static constexpr std::size_t kShown = 10;
    std::size_t m_count = 0;
};

} // namespace presenze
