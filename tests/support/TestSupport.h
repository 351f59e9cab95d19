#pragma once
// Helpers shared by the tests: temporary folders, fixture copies, small
// SQLite data files built on the fly, and the stand-ins for the person at
// the station (scripted answers) and for the clock.

#include "common/Clock.h"
#include "common/Interaction.h"
#include "data/AtomicFile.h"
#include "data/ChildProcess.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze::test {

// A fresh empty folder, removed with its content when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Sets (or, with a null value, unsets) an environment variable for the life
// of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// The repository's test data, tests/fixtures (or $PRESENZE_FIXTURES).
std::filesystem::path fixturesDir();
// An Access sample: from the repository's jet/ folder, else (the samples
// without a stated licence) from the folder $PRESENZE_EXTRA_FIXTURES names.
std::optional<std::filesystem::path> jetSample(std::string_view file);
// The skip message for a sample that is not there.
std::string missingJetSample(std::string_view file);
// Copies every Access sample that is there into dir.
void copyJetSamples(const std::filesystem::path& dir);
// Gives a file (and its "-wal" and "-journal", when there) a modification
// time an hour ago: the program reads a data file written less than two
// seconds ago only once it has been still for two seconds, and a test that
// has just made its data does not stand for a writer at work.
void settle(const std::filesystem::path& file);
// Copies a fixture folder (e.g. "hotel") into dir, files made writable and
// settled.
void copyFixture(std::string_view name, const std::filesystem::path& dir);

std::string readFile(const std::filesystem::path& file);
// Writes the bytes and settles the file.
void writeFile(const std::filesystem::path& file, std::string_view bytes);

// Runs SQL statements (UTF-8) on a new or existing SQLite file, then settles it.
void runSql(const std::filesystem::path& file, std::string_view sql);

// A clock fixed at 08/12/2026 14:00 (the expected reports' clock).
FixedClock fixedClock();

// Answers questions from a queue (default: Yes) and records what was shown.
class ScriptedInteraction final : public Interaction {
public:
    std::deque<int> answers;
    std::vector<std::string> questions; // Windows-1252
    std::vector<std::string> warnings;  // "title: text"
    std::vector<std::string> statuses;
    int ask(std::string_view title, std::string_view text, bool withCancel) override;
    void warn(std::string_view title, std::string_view text) override;
    void status(std::string_view text) override;
};

// A sink that fails once `limit` bytes have been written.
class FailingSink final : public ByteSink {
public:
    explicit FailingSink(std::size_t limit) : m_limit(limit) {}
    void write(std::string_view bytes) override;
    std::string written;

private:
    std::size_t m_limit;
};

// Runs a program of the build (presenze-cli, presenze-jet) with arguments,
// in `workdir`, with the environment of the tests plus `env` ("NAME=value";
// "NAME" alone unsets it); returns the exit status (128 + signal when a
// signal ended it) and collects stdout and stderr. `inChild`, when given,
// runs in the child just before the program starts (limits, signals).
struct RunResult {
    int status = -1;
    bool signalled = false;
    std::string out;
    std::string err;
};
RunResult runProgram(std::string_view program, const std::vector<std::string>& args,
                     const std::filesystem::path& workdir = {},
                     const std::vector<std::string>& env = {},
                     const std::function<void()>& inChild = {});
// The same for a program named by its path.
RunResult runExecutable(const std::filesystem::path& exe, const std::vector<std::string>& args,
                        const std::filesystem::path& workdir = {},
                        const std::vector<std::string>& env = {},
                        const std::function<void()>& inChild = {});

// Runs a tool of the system (pdftotext, the print system's clients) with its
// output collected, for one minute at most.
ChildOutcome runTool(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env = {});

} // namespace presenze::test
