#pragma once
// A private CUPS scheduler for tests: configured in a temporary folder and
// listening only on a socket there, so nothing of the machine's print system
// is touched; and a "printer on the network" that keeps what a queue sends
// it. The scheduler's "file:" devices deliver nothing for raw queues, so a
// test queue's device is the usual network printer backend (socket://) aimed
// at a SocketPrinter.

#include "support/TestSupport.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace presenze::test {

namespace fs = std::filesystem;

inline std::optional<fs::path> findCupsd()
{
    for (const char* dir : {"/usr/sbin", "/usr/local/sbin", "/sbin"}) {
        const fs::path candidate = fs::path(dir) / "cupsd";
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

class PrivateCups {
public:
    PrivateCups()
    {
        fs::permissions(m_root.path(), fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
        for (const char* dir : {"spool", "cache", "state", "log", "tmp"})
            fs::create_directories(m_root / dir);
        const std::string root = m_root.path().string();
        writeFile(m_root / "cupsd.conf",
                  "Listen " + socket() +
                      "\n"
                      "LogLevel debug\nBrowsing No\nWebInterface No\n"
                      "DefaultAuthType None\n"
                      "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                      "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                      "    Allow all\n  </Limit>\n</Policy>\n");
        std::string files = "ServerRoot " + root + "\nRequestRoot " + root + "/spool\nCacheDir " +
                            root + "/cache\nStateDir " + root + "/state\nTempDir " + root +
                            "/tmp\nErrorLog " + root + "/log/error_log\nAccessLog " + root +
                            "/log/access_log\nPageLog " + root + "/log/page_log\nPrintcap " + root +
                            "/printcap\n";
        // Run by an ordinary user, the scheduler takes that user's group as its own.
        if (const group* g = ::getgrgid(::getegid()); ::geteuid() != 0 && g)
            files += "SystemGroup " + std::string(g->gr_name) + "\n";
        writeFile(m_root / "cups-files.conf", files);
    }

    ~PrivateCups()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
        }
    }

    // Starts the scheduler and waits until it answers; an empty text on
    // success, else why it could not start.
    std::string start()
    {
        const auto cupsd = findCupsd();
        if (!cupsd)
            return "the CUPS scheduler (cupsd) is not installed";
        const std::string conf = (m_root / "cupsd.conf").string();
        const std::string files = (m_root / "cups-files.conf").string();
        const std::string output = (m_root / "log" / "cupsd.out").string();
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                ::dup2(fd, STDOUT_FILENO);
                ::dup2(fd, STDERR_FILENO);
            }
            ::execl(cupsd->c_str(), "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            const auto r = lp("lpstat", {"-r"});
            if (r.succeeded() && r.output.find("scheduler is running") != std::string::npos)
                return {};
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return "cupsd stopped at once: " + log();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return "cupsd did not answer within 10 seconds: " + log();
    }

    std::string socket() const { return (m_root / "cups.sock").string(); }
    std::string environment() const { return "CUPS_SERVER=" + socket(); }

    // Runs one of the print system's clients against this scheduler.
    ChildOutcome lp(const std::string& program, const std::vector<std::string>& args) const
    {
        return runTool(program, args, {environment(), "LC_ALL=C"});
    }

    std::string log() const
    {
        std::string text;
        for (const char* name : {"cupsd.out", "error_log"}) {
            if (fs::exists(m_root / "log" / name))
                text += readFile(m_root / "log" / name);
        }
        return text.size() > 4000 ? text.substr(text.size() - 4000) : text;
    }

private:
    TempDir m_root;
    pid_t m_pid = -1;
};

// A socket listening on 127.0.0.1, on a port of the system's choosing; a
// listener that is never read from is a print server that never answers.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 16)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(m_fd, backlog) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackListener()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

protected:
    int m_fd = -1;
    int m_port = 0;
};

// A printer on the network, as the queue's device sees it: it takes one
// connection and keeps everything it receives.
class SocketPrinter : public LoopbackListener {
public:
    SocketPrinter() : LoopbackListener(4) {}

    // The bytes of one job: a connection read to its end, within the time allowed.
    std::optional<std::string> receive(std::chrono::seconds allowed)
    {
        const auto until = std::chrono::steady_clock::now() + allowed;
        auto left = [&] {
            return static_cast<int>(
                std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                           until - std::chrono::steady_clock::now())
                                           .count()));
        };
        pollfd waiting{m_fd, POLLIN, 0};
        if (::poll(&waiting, 1, left()) != 1)
            return std::nullopt;
        const int connection = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            return std::nullopt;
        std::string bytes;
        char buffer[65536];
        for (;;) {
            pollfd reading{connection, POLLIN, 0};
            if (::poll(&reading, 1, left()) != 1) {
                ::close(connection);
                return std::nullopt;
            }
            const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(connection);
        return bytes;
    }
};

} // namespace presenze::test
