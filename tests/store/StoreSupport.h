#pragma once
// Helpers of the tests of the chain's server: the private server of the
// test process (the test is skipped only when PostgreSQL's server programs
// are not installed) and presenze-cli run against it.

#include "support/PrivatePostgres.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// Declares `server`, a private server of the test's own, started (and
// stopped when the test ends), or skips or fails the test.
#define PRESENZE_PRIVATE_SERVER(server)                                                            \
    presenze::test::PrivatePostgres server##Itself;                                                \
    presenze::test::PrivatePostgres* server = &server##Itself;                                     \
    if (const std::string problem = server->start(); !problem.empty()) {                           \
        if (!presenze::test::PrivatePostgres::programs())                                          \
            GTEST_SKIP() << "PostgreSQL is not installed: " << problem;                            \
        FAIL() << problem;                                                                         \
    }

namespace presenze::test {

// presenze-cli with these arguments, without a password file of the machine.
inline RunResult cli(const std::vector<std::string>& args, std::vector<std::string> env = {})
{
    env.push_back("PGPASSFILE=/nonexistent/pgpass");
    return runProgram("presenze-cli", args, {}, env);
}

// A sync of `folder` into `group` with the clock at `now`, as `user`.
inline RunResult sync(const PrivatePostgres& server, const std::filesystem::path& folder,
                      const std::string& group, const std::string& now = "08/12/2026 14:00",
                      const std::string& user = "presenze_admin", std::vector<std::string> env = {})
{
    return cli({"sync", "--to", server.conninfo(user), "--group", group, "--data-dir",
                folder.string(), "--now", now},
               std::move(env));
}

} // namespace presenze::test
