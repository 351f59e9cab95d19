#pragma once
// One timed run in a child process: the parent forks, the child runs the work
// and reports its own wall time through a pipe, the parent collects the
// child's peak resident memory with wait4. Each run starts from the same
// small parent, so peak memory is that of the work alone (plus the parent's
// few pages), and a crash or a hang of the work ends only the child.

#include <functional>
#include <string>

namespace presenze::bench {

struct Run {
    bool ok = false;
    double seconds = 0; // wall time of the work, measured in the child
    double value = 0;   // what the work returned
    long peakKb = 0;    // the child's maximum resident set size
    std::string error;  // UTF-8, when not ok
};

// Runs work in a child process; a run longer than timeoutSeconds is stopped
// and reported as an error. Exceptions of the work become the error text
// (DataError messages are converted from Windows-1252).
Run runInChild(const std::function<void()>& work, int timeoutSeconds);
// The same for work that returns a figure (a count of rows, of bytes).
Run runFigureInChild(const std::function<double()>& work, int timeoutSeconds);

} // namespace presenze::bench
