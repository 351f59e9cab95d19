#pragma once
// Running a helper program of the system (the print system's lp and lpstat)
// and collecting what it says. The program is looked up on PATH; nothing
// goes through a shell.

#include <string>
#include <vector>

namespace presenze {

struct ProcessResult {
    bool started = false; // false: the program could not be run at all
    int status = -1;      // exit status (128 + signal when killed)
    std::string out;      // standard output, as written
    std::string err;      // standard error, as written
};

// Runs the program with the arguments (UTF-8) and waits for it. `env` holds
// extra "NAME=value" entries put over the inherited environment.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {});

} // namespace presenze
