#include "support/PrivatePostgres.h"

#include "store/PgConnection.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <libpq-fe.h>
#include <memory>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace presenze::test {
namespace fs = std::filesystem;

namespace {

// The keeper: starts the server in the background, waits for its standard
// input (the pipe) to close, then stops the server (fast shutdown) and
// removes the folder. The server keeps nothing safe from a crash (no fsync),
// and its log holds several syncs of a million room lines (half a gigabyte
// each) before a checkpoint, as a chain's server is set up to.
constexpr const char* kKeeper =
    "\"$1/postgres\" -D \"$2/data\" -k \"$2\" -c listen_addresses= -c fsync=off "
    "-c synchronous_commit=off -c full_page_writes=off -c max_connections=30 -c "
    "shared_buffers=512MB -c max_wal_size=4GB "
    ">\"$2/server.log\" 2>&1 </dev/null &\n"
    "pg=$!\n"
    "cat >/dev/null\n"
    "kill -INT $pg\n"
    "wait $pg\n"
    "rm -rf \"$2\"\n";

// A temporary folder the server's account can reach: the system's, unless
// a folder on its way is closed to others and the account is another.
fs::path reachableTemp(bool otherUser)
{
    const fs::path temp = fs::temp_directory_path();
    if (!otherUser)
        return temp;
    for (fs::path p = temp; !p.empty(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || (st.st_mode & S_IXOTH) == 0)
            return "/tmp";
        if (p == p.parent_path())
            break;
    }
    return temp;
}

void dropTo(uid_t uid, gid_t gid)
{
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
        ::_exit(126);
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<char*> argvOf(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

} // namespace

std::optional<fs::path> PrivatePostgres::programs()
{
    std::optional<fs::path> best;
    int bestVersion = 0;
    std::error_code ec;
    for (fs::directory_iterator it("/usr/lib/postgresql", ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path bin = it->path() / "bin";
        const int version = std::atoi(it->path().filename().c_str());
        if (version > bestVersion && ::access((bin / "initdb").c_str(), X_OK) == 0 &&
            ::access((bin / "postgres").c_str(), X_OK) == 0) {
            best = bin;
            bestVersion = version;
        }
    }
    return best;
}

std::string PrivatePostgres::runAsServerUser(const fs::path& program,
                                             const std::vector<std::string>& args) const
{
    const std::string output = (m_root / "initdb.log").string();
    std::vector<std::string> all = {program.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
        }
        if (m_switchUser)
            dropTo(m_uid, m_gid);
        auto argv = argvOf(all);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    return program.filename().string() + " failed: " + readText(output);
}

std::string PrivatePostgres::start()
{
    const auto bin = programs();
    if (!bin)
        return "the PostgreSQL server programs are not installed";
    m_switchUser = ::geteuid() == 0;
    if (m_switchUser) {
        const passwd* account = ::getpwnam("postgres");
        if (!account)
            return "running as root, and there is no \"postgres\" account to run the server";
        m_uid = account->pw_uid;
        m_gid = account->pw_gid;
    }
    std::string pattern = (reachableTemp(m_switchUser) / "presenze-pg-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return "mkdtemp failed";
    m_root = pattern;
    if (m_switchUser && ::chown(m_root.c_str(), m_uid, m_gid) != 0)
        return "chown of the server's folder failed";
    if (auto failed = runAsServerUser(*bin / "initdb",
                                      {"-D", (m_root / "data").string(), "-U", "presenze_admin",
                                       "-A", "trust", "-E", "UTF8", "--locale=C", "--no-sync"});
        !failed.empty())
        return failed;
    // The superuser comes in without a password; every other role with one.
    const fs::path hba = m_root / "data" / "pg_hba.conf";
    std::ofstream(hba, std::ios::trunc) << "local all presenze_admin trust\n"
                                           "local all all scram-sha-256\n";
    if (m_switchUser && ::chown(hba.c_str(), m_uid, m_gid) != 0)
        return "chown of pg_hba.conf failed";

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return "pipe failed";
    std::fflush(nullptr);
    m_keeper = ::fork();
    if (m_keeper == 0) {
        ::dup2(ends[0], STDIN_FILENO);
        ::setsid();
        if (m_switchUser)
            dropTo(m_uid, m_gid);
        const std::vector<std::string> args = {"/bin/sh", "-c",          kKeeper,
                                               "keeper",  bin->string(), m_root.string()};
        auto argv = argvOf(args);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ends[0]);
    m_pipe = ends[1];

    const std::string admin = "host=" + m_root.string() + " dbname=postgres user=presenze_admin";
    for (int i = 0; i < 300; ++i) {
        if (PQping(admin.c_str()) == PQPING_OK) {
            PgConnection(StoreAddress{admin, "test"}).execute("CREATE DATABASE presenze");
            return {};
        }
        int status = 0;
        if (::waitpid(m_keeper, &status, WNOHANG) == m_keeper) {
            m_keeper = -1;
            return "the server stopped at once: " + log();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "the server did not answer within 30 seconds: " + log();
}

PrivatePostgres::~PrivatePostgres()
{
    // A forked copy of this process leaves the server to its owner.
    if (m_owner != ::getpid())
        return;
    if (m_pipe >= 0)
        ::close(m_pipe);
    if (m_keeper > 0) {
        int status = 0;
        ::waitpid(m_keeper, &status, 0);
    }
    std::error_code ec;
    if (!m_root.empty())
        fs::remove_all(m_root, ec);
}

std::string PrivatePostgres::conninfo(const std::string& user) const
{
    return "host=" + m_root.string() + " dbname=presenze user=" + user;
}

// The tests' own sessions go by another name than the program's.
std::string PrivatePostgres::adminConninfo() const
{
    return conninfo() + " application_name=presenze-test";
}

void PrivatePostgres::sql(const std::string& script) const
{
    PgConnection(StoreAddress{adminConninfo(), "test"}).execute(script.c_str());
}

std::string PrivatePostgres::value(const std::string& query) const
{
    PgConnection connection(StoreAddress{adminConninfo(), "test"});
    const PgResult result = connection.query(query.c_str());
    return result.rows() > 0 && !result.isNull(0, 0) ? std::string(result.value(0, 0)) : "";
}

std::string PrivatePostgres::log() const
{
    const fs::path file = m_root / "server.log";
    std::error_code ec;
    if (!fs::exists(file, ec))
        return "(no log)";
    const std::string text = readText(file);
    return text.size() > 3000 ? text.substr(text.size() - 3000) : text;
}

} // namespace presenze::test
