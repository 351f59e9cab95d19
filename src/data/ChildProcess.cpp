#include "data/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace presenze {
namespace {

using Clock = std::chrono::steady_clock;
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

    bool open()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        readEnd.reset(ends[0]);
        writeEnd.reset(ends[1]);
        ::fcntl(readEnd.get(), F_SETFL, O_NONBLOCK);
        return true;
    }
};

// The argument and environment vectors as execve takes them.
class CommandLine {
public:
    CommandLine(const std::filesystem::path& program, const std::vector<std::string>& args,
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

class SpawnSetup {
public:
    // Output and error go to the descriptors given, or to /dev/null (-1).
    SpawnSetup(int outputFd, int errorFd)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawnattr_init(&m_attributes);
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        redirect(1, outputFd);
        redirect(2, errorFd);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
        // Descriptors the caller left open (sockets, the hotel files) stay here.
        posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
#endif
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
            sigaddset(&defaults, sig);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        m_flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // A process group of its own, led by the child.
    void ownGroup()
    {
        posix_spawnattr_setpgroup(&m_attributes, 0);
        m_flags |= POSIX_SPAWN_SETPGROUP;
    }
    // A session of its own: no signal of this program's terminal reaches it.
    void ownSession()
    {
        m_flags |= POSIX_SPAWN_SETSID;
    }
    void workIn(const std::filesystem::path& dir)
    {
        posix_spawn_file_actions_addchdir_np(&m_actions, dir.c_str());
    }

    // The pid, or the error number as a negative value.
    pid_t spawn(const CommandLine& command)
    {
        posix_spawnattr_setflags(&m_attributes, static_cast<short>(m_flags));
        pid_t pid = -1;
        const int rc = ::posix_spawnp(&pid, command.program(), &m_actions, &m_attributes,
                                      command.argv(), command.envp());
        return rc == 0 ? pid : -rc;
    }

private:
    void redirect(int target, int fd)
    {
        if (fd >= 0)
            posix_spawn_file_actions_adddup2(&m_actions, fd, target);
        else
            posix_spawn_file_actions_addopen(&m_actions, target, "/dev/null", O_WRONLY, 0);
    }

    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
    int m_flags = 0;
};

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
    const CommandLine command(program, args, options.environment);
    pid_t pid = -1;
    {
        SpawnSetup setup(options.captureOutput ? output.writeEnd.get() : -1, errors.writeEnd.get());
        setup.ownGroup();
        pid = setup.spawn(command);
        if (pid < 0) {
            outcome.code = -pid;
            return outcome;
        }
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
    const auto deadline = Clock::now() + options.limit;
    for (;;) {
        if (ended(pid)) {
            // Whatever it started and left behind goes with it.
            killGroup(pid);
            outcomeOf(reap(pid), outcome);
            collector.finish(outcome);
            return outcome;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
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

bool startDetached(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const std::filesystem::path& workdir)
{
    const CommandLine command(program, args, {});
    SpawnSetup setup(-1, -1);
    setup.ownSession();
    if (!workdir.empty())
        setup.workIn(workdir);
    const pid_t pid = setup.spawn(command);
    if (pid < 0)
        return false;
    // Its end is collected, whenever it comes, so that it leaves no zombie.
    std::thread([pid] { reap(pid); }).detach();
    return true;
}

} // namespace presenze
