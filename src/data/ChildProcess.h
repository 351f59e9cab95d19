#pragma once
// The one way the program runs another program: the Access reader helper,
// the print system's clients (lp, lpstat), the mail program. An argument
// list, never a shell: each argument reaches the program as it is. A bare
// program name is looked up on PATH.
//
// runChild waits, within a time limit, for a program that must not outlive
// the call. It starts in a process group of its own; at the limit, and once
// it has ended, the whole group is killed, so nothing it started is left
// running. Standard input is /dev/null; standard error is collected,
// standard output too when asked (else /dev/null). Programs are started with
// posix_spawn, safe in a process with threads.
//
// startDetached starts a program that goes on by itself (the mail program):
// in a session of its own, its input and output on /dev/null; the call does
// not wait for it.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace presenze {

struct ChildOptions {
    std::chrono::milliseconds limit{60'000};
    // Standard output is collected whole in ChildOutcome::output.
    bool captureOutput = false;
    // "NAME=value" entries put over the inherited environment.
    std::vector<std::string> environment;
};

struct ChildOutcome {
    enum class End { Exited, Signalled, TimedOut, NotStarted };
    End end = End::NotStarted;
    int code = 0;            // exit status, signal number, or errno when not started
    std::string output;      // standard output, when captured
    std::string errorOutput; // what the program wrote on stderr (its last 64 KiB)

    bool started() const { return end != End::NotStarted; }
    bool succeeded() const { return end == End::Exited && code == 0; }
};

ChildOutcome runChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const ChildOptions& options);

// Starts the program in `workdir` and returns at once; false when it could
// not be started.
bool startDetached(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const std::filesystem::path& workdir);

} // namespace presenze
