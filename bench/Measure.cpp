#include "Measure.h"

#include "data/DataError.h"
#include "data/Text1252.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace presenze::bench {
namespace {

void writeAll(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n <= 0)
            return;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

[[noreturn]] void childMain(int fd, const std::function<double()>& work)
{
    std::string error;
    double seconds = 0;
    double value = 0;
    try {
        const auto start = std::chrono::steady_clock::now();
        value = work();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } catch (const DataError& e) {
        error = cp1252ToUtf8(e.what());
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (error.empty()) {
        writeAll(fd, "o", 1);
        writeAll(fd, &seconds, sizeof seconds);
        writeAll(fd, &value, sizeof value);
    } else {
        writeAll(fd, "e", 1);
        writeAll(fd, error.data(), error.size());
    }
    ::close(fd);
    // No destructors or exit handlers of the parent's objects run here.
    ::_exit(0);
}

} // namespace

Run runInChild(const std::function<void()>& work, int timeoutSeconds)
{
    return runFigureInChild(
        [&] {
            work();
            return 0.0;
        },
        timeoutSeconds);
}

Run runFigureInChild(const std::function<double()>& work, int timeoutSeconds)
{
    Run run;
    int fds[2];
    if (::pipe(fds) != 0) {
        run.error = std::string("pipe: ") + std::strerror(errno);
        return run;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        run.error = std::string("fork: ") + std::strerror(errno);
        ::close(fds[0]);
        ::close(fds[1]);
        return run;
    }
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(static_cast<unsigned>(timeoutSeconds));
        childMain(fds[1], work);
    }
    ::close(fds[1]);
    std::string message;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            message.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);

    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.peakKb = usage.ru_maxrss;
    if (WIFSIGNALED(status)) {
        run.error = WTERMSIG(status) == SIGALRM
                        ? "stopped after " + std::to_string(timeoutSeconds) + " s"
                        : "ended by signal " + std::to_string(WTERMSIG(status));
    } else if (!message.empty() && message[0] == 'o' && message.size() == 1 + 2 * sizeof(double)) {
        std::memcpy(&run.seconds, message.data() + 1, sizeof(double));
        std::memcpy(&run.value, message.data() + 1 + sizeof(double), sizeof(double));
        run.ok = true;
    } else if (!message.empty() && message[0] == 'e') {
        run.error = message.substr(1);
    } else {
        run.error = "no result from the child process";
    }
    return run;
}

} // namespace presenze::bench
