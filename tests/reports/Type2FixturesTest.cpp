// The Type 2 reports over the shared hotel groups, through presenze-cli,
// compared byte for byte with the reference reports; the Access twins must
// give the same bytes.

#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

struct FixtureCase {
    const char* name;
    const char* data;
    const char* expected;
    std::vector<std::string> args;
};

std::ostream& operator<<(std::ostream& os, const FixtureCase& c)
{
    return os << c.name;
}

const std::vector<std::string> kNow = {"--now", "08/12/2026 14:00"};

std::vector<FixtureCase> cases()
{
    const std::vector<std::string> detailAll = {"--type",  "2",        "--from", "02/2024", "--to",
                                                "02/2024", "--detail", "--kind", "all"};
    const std::vector<std::string> totalsArrivals = {"--type", "2",       "--from",    "02/2024",
                                                     "--to",   "02/2024", "--arrivals"};
    return {
        {"DetailAll", "hotel", "t2-detail-all-feb2024", detailAll},
        {"TotalsArrivals", "hotel", "t2-totals-confirmed-arrivals-feb2024", totalsArrivals},
        {"EdgeDetailAll", "hotel-edge", "t2-edge-detail-all-feb2024", detailAll},
        {"JetDetailAll", "hotel-jet", "t2-detail-all-feb2024", detailAll},
        {"JetTotalsArrivals", "hotel-jet", "t2-totals-confirmed-arrivals-feb2024", totalsArrivals},
        {"JetEdgeDetailAll", "hotel-edge-jet", "t2-edge-detail-all-feb2024", detailAll},
    };
}

std::map<std::string, std::string> contentOf(const fs::path& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        files[entry.path().filename().string()] = test::readFile(entry.path());
    return files;
}

class Type2Fixtures : public testing::TestWithParam<FixtureCase> {};

} // namespace

TEST_P(Type2Fixtures, MatchesTheReferenceReportAndLeavesTheDataAlone)
{
    const FixtureCase& c = GetParam();
    test::TempDir dir;
    const fs::path data = dir / c.data;
    test::copyFixture(c.data, data);
    const auto before = contentOf(data);

    std::vector<std::string> args = {"report"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), kNow.begin(), kNow.end());
    args.insert(args.end(), {"--data-dir", data.string(), "--station", "4"});
    const auto run = test::runProgram("presenze-cli", args);
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string expected = test::readFile(test::fixturesDir() / "expected" / c.expected);
    const std::string actual = test::readFile(data / "fd4");
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected)
        << "first difference at byte "
        << std::mismatch(actual.begin(), actual.end(), expected.begin()).first - actual.begin();

    auto after = contentOf(data);
    after.erase("fd4");
    EXPECT_TRUE(after == before) << "a data file was changed or a file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Reports, Type2Fixtures, testing::ValuesIn(cases()),
                         [](const auto& test) { return std::string(test.param.name); });
