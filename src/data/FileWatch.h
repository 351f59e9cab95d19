#pragma once
// Reading a data file that another program may be writing. SQLite's locks
// do not keep every writer away (a copy or a restore over the file, a share
// whose locks do not work, an Access file), so a read is framed by the state
// of the file and of its "-wal" (size, modification and change time, inode):
// a read during which either changed is thrown away and made again, and a
// file that keeps changing is refused rather than read half old, half new.

#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

namespace presenze {

class FileWatch {
public:
    // The files a read of `file` depends on (the file and its "-wal"), as
    // they are now. A file written a moment ago is waited for until it has
    // been still for a moment (a later write might leave its times as they
    // are, and its writer may be pausing), a fraction of a second at most:
    // settled() tells whether it came to rest.
    explicit FileWatch(const std::filesystem::path& file);

    bool settled() const { return m_settled; }
    // True when a file is no longer as it was taken.
    bool changed() const;

private:
    struct State {
        bool exists = false;
        std::uintmax_t size = 0;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        friend bool operator==(const State&, const State&) = default;
    };
    static State stateOf(const std::filesystem::path& file);
    std::vector<State> states() const;
    // How much longer the files must stay still.
    static std::chrono::nanoseconds stillFor(const std::vector<State>& states);

    std::vector<std::filesystem::path> m_files;
    std::vector<State> m_states;
    bool m_settled = false;
};

// How often a read is made before the file is refused.
inline constexpr int kReadAttempts = 4;

// Raises DataError "il file cambia mentre viene letto, riprovare" naming
// the file.
[[noreturn]] void failChangingFile(const std::filesystem::path& file);
// The pause before the next attempt, longer each time.
void pauseBeforeAttempt(int attempt);

// The result of read() (which opens `file` and reads what it needs from it)
// from a read during which the file stayed the same. A read that failed
// while the file changed is made again too (a half-written file may read
// as damaged); its error stands when the file stayed the same.
template <typename Read>
auto readSteadily(const std::filesystem::path& file, Read&& read) -> decltype(read())
{
    for (int attempt = 1;; ++attempt) {
        const FileWatch watch(file);
        if (watch.settled()) {
            try {
                auto result = read();
                if (!watch.changed())
                    return result;
            } catch (...) {
                if (!watch.changed())
                    throw;
            }
        }
        if (attempt == kReadAttempts)
            failChangingFile(file);
        pauseBeforeAttempt(attempt);
    }
}

} // namespace presenze
