// presenze-cli starts without the drawing and the server's libraries, and
// hands the commands that need them to presenze-cli-full: what a person at
// the terminal sees is the same from both.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

namespace {

TEST(ProgramStart, PresenzeCliLoadsNeitherQtNorLibpq)
{
    // The dynamic loader lists the libraries it would load, and stops.
    const auto listed =
        test::runProgram("presenze-cli", {"--version"}, {}, {"LD_TRACE_LOADED_OBJECTS=1"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    ASSERT_NE(listed.out.find("libsqlite3"), std::string::npos) << listed.out;
    for (const char* library : {"libQt6", "libpq", "libGL", "libX11"})
        EXPECT_EQ(listed.out.find(library), std::string::npos) << library << " in " << listed.out;
}

TEST(ProgramStart, CommandsHandedOverAnswerAsTheFullProgram)
{
    const std::vector<std::vector<std::string>> lines = {
        {"--version"},
        {"print", "--help"},
        {"report", "--type", "1", "--from", "01/2024", "--source", "host=x password=y", "--group",
         "g"},
        {"report", "--type", "1", "--from", "13/2024", "--source", "host=x password=y", "--group",
         "g"},
        {"sync", "--to", "host=x password=y"},
        {"pickup", "--source", "= bad"},
        {"kpi", "--from", "01/2024", "--chart", "a.png", "--data-dir", "/nonexistent"},
        {"print", "--destination", "PDF", "--data-dir", "/nonexistent"},
    };
    for (const auto& args : lines) {
        const auto handed = test::runProgram("presenze-cli", args);
        const auto full = test::runProgram("presenze-cli-full", args);
        EXPECT_EQ(handed.status, full.status) << args.front();
        EXPECT_EQ(handed.out, full.out) << args.front();
        EXPECT_EQ(handed.err, full.err) << args.front();
        EXPECT_NE(handed.status, -1) << args.front();
    }
}

TEST(ProgramStart, AMissingFullProgramIsNamed)
{
    const auto result = test::runProgram("presenze-cli", {"print", "--destination", "PDF"}, {},
                                         {"PRESENZE_CLI_FULL=/nonexistent/presenze-cli-full"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("impossibile avviare /nonexistent/presenze-cli-full"),
              std::string::npos)
        << result.err;
}

} // namespace
