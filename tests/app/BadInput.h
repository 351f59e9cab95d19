#pragma once
// Shared pieces of the bad-input tests: a demo data folder copied for each
// case, presenze-cli run as a separate process with a time limit (and, when
// asked, a limit on the size of the files it may write), and the checks that
// every case ends either in a clear message or in a report.

#include "support/TestSupport.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze::test {

// The month the demo data is built around, and the station tag of the cases.
inline constexpr const char* kDemoMonth = "02/2026";
inline constexpr const char* kTag = "3";

// A fresh copy of the demo folder (seed 5, reference 15/02/2026) in a temporary
// folder of its own. The demo is generated once per test program.
class DemoCopy {
public:
    DemoCopy();
    const std::filesystem::path& path() const { return m_dir.path(); }
    std::filesystem::path operator/(std::string_view name) const { return m_dir / name; }
    // Runs SQL (UTF-8) on one of the copy's files.
    void sql(std::string_view file, std::string_view statements) const;

private:
    TempDir m_dir;
};

struct CliLimits {
    int seconds = 120;                           // killed after this (a hang)
    std::optional<std::uintmax_t> fileSizeLimit; // RLIMIT_FSIZE, writes beyond fail
    std::optional<std::uintmax_t> memoryLimit;   // RLIMIT_AS, allocations beyond fail
    std::optional<unsigned> user;                // run as this user id (= group id), as root
    std::filesystem::path programs;              // run from there (default: the build's)
};

// The programs of the build (presenze-cli, presenze-jet) copied into a
// folder that every user may enter, for the cases that run them as another
// user: a build inside a folder that only its owner may enter (root's home)
// is out of that user's reach. Staged once per test program.
class StagedPrograms {
public:
    // The folder, or nullopt with the reason in `why` when `user` cannot
    // run the programs even there.
    static std::optional<std::filesystem::path> forUser(unsigned user, std::string& why);
};

struct CliResult {
    int status = -1; // exit status, or 128 + signal
    bool signalled = false;
    std::string out;
    std::string err; // UTF-8 as the terminal shows it
};

// presenze-cli with the arguments, run in `workdir` with the environment of
// the tests plus `env` ("NAME=value"; "NAME" alone unsets it).
CliResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workdir,
                 const std::vector<std::string>& env = {}, const CliLimits& limits = {});

// `report --type N --from 02/2026 --station 3` followed by `extra`.
CliResult runReport(int type, const std::filesystem::path& dir,
                    const std::vector<std::string>& extra = {},
                    const std::vector<std::string>& env = {});

// A failure as the program must end one: exit status 1, no signal, no
// "errore imprevisto", and a message that names each of `names`.
::testing::AssertionResult failsNaming(const CliResult& result,
                                       const std::vector<std::string>& names);
// A success: exit status 0, no signal.
::testing::AssertionResult succeeds(const CliResult& result);

// Bytes and modification time of every file of a folder (not recursive).
struct FileState {
    std::string bytes;
    std::int64_t modifiedNs = 0;
    friend bool operator==(const FileState&, const FileState&) = default;
};
std::map<std::string, FileState> folderState(const std::filesystem::path& dir);

// The hotel data files of a folder (databases and the text files beside
// them), as folderState gives them.
std::map<std::string, FileState> dataFileState(const std::filesystem::path& dir);

// A marker report left in place before a case, to see that a failed request
// leaves the previous report file alone.
inline constexpr std::string_view kOldReport = "RAPPORTO PRECEDENTE\r\n";

} // namespace presenze::test
