#include "demo/DemoData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;
namespace fs = std::filesystem;

TEST(DemoCommand, WritesTheSameFolderAsTheCore)
{
    test::TempDir dir;
    const auto result = test::runProgram(
        "presenze-cli", {"demo", (dir / "demo").string(), "--seed", "3", "--date", "01/02/2027"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find((dir / "demo").string()), std::string::npos);

    DemoOptions options;
    options.seed = 3;
    options.reference = Date{2027, 2, 1};
    writeDemoData(dir / "core", options);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir / "core")) {
        const auto name = entry.path().filename();
        EXPECT_EQ(test::readFile(dir / "demo" / name), test::readFile(entry.path())) << name;
        ++files;
    }
    EXPECT_EQ(files, 13);
}

TEST(DemoCommand, RefusesBadArgumentsWithoutWritingAnything)
{
    test::TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"demo"},
          {"demo", (dir / "a").string(), "--date", "31/02/2027"},
          {"demo", (dir / "a").string(), "--seed", "tre"},
          {"demo", (dir / "a").string(), "--colori"}}) {
        const auto result = test::runProgram("presenze-cli", args);
        EXPECT_EQ(result.status, 2) << args.back();
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_FALSE(fs::exists(dir / "a"));
}

TEST(DemoCommand, ReportsAFolderItCannotWrite)
{
    test::TempDir dir;
    test::writeFile(dir / "file", "x");
    const auto result =
        test::runProgram("presenze-cli", {"demo", (dir / "file" / "demo").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(result.err.empty());
}
