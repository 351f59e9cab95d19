#pragma once
// A PostgreSQL server of the tests' own: a cluster made by initdb in a folder
// of the system's temporary folder, listening only on a Unix socket in that
// folder, with a database "presenze" and a superuser "presenze_admin". Run as
// root, the tests run the server as the "postgres" account (initdb refuses
// root); the folder is then that account's.
//
// The server is watched by a keeper process that holds the read end of a
// pipe: when this object goes, or the test process ends in any way, the pipe
// closes, and the keeper stops the server and removes its folder.
//
// The benchmarks use it too: it needs nothing of the tests.

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace presenze::test {

class PrivatePostgres {
public:
    PrivatePostgres() = default;
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres&) = delete;
    PrivatePostgres& operator=(const PrivatePostgres&) = delete;

    // The folder of the server's programs (initdb, postgres), if installed.
    static std::optional<std::filesystem::path> programs();

    // Makes the cluster and starts the server; an empty text when it
    // answers, else why not.
    std::string start();

    // A connection string for database "presenze" as `user`.
    std::string conninfo(const std::string& user = "presenze_admin") const;
    const std::filesystem::path& folder() const { return m_root; }

    // The superuser's connection string for the tests' own sessions, which
    // go by the name "presenze-test".
    std::string adminConninfo() const;
    // Runs SQL statements as the superuser; raises on failure.
    void sql(const std::string& script) const;
    // The first value of a query's first row, as the superuser ("" for none).
    std::string value(const std::string& query) const;

private:
    std::string log() const;
    std::string runAsServerUser(const std::filesystem::path& program,
                                const std::vector<std::string>& args) const;

    std::filesystem::path m_root;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    bool m_switchUser = false;
    pid_t m_owner = ::getpid();
    pid_t m_keeper = -1;
    int m_pipe = -1;
};

} // namespace presenze::test
