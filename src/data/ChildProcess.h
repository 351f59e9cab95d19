#pragma once
// Running a helper program with a time limit. The program is started with
// posix_spawn (safe in a process with threads), in a process group of its
// own so that a timeout kills it with anything it started; its stderr is
// collected, stdin and stdout are /dev/null.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace presenze {

struct ChildOutcome {
    enum class End { Exited, Signalled, TimedOut, NotStarted };
    End end = End::NotStarted;
    int code = 0;            // exit status, signal number, or errno when not started
    std::string errorOutput; // what the program wrote on stderr (its last 16 KiB)

    bool succeeded() const { return end == End::Exited && code == 0; }
};

ChildOutcome runChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                      std::chrono::milliseconds limit);

} // namespace presenze
