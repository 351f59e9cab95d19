#include "data/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
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
constexpr std::size_t kKeptOutput = 16 * 1024;

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

class SpawnSetup {
public:
    SpawnSetup(int errorWriteEnd)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&m_actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&m_actions, errorWriteEnd, 2);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
        // Descriptors the caller left open (sockets, the hotel files) stay here.
        posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
#endif
        posix_spawnattr_init(&m_attributes);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
            sigaddset(&defaults, sig);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        posix_spawnattr_setpgroup(&m_attributes, 0);
        posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                    POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const
    {
        return &m_actions;
    }
    const posix_spawnattr_t* attributes() const
    {
        return &m_attributes;
    }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

// Reads what is available; false once the other end is closed.
bool drain(int fd, std::string& kept)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            kept.append(buffer, static_cast<std::size_t>(n));
            if (kept.size() > kKeptOutput)
                kept.erase(0, kept.size() - kKeptOutput);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// Collects the exit status if the child has ended.
bool reaped(pid_t pid, int& status)
{
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return true;
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno == ECHILD) {
            // Reaped elsewhere (SIGCHLD ignored): the outcome is unknown,
            // so it counts as a failure.
            status = SIGKILL;
            return true;
        }
        return false;
    }
}

ChildOutcome outcomeOf(int status)
{
    ChildOutcome outcome;
    if (WIFEXITED(status)) {
        outcome.end = ChildOutcome::End::Exited;
        outcome.code = WEXITSTATUS(status);
    } else {
        outcome.end = ChildOutcome::End::Signalled;
        outcome.code = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return outcome;
}

} // namespace

ChildOutcome runChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                      std::chrono::milliseconds limit)
{
    ChildOutcome outcome;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        outcome.code = errno;
        return outcome;
    }
    FileDescriptor readEnd(ends[0]), writeEnd(ends[1]);

    std::vector<char*> argv;
    const std::string path = program.string();
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    {
        const SpawnSetup setup(writeEnd.get());
        const int rc = ::posix_spawn(&pid, path.c_str(), setup.actions(), setup.attributes(),
                                     argv.data(), environ);
        if (rc != 0) {
            outcome.code = rc;
            return outcome;
        }
    }
    writeEnd.reset();
    ::fcntl(readEnd.get(), F_SETFL, O_NONBLOCK);

    // A descriptor that becomes readable when the child ends, where the
    // kernel offers one; otherwise the loop looks every few milliseconds.
#ifdef SYS_pidfd_open
    FileDescriptor exitFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#else
    FileDescriptor exitFd;
#endif
    const auto deadline = Clock::now() + limit;
    std::string output;
    bool open = true;
    int status = 0;
    for (;;) {
        if (reaped(pid, status)) {
            if (open)
                drain(readEnd.get(), output);
            ChildOutcome done = outcomeOf(status);
            done.errorOutput = std::move(output);
            return done;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd watched[2];
        int count = 0;
        if (open)
            watched[count++] = {readEnd.get(), POLLIN, 0};
        if (exitFd.get() >= 0)
            watched[count++] = {exitFd.get(), POLLIN, 0};
        const int wait =
            static_cast<int>(exitFd.get() >= 0 ? left.count() : std::min<long>(left.count(), 5));
        if (count == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
            continue;
        }
        if (::poll(watched, static_cast<nfds_t>(count), wait) > 0 && open &&
            (watched[0].revents & (POLLIN | POLLHUP | POLLERR)))
            open = drain(readEnd.get(), output);
    }

    // Out of time: the child and whatever it started go.
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.end = ChildOutcome::End::TimedOut;
    outcome.errorOutput = std::move(output);
    return outcome;
}

} // namespace presenze
