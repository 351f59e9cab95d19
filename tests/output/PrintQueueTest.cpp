// Printing through a real print queue: a private CUPS scheduler on a socket of
// its own (nothing of the machine's print system is touched), with a raw
// queue whose device is a socket the test listens on and writes to a file.
// The scheduler's "file:" devices deliver nothing for raw queues, so the
// queue's device is the usual network printer backend instead.

#include "output/PrintFolder.h"
#include "output/PrintJob.h"
#include "output/PrintQueues.h"
#include "output/Process.h"
#include "output/RawPrint.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <grp.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

std::optional<fs::path> findCupsd()
{
    for (const char* dir : {"/usr/sbin", "/usr/local/sbin", "/sbin"}) {
        const fs::path candidate = fs::path(dir) / "cupsd";
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

// A scheduler of its own, configured in a temporary folder, listening only on
// a socket in that folder.
class PrivateCups
{
public:
    PrivateCups()
    {
        fs::permissions(m_root.path(), fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
        for (const char* dir : {"spool", "cache", "state", "log", "tmp"})
            fs::create_directories(m_root / dir);
        const std::string root = m_root.path().string();
        test::writeFile(m_root / "cupsd.conf",
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
        test::writeFile(m_root / "cups-files.conf", files);
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
            if (r.status == 0 && r.out.find("scheduler is running") != std::string::npos)
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
    ProcessResult lp(const std::string& program, const std::vector<std::string>& args) const
    {
        return runProcess(program, args, {environment(), "LC_ALL=C"});
    }

    std::string log() const
    {
        std::string text;
        for (const char* name : {"cupsd.out", "error_log"}) {
            if (fs::exists(m_root / "log" / name))
                text += test::readFile(m_root / "log" / name);
        }
        return text.size() > 4000 ? text.substr(text.size() - 4000) : text;
    }

private:
    test::TempDir m_root;
    pid_t m_pid = -1;
};

// A printer on the network, as the queue's device sees it: it takes one
// connection and keeps everything it receives.
class SocketPrinter
{
public:
    SocketPrinter()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(m_fd, 4) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~SocketPrinter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int port() const { return m_port; }

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

private:
    int m_fd = -1;
    int m_port = 0;
};

class PrintQueueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const std::string problem = m_cups.start(); !problem.empty())
            GTEST_SKIP() << "CUPS cannot start here, print queue test skipped: " << problem;
        ASSERT_GT(m_printer.port(), 0);
        const auto added =
            m_cups.lp("lpadmin", {"-p", "Ufficio", "-E", "-v",
                                  "socket://127.0.0.1:" + std::to_string(m_printer.port())});
        ASSERT_EQ(added.status, 0) << added.err << m_cups.log();
    }

    // Runs presenze-cli against the private scheduler.
    test::RunResult cli(const std::vector<std::string>& args)
    {
        return test::runProgram("presenze-cli", args, {}, {m_cups.environment()});
    }

    PrivateCups m_cups;
    SocketPrinter m_printer;
};

} // namespace

TEST_F(PrintQueueTest, TheQueueIsListedAndARawPrintArrivesByteForByte)
{
    // The queue is in the system's printer list.
    const auto listed = m_cups.lp("lpstat", {"-p"});
    EXPECT_NE(listed.out.find("printer Ufficio"), std::string::npos) << listed.out << listed.err;
    ::setenv("CUPS_SERVER", m_cups.socket().c_str(), 1);
    const auto queues = listPrintQueues();
    ::unsetenv("CUPS_SERVER");
    EXPECT_EQ(queues, std::vector<std::string>{"Ufficio"});
    EXPECT_EQ(findPrintQueue(queues, "UFFICIO"), "Ufficio");

    // A raw destination whose device is the queue's name.
    test::PrintFolder f;
    f.destination("Stampante ufficio", 2, "ufficio");
    f.settings(2, "000000000000000000027069000000000000", "000000000000000001");
    f.pageLengths(1, 4, 4);
    std::string report = "\xDA\xC4\xBF\r\n";
    for (int i = 0; i < 5; ++i)
        report += "riga " + std::to_string(i) + " \xB3 \x80 caff\xE8\r\n";
    report += "\x0C\r\nfine\r\n";
    f.report("3", report);

    auto received =
        std::async(std::launch::async, [&] { return m_printer.receive(std::chrono::seconds(30)); });
    const auto run = cli({"print", "--data-dir", f.path().string(), "--station", "3",
                          "--destination", "Stampante ufficio"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Ufficio"), std::string::npos) << run.out;
    const auto bytes = received.get();
    ASSERT_TRUE(bytes) << "nothing reached the printer\n" << m_cups.log();

    const std::string expected =
        std::string("\x1B\x45\0\0\0", 5) +
        " \r\n---\r\nriga 0 | \x80 caff\xE8\r\nriga 1 | \x80 caff\xE8\r\n\x0C"
        " \r\nriga 2 | \x80 caff\xE8\r\nriga 3 | \x80 caff\xE8\r\nriga 4 | "
        "\x80 caff\xE8\r\n\x0C"
        " \r\nfine\r\n\x0C";
    EXPECT_EQ(*bytes, expected);
    PrintChoices choices;
    choices.destination = "Stampante ufficio";
    EXPECT_EQ(*bytes, rawPrintBytes(preparePrint(f.folder(), "3", 1, choices).job));
}

TEST_F(PrintQueueTest, ASystemPrinterDestinationSendsItsPagesAsPdf)
{
    test::PrintFolder f;
    f.destination("Laser", 3, "Ufficio");
    f.settings(3, "008000000000000001010", "");
    f.report("3", "HOTEL EDEN \xB3 TOT\r\n\x0C\r\nSECONDA PAGINA\r\n");

    auto received =
        std::async(std::launch::async, [&] { return m_printer.receive(std::chrono::seconds(30)); });
    const auto run = cli({"print", "--data-dir", f.path().string(), "--station", "3",
                          "--destination", "Laser", "--duplex"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto bytes = received.get();
    ASSERT_TRUE(bytes) << "nothing reached the printer\n" << m_cups.log();
    ASSERT_EQ(bytes->rfind("%PDF-1.4", 0), 0u);
    EXPECT_NE(bytes->find("/Count 2 "), std::string::npos);
    test::TempDir dir;
    test::writeFile(dir / "job.pdf", *bytes);
    const auto text = runProcess("pdftotext", {(dir / "job.pdf").string(), "-"});
    if (text.started) {
        EXPECT_NE(text.out.find("HOTEL EDEN | TOT"), std::string::npos) << text.out;
        EXPECT_NE(text.out.find("SECONDA PAGINA"), std::string::npos) << text.out;
    }
}

TEST_F(PrintQueueTest, ARefusedJobIsReportedNotSwallowed)
{
    const auto rejected = m_cups.lp("cupsreject", {"Ufficio"});
    ASSERT_EQ(rejected.status, 0) << rejected.err;
    test::PrintFolder f;
    f.destination("Ufficio", 2, "Ufficio");
    f.report("3", "a\r\n");
    const auto run = cli(
        {"print", "--data-dir", f.path().string(), "--station", "3", "--destination", "Ufficio"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Stampa rifiutata"), std::string::npos) << run.err;
}
