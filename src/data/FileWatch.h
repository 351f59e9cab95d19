#pragma once
// Reading a data file that another program may be writing. SQLite's locks
// do not keep every writer away (a copy or a restore over the file, a share
// whose locks do not work, an Access file, a program that ignores them), so
// a read of a hotel data file is made only under two conditions:
//   - the file and its "-wal" have been still for a while: one modified less
//     than 2 seconds ago is waited for until it has been still for 2 seconds
//     (a writer may be pausing half way), at most 30 seconds in all; the wait
//     is shown through the folder's WaitNotice, which may cancel it;
//   - the read is framed by the state (size, modification and change time,
//     inode) and by a hash of the whole content of the file and of its
//     "-wal", taken before and after: a read during which either changed is
//     thrown away and made again, however little the file's clock moved.
// A file that keeps changing is refused ("il file cambia mentre viene
// letto, riprovare") rather than read half old, half new.

#include "data/DataFolder.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace presenze {

// How long a file must have been still before it is read, and how long a
// read may wait for it.
struct Stillness {
    std::chrono::milliseconds still;
    std::chrono::milliseconds most;
};
// The hotel data files.
inline constexpr Stillness kDataFileStillness{std::chrono::seconds(2), std::chrono::seconds(30)};
// Files the program writes itself, whole, by renaming (the company list):
// framed, never waited for.
inline constexpr Stillness kNoStillness{std::chrono::milliseconds(0), std::chrono::milliseconds(0)};

// How often a read is made before the file is refused.
inline constexpr int kReadAttempts = 4;

// The attempts at one consistent read of a file.
class SteadyRead {
public:
    SteadyRead(std::filesystem::path file, const Stillness& stillness, WaitNotice notice);

    // Waits until the files are still (raising DataError when they are not
    // within the limit, or the wait is cancelled), then takes their state
    // and hashes.
    void begin();
    // True when the files are as begin() found them.
    bool unchanged() const;
    // Pauses before the next attempt; raises DataError "il file cambia
    // mentre viene letto, riprovare" after the last.
    void next();

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
    std::vector<std::string> hashes() const;
    // How much longer the files must stay still.
    std::chrono::nanoseconds stillFor(const std::vector<State>& states) const;
    void waitUntilStill();
    [[noreturn]] void failChanging() const;

    std::vector<std::filesystem::path> m_files; // the file and its "-wal"
    Stillness m_stillness;
    WaitNotice m_notice;
    std::chrono::steady_clock::time_point m_giveUp;
    int m_attempt = 1;
    std::vector<State> m_states;
    std::vector<std::string> m_hashes;
};

// The result of read() (which opens `file` and reads what it needs from it)
// from a read during which the file stayed the same. A read that failed
// while the file changed is made again too (a half-written file may read
// as damaged); its error stands when the file stayed the same.
template <typename Read>
auto readSteadily(const std::filesystem::path& file, Read&& read,
                  const Stillness& stillness = kDataFileStillness, const WaitNotice& notice = {})
    -> decltype(read())
{
    SteadyRead steady(file, stillness, notice);
    for (;;) {
        steady.begin();
        try {
            auto result = read();
            if (steady.unchanged())
                return result;
        } catch (...) {
            if (steady.unchanged())
                throw;
        }
        steady.next();
    }
}

} // namespace presenze
