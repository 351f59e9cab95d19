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
// milliseconds on a local disk): writes within one step leave the same
// times. A file whose content last changed longer ago than this is read
// (a later write gets a later time), and a writer that paused for less is
// taken to be still writing.
constexpr auto kStill = std::chrono::milliseconds(30);
// How long a watch waits for a file to be still before it gives up.
constexpr auto kMostWaited = std::chrono::milliseconds(200);

std::int64_t nanoseconds(const timespec& t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

FileWatch::FileWatch(const fs::path& file) : m_files{file, fs::path(file.string() + "-wal")}
{
    const auto giveUp = std::chrono::steady_clock::now() + kMostWaited;
    for (;;) {
        m_states = states();
        const auto wait = stillFor(m_states);
        m_settled = wait.count() <= 0;
        if (m_settled || std::chrono::steady_clock::now() + wait > giveUp)
            return;
        std::this_thread::sleep_for(wait);
    }
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

std::chrono::nanoseconds FileWatch::stillFor(const std::vector<State>& states)
{
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    std::int64_t wait = 0;
    // A time ahead of this clock (a share whose clock runs ahead) tells
    // nothing: such a file is not waited for.
    for (const State& s : states) {
        const std::int64_t age = now - s.modifiedNs;
        if (s.exists && age >= 0)
            wait = std::max<std::int64_t>(wait, std::chrono::nanoseconds(kStill).count() - age);
    }
    return std::chrono::nanoseconds(wait);
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
