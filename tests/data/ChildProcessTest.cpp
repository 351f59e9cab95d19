#include "data/ChildProcess.h"

#include "support/TestSupport.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace presenze;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// Processes still running (zombies waiting for their parent count as gone)
// whose command line holds `mark`.
int runningWith(const std::string& mark)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string cmdline, stat;
        try {
            cmdline = test::readFile(entry.path() / "cmdline");
            stat = test::readFile(entry.path() / "stat");
        } catch (...) {
            continue; // ended meanwhile
        }
        const auto state = stat.find(") ");
        if (cmdline.find(mark) != std::string::npos && state != std::string::npos &&
            stat[state + 2] != 'Z')
            ++count;
    }
    return count;
}

} // namespace

TEST(ChildProcess, AProgramThatNeverEndsIsStoppedAtItsLimitWithWhatItStarted)
{
    // A sleep of its own length, so that no other process of the machine counts.
    const std::string mark = "3600." + std::to_string(std::random_device{}() % 1000000 + 1000000);
    const ChildOutcome r =
        runChild("sh", {"-c", "sleep " + mark + " & sleep " + mark + "; echo finito"},
                 {.limit = 500ms, .captureOutput = true, .environment = {}});
    EXPECT_EQ(r.end, ChildOutcome::End::TimedOut);
    EXPECT_EQ(r.output, "");
    // SIGKILL takes effect as the processes are next scheduled.
    for (int i = 0; i < 100 && runningWith(mark) > 0; ++i)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(runningWith(mark), 0);
}

TEST(ChildProcess, ArgumentsReachTheProgramUnchanged)
{
    const std::vector<std::string> words = {
        "due parole", "l'apice e \"le virgolette\"", "a; rm -rf b", "$HOME `id` *", "", "\\n"};
    std::vector<std::string> args = {"%s|\n"};
    args.insert(args.end(), words.begin(), words.end());
    const ChildOutcome r =
        runChild("printf", args, {.limit = 60s, .captureOutput = true, .environment = {}});
    ASSERT_TRUE(r.succeeded()) << r.errorOutput;
    std::string expected;
    for (const auto& w : words)
        expected += w + "|\n";
    EXPECT_EQ(r.output, expected);

    const ChildOutcome missing = runChild("presenze-programma-che-non-esiste", {}, {});
    EXPECT_EQ(missing.end, ChildOutcome::End::NotStarted);
    EXPECT_FALSE(missing.started());
}

TEST(ChildProcess, ItsProcessorTimeIsLimitedLikeItsTime)
{
    const ChildOutcome r =
        runChild("sh", {"-c", "ulimit -t"}, {.limit = 2500ms, .captureOutput = true});
    ASSERT_TRUE(r.succeeded()) << r.errorOutput;
    EXPECT_EQ(r.output, "3\n");
}

TEST(ChildProcess, AWatchedProgramTellsHowItEndedOrGoesOn)
{
    test::TempDir dir;
    const auto ends = startWatched("sh", {"-c", "pwd > dove.txt; exit 3"}, dir.path(), 30s);
    ASSERT_TRUE(ends.has_value());
    EXPECT_EQ(ends->end, ChildOutcome::End::Exited);
    EXPECT_EQ(ends->code, 3);
    EXPECT_EQ(test::readFile(dir / "dove.txt"), dir.path().string() + "\n");
    EXPECT_TRUE(startWatched("true", {}, dir.path(), 30s)->succeeded());
    EXPECT_FALSE(startWatched("presenze-programma-che-non-esiste", {}, dir.path(), 30s)->started());

    // Still at work when the wait ends: it goes on, and ends by itself.
    EXPECT_FALSE(startWatched("sh", {"-c", "sleep 1; echo fatto > fine.txt"}, dir.path(), 100ms));
    for (int i = 0; i < 100 && !fs::exists(dir / "fine.txt"); ++i)
        std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(fs::exists(dir / "fine.txt"));
}
