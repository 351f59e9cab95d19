#pragma once
// Helpers of the tests of the chain's server: the private server of the
// test process (the test is skipped only when PostgreSQL's server programs
// are not installed) and presenze-cli run against it.

#include "support/PrivatePostgres.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// Declares `server`, the running private server, or skips or fails the test.
#define PRESENZE_PRIVATE_SERVER(server)                                                            \
    std::string serverProblem;                                                                     \
    presenze::test::PrivatePostgres* server = presenze::test::sharedPostgres(serverProblem);       \
    if (!server) {                                                                                 \
        if (!presenze::test::PrivatePostgres::programs())                                          \
            GTEST_SKIP() << "PostgreSQL is not installed: " << serverProblem;                      \
        FAIL() << serverProblem;                                                                   \
    }

namespace presenze::test {

// presenze-cli with these arguments, its messages in the C locale's way.
inline RunResult cli(const std::vector<std::string>& args, std::vector<std::string> env = {})
{
    env.push_back("PGPASSFILE=/dev/null");
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
