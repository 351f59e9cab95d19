#pragma once
// The one way the program runs another program: the Access reader helper,
// the print system's clients (lp, lpstat), the mail program. An argument
// list, never a shell: each argument reaches the program as it is. A bare
// program name is looked up on PATH.
//
// runChild waits, within a time limit, for a program that must not outlive
// the call. It starts in a process group of its own; at the limit, and once
// it has ended, the whole group is killed, so nothing it started is left
// running. It is killed too when the calling program ends, however it ends
// (killed, crashed), and its processor time is limited to the time limit.
// Standard input is /dev/null; standard error is collected, standard output
// too when asked (else /dev/null). Between fork and exec the child makes
// system calls only, safe in a process with threads.
//
// replaceProgram hands the calling program's work to another program: the
// same process goes on as that program (exec), with the same input, output,
// environment and process group; it returns only when that program could
// not be started.
//
// startWatched starts a program that may go on by itself (the desktop's
// opener, the mail program): in a session of its own, its input and output
// on /dev/null, never killed from here. It waits a while for the program to
// end and tells how it ended; one still at work then goes on.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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

// Starts the program in `workdir` and waits up to `wait` for it to end;
// nullopt when it is still at work then.
std::optional<ChildOutcome> startWatched(const std::filesystem::path& program,
                                         const std::vector<std::string>& args,
                                         const std::filesystem::path& workdir,
                                         std::chrono::milliseconds wait);

// Replaces the calling program by `program` run with `args` (its argv[0]
// is the program's path). Returns the error number when it cannot.
int replaceProgram(const std::filesystem::path& program, const std::vector<std::string>& args);

// The program `name` installed beside the running one, when it is there.
std::optional<std::filesystem::path> besideThisProgram(std::string_view name);

} // namespace presenze
