// The indicators and the ISTAT sheet read from the chain's server are the
// folder's, byte for byte; over every group of the server, each group's rows
// are its own CSV's behind its name, and the chain's line sums the groups'.

#include "store/StoreSupport.h"

#include <sstream>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kKpiCases[] = {
    {"--from", "01/2024", "--to", "03/2024", "--compare", "--kind", "all"},
    {"--from", "02/2024", "--compare", "--by", "company"},
    {"--from", "01/2023", "--to", "02/2023", "--season", "2023"},
};

// The CSV of `kpi` with these arguments, run in `station`.
std::string kpiCsv(const fs::path& station, std::vector<std::string> args,
                   const std::vector<std::string>& extra = {})
{
    const fs::path csv = station / "k.csv";
    args.insert(args.begin(), {"kpi", "--data-dir", station.string(), "--csv", csv.string(),
                               "--now", "08/12/2026 14:00"});
    args.insert(args.end(), extra.begin(), extra.end());
    const auto run = test::cli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return test::readFile(csv);
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    return fields;
}

} // namespace

TEST(StoreIndicators, FromTheServerAsFromTheFolderAndOverTheChain)
{
    PRESENZE_PRIVATE_SERVER(server);
    test::TempDir hotel, edge, station;
    test::copyFixture("hotel", hotel.path());
    test::copyFixture("hotel-edge-jet", edge.path());
    const std::pair<std::string, fs::path> groups[] = {{"Alba", hotel.path()},
                                                       {"bosco 2", edge.path()}};
    for (const auto& [group, folder] : groups)
        ASSERT_EQ(test::sync(*server, folder, group).status, 0) << group;
    const std::vector<std::string> source = {"--source", server->conninfo()};

    for (const std::vector<std::string>& args : kKpiCases) {
        for (const auto& [group, folder] : groups) {
            std::vector<std::string> one = source;
            one.insert(one.end(), {"--group", group});
            const std::string fromFolder = kpiCsv(folder, args);
            EXPECT_GT(linesOf(fromFolder).size(), 3u) << group;
            EXPECT_TRUE(kpiCsv(station.path(), args, one) == fromFolder)
                << group << ", kpi " << testing::PrintToString(args);
        }
    }

    // Every group: "Gruppo" first, each group's rows behind its name, then
    // the chain's line, whose counts sum the groups' lines.
    const std::vector<std::string>& months = kKpiCases[0];
    const std::vector<std::string> chain = linesOf(kpiCsv(station.path(), months, source));
    std::vector<std::string> expected;
    std::vector<std::vector<std::string>> groupTotals;
    for (const auto& [group, folder] : groups) {
        const std::vector<std::string> own = linesOf(kpiCsv(folder, months));
        if (expected.empty())
            expected.push_back("Gruppo," + own.front());
        for (std::size_t i = 1; i < own.size(); ++i)
            expected.push_back(group + "," + own[i]);
        groupTotals.push_back(fieldsOf(own.back()));
    }
    ASSERT_EQ(chain.size(), expected.size() + 4); // the chain's three months and total
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(chain[i], expected[i]) << "line " << i + 1;
    const std::vector<std::string> total = fieldsOf(chain.back());
    ASSERT_EQ(total.size(), groupTotals[0].size() + 1);
    EXPECT_EQ(total[0], "");
    EXPECT_EQ(total[1], "Totale");
    EXPECT_EQ(total[2], "Totale");
    // CamereDisponibili, CamereVendute, CamereOpzionate, Presenze, Arrivi and
    // their values last year.
    for (const std::size_t field : {2, 3, 4, 6, 7, 13, 14, 15, 17, 18})
        EXPECT_EQ(std::stoll(total[field + 1]),
                  std::stoll(groupTotals[0][field]) + std::stoll(groupTotals[1][field]))
            << "field " << field;

    // The ISTAT sheet of a group on the server is the folder's.
    const auto istat = [&](const fs::path& dir, const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"istat", "--month", "02/2024", "--data-dir", dir.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = test::cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    };
    std::vector<std::string> alba = source;
    alba.insert(alba.end(), {"--group", "Alba"});
    EXPECT_EQ(istat(station.path(), alba), istat(hotel.path(), {}));
}
