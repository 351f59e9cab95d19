// The hotel data files are never changed: every command, with every option,
// over SQLite files and over Access files, leaves each of them with its exact
// bytes and modification time.

#include "app/BadInput.h"

#include <gtest/gtest.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

std::vector<std::vector<std::string>> everyCommand(const std::string& month)
{
    std::vector<std::vector<std::string>> commands;
    const std::vector<std::string> report = {"report", "--from",          month, "--station", "3",
                                             "--now",  "08/12/2026 14:00"};
    const std::vector<std::vector<std::string>> options = {
        {},
        {"--detail", "--kind", "all"},
        {"--kind", "optional", "--hotels", "1,2"},
        {"--detail", "--company-list", "--group-top-acs"},
        {"--detail", "--company", "A"},
        {"--arrivals", "--detail"},
        {"--season", "2025"},
        {"--season", "2023"},
        {"--to", "04/" + month.substr(3)},
    };
    for (const char* type : {"1", "2"}) {
        for (const auto& extra : options) {
            auto args = report;
            args.insert(args.begin() + 1, {"--type", type});
            args.insert(args.end(), extra.begin(), extra.end());
            commands.push_back(args);
        }
    }
    commands.push_back({"csv", "--station", "3"});
    commands.push_back({"kpi", "--from", month, "--to", "04/" + month.substr(3), "--compare",
                        "--by", "company", "--csv", "k.csv", "--xlsx", "k.xlsx"});
    commands.push_back({"kpi", "--forward", "90", "--now", "08/12/2026 14:00", "--kind", "all",
                        "--season", "2025"});
    commands.push_back({"kpi", "--from", month, "--csv", "TipiCamere.mdb"});
    for (const char* destination : {"Aghi Reception", "PDF Ufficio", "Laser Ufficio"}) {
        commands.push_back({"print", "--destination", destination, "--station", "3"});
        commands.push_back({"print", "--destination", destination, "--station", "3", "--compressed",
                            "--landscape", "--duplex", "--printer", "stampa.pdf"});
    }
    commands.push_back({"print", "--destination", "Nessuna", "--station", "3"});
    commands.push_back({"istat", "--month", month, "--csv", "i.csv", "--xlsx", "i.xlsx"});
    commands.push_back({"istat", "--month", month, "--season", "2025", "--hotels", "1,2"});
    return commands;
}

void runEveryCommand(const fs::path& dir, const std::string& month)
{
    const auto before = test::dataFileState(dir);
    ASSERT_GE(before.size(), 6u);
    for (const auto& args : everyCommand(month)) {
        const auto result = test::runCli(args, dir);
        EXPECT_FALSE(result.signalled) << args[0] << ": " << result.err;
        EXPECT_LE(result.status, 2) << result.err;
        const auto after = test::dataFileState(dir);
        ASSERT_EQ(after.size(), before.size()) << args[0];
        for (const auto& [name, state] : before) {
            EXPECT_TRUE(after.at(name).bytes == state.bytes) << name << " after " << args[0];
            EXPECT_EQ(after.at(name).modifiedNs, state.modifiedNs) << name << " after " << args[0];
        }
    }
}

} // namespace

TEST(DataUnchanged, EveryCommandOverTheDemoFolder)
{
    test::DemoCopy dir;
    runEveryCommand(dir.path(), test::kDemoMonth);
    // The files the commands write are the station's own.
    for (const char* name :
         {"fd3", "fd3.csv", "Vallomir3.mdb", "StampaAghi.prn", "stampa.pdf", "k.csv", "k.xlsx"})
        EXPECT_TRUE(fs::exists(dir / name)) << name;
}

TEST(DataUnchanged, EveryCommandOverAccessFiles)
{
    test::TempDir dir;
    test::copyFixture("hotel-jet", dir.path());
    {
        // The print configuration of the demo beside the Access files.
        test::DemoCopy demo;
        for (const char* name : {"Stampanti.mdb", "Contatori.mdb", "FontStp.txt"})
            fs::copy_file(demo / name, dir / name);
    }
    runEveryCommand(dir.path(), "02/2024");
}
