#include "data/FileWatch.h"

#include "data/DataError.h"
#include "data/DataFolder.h"

#include <algorithm>
#include <sys/stat.h>
#include <thread>

namespace presenze {
namespace fs = std::filesystem;

namespace {

// A file system stamps times with a clock that moves in steps (a few
// milliseconds on a local disk): two writes within one step leave the same
// times. A file last changed at least a step ago gets a new time from any
// later write.
constexpr auto kClockStep = std::chrono::milliseconds(10);
// How long a watch waits for a file changed a moment ago to come to rest.
constexpr int kSettleSteps = 5;

std::int64_t nanoseconds(const timespec& t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

FileWatch::FileWatch(const fs::path& file) : m_files{file, fs::path(file.string() + "-wal")}
{
    m_states = states();
    for (int step = 0; step < kSettleSteps && recent(m_states); ++step) {
        std::this_thread::sleep_for(kClockStep);
        m_states = states();
    }
    m_settled = !recent(m_states);
}

bool FileWatch::changed() const
{
    return states() != m_states;
}

FileWatch::State FileWatch::stateOf(const fs::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return {};
    return {true,
            static_cast<std::uintmax_t>(st.st_size),
            nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim),
            static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino)};
}

std::vector<FileWatch::State> FileWatch::states() const
{
    std::vector<State> result;
    result.reserve(m_files.size());
    for (const auto& file : m_files)
        result.push_back(stateOf(file));
    return result;
}

bool FileWatch::recent(const std::vector<State>& states) const
{
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    const std::int64_t step = std::chrono::nanoseconds(kClockStep).count();
    // A time ahead of this clock (a share whose clock runs ahead) tells
    // nothing: such a file is not waited for.
    return std::any_of(states.begin(), states.end(), [&](const State& s) {
        const std::int64_t age = now - std::max(s.modifiedNs, s.changedNs);
        return s.exists && age >= 0 && age < step;
    });
}

void failChangingFile(const fs::path& file)
{
    throw DataError("File illeggibile: il file cambia mentre viene letto, riprovare",
                    displayName(file));
}

void pauseBeforeAttempt(int attempt)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(20) * attempt);
}

} // namespace presenze
