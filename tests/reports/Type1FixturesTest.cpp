// The Type 1 reports over the shared hotel data sets, compared byte for byte
// with the reports of an independent implementation, and the command line.

#include "common/ReportFile.h"
#include "reports/Type1Support.h"

#include <gtest/gtest.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

struct ExpectedReport {
    const char* expected;
    const char* data;
    std::vector<std::string> args;
};

const ExpectedReport kExpected[] = {
    {"t1-summary-confirmed-feb2024", "hotel", {"--from", "02/2024", "--to", "02/2024"}},
    {"t1-detail-all-topacs-jan-mar2024",
     "hotel",
     {"--from", "01/2024", "--to", "03/2024", "--detail", "--kind", "all", "--group-top-acs"}},
    {"t1-edge-detail-all-feb2024",
     "hotel-edge",
     {"--from", "02/2024", "--to", "02/2024", "--detail", "--kind", "all"}},
};

// The first differing line, for a readable failure.
std::string firstDifference(const std::string& got, const std::string& want)
{
    const auto a = splitLines(got);
    const auto b = splitLines(want);
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::string x = i < a.size() ? a[i] : "<none>";
        const std::string y = i < b.size() ? b[i] : "<none>";
        if (x != y)
            return "line " + std::to_string(i + 1) + "\n got: " + x + "\nwant: " + y;
    }
    return "line ends differ";
}

void checkFixture(const ExpectedReport& e, const std::string& folderSuffix)
{
    test::TempDir dir;
    test::copyFixture(std::string(e.data) + folderSuffix, dir.path());
    std::vector<std::string> args = {"--type", "1", "--now", "08/12/2026 14:00"};
    args.insert(args.end(), e.args.begin(), e.args.end());
    const std::string got = test::buildReport(dir.path(), args);
    const std::string want = test::readFile(test::fixturesDir() / "expected" / e.expected);
    EXPECT_TRUE(got == want) << e.expected << " over " << e.data << folderSuffix << ": "
                             << firstDifference(got, want);
}

} // namespace

TEST(Type1Fixtures, MatchTheExpectedReportsOverSqliteFiles)
{
    for (const auto& e : kExpected)
        checkFixture(e, "");
}

TEST(Type1Fixtures, MatchTheExpectedReportsOverAccessFiles)
{
    if (test::accessReaderMissing())
        GTEST_SKIP() << "Access reader not built yet";
    for (const auto& e : kExpected)
        checkFixture(e, "-jet");
}

TEST(Type1Fixtures, LeaveTheHotelFilesUntouched)
{
    test::TempDir dir;
    test::copyFixture("hotel-edge", dir.path());
    test::buildReport(dir.path(), {"--type", "1", "--from", "01/2024", "--to", "03/2024",
                                   "--detail", "--kind", "all", "--station", "9"});
    for (const auto& entry : fs::directory_iterator(test::fixturesDir() / "hotel-edge"))
        EXPECT_EQ(test::readFile(dir / entry.path().filename().string()),
                  test::readFile(entry.path()))
            << entry.path().filename();
    EXPECT_TRUE(fs::exists(dir / "fd9"));
    EXPECT_TRUE(fs::exists(dir / "Vallomir9.mdb"));
}

TEST(Type1CommandLine, WritesTheReportAndPrintsItsPath)
{
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    const auto r = test::runProgram("presenze-cli",
                                    {"report", "--type", "1", "--from", "02/2024", "--now",
                                     "08/12/2026 14:00", "--data-dir", dir.path().string()},
                                    {}, {"PCLocal=5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, (dir / "fd5").string() + "\n");
    EXPECT_EQ(test::readFile(dir / "fd5"),
              test::readFile(test::fixturesDir() / "expected" / "t1-summary-confirmed-feb2024"));
    EXPECT_TRUE(fs::exists(dir / "Vallomir5.mdb"));
}

TEST(Type1CommandLine, RefusesBadRequestsWithoutWritingAnything)
{
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    const std::vector<std::vector<std::string>> bad = {
        {"--from", "05/2024", "--to", "04/2024"}, // reversed
        {"--from", "13/2024"},                    // no such month
        {"--from", "02/24"},                      // two-digit year
        {"--from", "02/1995"},                    // before 1996
        {"--from", "02/02024"},                   // five digits
        {"--from", "02/2024", "--hotels", "2,9"}, // hotel 9 is not in the registry
        {"--from", "02/2024", "--hotels", "0"},
    };
    const auto before = std::distance(fs::directory_iterator(dir.path()), {});
    for (const auto& args : bad) {
        std::vector<std::string> all = {
            "report", "--type", "1", "--data-dir", dir.path().string(), "--station", "3"};
        all.insert(all.end(), args.begin(), args.end());
        const auto r = test::runProgram("presenze-cli", all);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_TRUE(r.out.empty()) << args[1];
        EXPECT_FALSE(r.err.empty()) << args[1];
    }
    const auto r = test::runProgram("presenze-cli",
                                    {"report", "--type", "1", "--data-dir", dir.path().string(),
                                     "--from", "02/2024", "--hotels", "9"});
    EXPECT_NE(r.err.find("Hotel sconosciuto: 9"), std::string::npos) << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), before);
}
