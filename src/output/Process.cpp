#include "output/Process.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace presenze {
namespace {

// A temporary file that catches one output stream of the child.
class Capture {
public:
    Capture()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "presenze-XXXXXX").string();
        m_fd = ::mkstemp(pattern.data());
        if (m_fd >= 0)
            m_path = pattern;
    }
    ~Capture()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    int fd() const { return m_fd; }

    std::string read() const
    {
        std::string text;
        if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) < 0)
            return text;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            text.append(buffer, static_cast<std::size_t>(got));
        }
        return text;
    }

private:
    int m_fd = -1;
    std::string m_path;
};

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra)
{
    std::vector<std::string> merged;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const auto& x : extra)
            replaced = replaced || nameOf(x) == nameOf(entry);
        if (!replaced)
            merged.push_back(entry);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

} // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env)
{
    ProcessResult result;
    Capture out, err;
    if (out.fd() < 0 || err.fd() < 0) {
        result.err = "impossibile creare un file temporaneo";
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.fd(), STDERR_FILENO);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto environment = mergedEnvironment(env);
    std::vector<char*> envp;
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int rc =
        ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.err = std::strerror(rc);
        return result;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return result;
    }
    result.started = true;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = out.read();
    result.err = err.read();
    // A program that is not there is only known once the child fails to run it.
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127 && result.out.empty() && result.err.empty())
        result.started = false;
    return result;
}

} // namespace presenze
