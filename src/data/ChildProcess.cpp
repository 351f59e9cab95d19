#include "data/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <linux/close_range.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace presenze {
namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr std::size_t kKeptErrors = 64 * 1024;
constexpr std::size_t kKeepAll = std::numeric_limits<std::size_t>::max();

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// A pipe whose read end stays here and whose write end the child gets.
struct Pipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;

    bool open(bool waitToRead = false)
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        readEnd.reset(ends[0]);
        writeEnd.reset(ends[1]);
        if (!waitToRead)
            ::fcntl(readEnd.get(), F_SETFL, O_NONBLOCK);
        return true;
    }
};

// The argument and environment vectors as execve takes them.
class ExecVectors {
public:
    ExecVectors(const std::filesystem::path& program, const std::vector<std::string>& args,
                const std::vector<std::string>& extra)
        : m_program(program.string())
    {
        m_argv.push_back(const_cast<char*>(m_program.c_str()));
        for (const auto& a : args)
            m_argv.push_back(const_cast<char*>(a.c_str()));
        m_argv.push_back(nullptr);

        auto nameOf = [](std::string_view entry) { return entry.substr(0, entry.find('=')); };
        for (char** e = environ; e && *e; ++e) {
            const bool replaced = std::any_of(
                extra.begin(), extra.end(), [&](const auto& x) { return nameOf(x) == nameOf(*e); });
            if (!replaced)
                m_envp.push_back(*e);
        }
        for (const auto& x : extra)
            m_envp.push_back(const_cast<char*>(x.c_str()));
        m_envp.push_back(nullptr);
    }

    const char* program() const { return m_program.c_str(); }
    char* const* argv() const { return m_argv.data(); }
    char* const* envp() const { return m_envp.data(); }

private:
    std::string m_program;
    std::vector<char*> m_argv;
    std::vector<char*> m_envp;
};

// What the child does between fork and exec. It makes system calls only
// (the memory of a process with threads may be in any state there), and
// tells the parent through `report` why it could not start.
struct ChildSetup {
    int outputFd = -1; // standard output, else /dev/null
    int errorFd = -1;  // standard error, else /dev/null
    bool ownGroup = false;
    bool ownSession = false;
    // Killed when the thread that started it ends, also when the calling
    // program is killed.
    bool diesWithCaller = false;
    long cpuSeconds = 0; // RLIMIT_CPU; 0 for none
    std::string workdir;
};

[[noreturn]] void failInChild(int report)
{
    const int error = errno;
    [[maybe_unused]] const auto written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

void redirect(int target, int fd, int report)
{
    const int from = fd >= 0 ? fd : ::open("/dev/null", target == 0 ? O_RDONLY : O_WRONLY);
    if (from < 0 || ::dup2(from, target) < 0)
        failInChild(report);
}

[[noreturn]] void startInChild(const std::string& path, const ExecVectors& command,
                               const ChildSetup& setup, pid_t caller, int report)
{
    if (setup.diesWithCaller) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The caller may have ended before the line above.
        if (::getppid() != caller)
            ::_exit(127);
    }
    if (setup.ownSession && ::setsid() < 0)
        failInChild(report);
    if (setup.ownGroup && ::setpgid(0, 0) != 0)
        failInChild(report);
    if (setup.cpuSeconds > 0) {
        const rlimit cpu{static_cast<rlim_t>(setup.cpuSeconds),
                         static_cast<rlim_t>(setup.cpuSeconds + 1)};
        if (::setrlimit(RLIMIT_CPU, &cpu) != 0)
            failInChild(report);
    }
    // Signals the caller ignores or blocks are the program's again.
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGXCPU})
        ::sigaction(sig, &defaults, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    redirect(0, -1, report);
    redirect(1, setup.outputFd, report);
    redirect(2, setup.errorFd, report);
    // Descriptors the caller left open (sockets, the hotel files) stay here.
    ::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
    if (!setup.workdir.empty() && ::chdir(setup.workdir.c_str()) != 0)
        failInChild(report);
    ::execve(path.c_str(), command.argv(), command.envp());
    failInChild(report);
}

// The program as execve takes it: a bare name looked up on PATH.
std::string programPath(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return program;
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!dirs.empty()) {
        const auto colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        const std::string candidate =
            (dir.empty() ? std::string(".") : std::string(dir)) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    }
    return program;
}

// The pid, or the error number as a negative value.
pid_t spawn(const ExecVectors& command, const ChildSetup& setup)
{
    const std::string path = programPath(command.program());
    Pipe report;
    if (!report.open(true))
        return -errno;
    const pid_t caller = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        return -errno;
    if (pid == 0)
        startInChild(path, command, setup, caller, report.writeEnd.get());
    report.writeEnd.reset();
    // Closed by exec without a word, or the reason the program did not start.
    int error = 0;
    ssize_t got;
    do {
        got = ::read(report.readEnd.get(), &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof error)) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return -error;
    }
    return pid;
}

// Reads what is available into `kept` (its last `keep` bytes); false once
// the other end is closed.
bool drain(int fd, std::string& kept, std::size_t keep)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            kept.append(buffer, static_cast<std::size_t>(n));
            if (kept.size() > keep)
                kept.erase(0, kept.size() - keep);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// True once the child has ended; it stays a zombie, so that its process
// group cannot be taken by another program until it is reaped.
bool ended(pid_t pid)
{
    for (;;) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0)
            return info.si_pid == pid;
        if (errno != EINTR)
            return true; // reaped elsewhere (SIGCHLD ignored)
    }
}

// The exit status of an ended child; an unknown one counts as a failure.
int reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return SIGKILL;
    }
    return status;
}

void outcomeOf(int status, ChildOutcome& outcome)
{
    if (WIFEXITED(status)) {
        outcome.end = ChildOutcome::End::Exited;
        outcome.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU) {
        // Its processor time ran out: as long as it had.
        outcome.end = ChildOutcome::End::TimedOut;
    } else {
        outcome.end = ChildOutcome::End::Signalled;
        outcome.code = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
}

// The child's output streams, read while it runs.
class Collector {
public:
    Collector(int output, int errors) : m_fds{output, errors} {}

    // Waits up to `wait` for output or for `exitFd` (-1: none) to be readable.
    void collect(ChildOutcome& outcome, int exitFd, std::chrono::milliseconds wait)
    {
        pollfd watched[3];
        int streams[3];
        nfds_t count = 0;
        for (int s = 0; s < 2; ++s) {
            if (m_fds[s] >= 0) {
                streams[count] = s;
                watched[count++] = {m_fds[s], POLLIN, 0};
            }
        }
        if (exitFd >= 0) {
            streams[count] = -1;
            watched[count++] = {exitFd, POLLIN, 0};
        }
        const auto ms = exitFd >= 0 ? wait.count() : std::min<long>(wait.count(), 5);
        if (count == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            return;
        }
        if (::poll(watched, count, static_cast<int>(ms)) <= 0)
            return;
        for (nfds_t i = 0; i < count; ++i) {
            if (streams[i] >= 0 && (watched[i].revents & (POLLIN | POLLHUP | POLLERR)))
                readStream(streams[i], outcome);
        }
    }

    // What is left once the child has ended.
    void finish(ChildOutcome& outcome)
    {
        for (int s = 0; s < 2; ++s) {
            if (m_fds[s] >= 0)
                readStream(s, outcome);
        }
    }

private:
    void readStream(int s, ChildOutcome& outcome)
    {
        const bool open = s == 0 ? drain(m_fds[0], outcome.output, kKeepAll)
                                 : drain(m_fds[1], outcome.errorOutput, kKeptErrors);
        if (!open)
            m_fds[s] = -1;
    }

    int m_fds[2];
};

// Kills the group the child led, with anything still in it.
void killGroup(pid_t pid)
{
    ::kill(-pid, SIGKILL);
}

} // namespace

ChildOutcome runChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const ChildOptions& options)
{
    ChildOutcome outcome;
    Pipe output, errors;
    if ((options.captureOutput && !output.open()) || !errors.open()) {
        outcome.code = errno;
        return outcome;
    }
    const ExecVectors command(program, args, options.environment);
    ChildSetup setup;
    setup.outputFd = options.captureOutput ? output.writeEnd.get() : -1;
    setup.errorFd = errors.writeEnd.get();
    setup.ownGroup = true;
    setup.diesWithCaller = true;
    // As much processor time as it has time: a program that spins in many
    // threads, or goes on while this one is stopped, ends there too.
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(options.limit).count();
    setup.cpuSeconds = std::max<long>(1, static_cast<long>(seconds));
    const pid_t pid = spawn(command, setup);
    if (pid < 0) {
        outcome.code = -pid;
        return outcome;
    }
    output.writeEnd.reset();
    errors.writeEnd.reset();

    // A descriptor that becomes readable when the child ends, where the
    // kernel offers one; otherwise the loop looks every few milliseconds.
#ifdef SYS_pidfd_open
    FileDescriptor exitFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#else
    FileDescriptor exitFd;
#endif
    Collector collector(output.readEnd.get(), errors.readEnd.get());
    const auto deadline = SteadyClock::now() + options.limit;
    for (;;) {
        if (ended(pid)) {
            // Whatever it started and left behind goes with it.
            killGroup(pid);
            outcomeOf(reap(pid), outcome);
            collector.finish(outcome);
            return outcome;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0)
            break;
        collector.collect(outcome, exitFd.get(), left);
    }

    // Out of time: the child and whatever it started go.
    killGroup(pid);
    reap(pid);
    collector.finish(outcome);
    outcome.end = ChildOutcome::End::TimedOut;
    return outcome;
}

std::optional<ChildOutcome> startWatched(const std::filesystem::path& program,
                                         const std::vector<std::string>& args,
                                         const std::filesystem::path& workdir,
                                         std::chrono::milliseconds wait)
{
    ChildOutcome outcome;
    const ExecVectors command(program, args, {});
    ChildSetup setup;
    setup.ownSession = true;
    setup.workdir = workdir.string();
    const pid_t pid = spawn(command, setup);
    if (pid < 0) {
        outcome.code = -pid;
        return outcome;
    }
#ifdef SYS_pidfd_open
    FileDescriptor exitFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#else
    FileDescriptor exitFd;
#endif
    Collector nothing(-1, -1);
    const auto deadline = SteadyClock::now() + wait;
    for (;;) {
        if (ended(pid)) {
            outcomeOf(reap(pid), outcome);
            return outcome;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0)
            break;
        nothing.collect(outcome, exitFd.get(), left);
    }
    // Its end is collected, whenever it comes, so that it leaves no zombie.
    std::thread([pid] { reap(pid); }).detach();
    return std::nullopt;
}

int replaceProgram(const std::filesystem::path& program, const std::vector<std::string>& args)
{
    const ExecVectors command(program, args, {});
    ::execve(programPath(program.string()).c_str(), command.argv(), command.envp());
    return errno;
}

std::optional<std::filesystem::path> besideThisProgram(std::string_view name)
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::nullopt;
    std::filesystem::path beside = self.parent_path() / name;
    if (::access(beside.c_str(), X_OK) != 0)
        return std::nullopt;
    return beside;
}

} // namespace presenze
