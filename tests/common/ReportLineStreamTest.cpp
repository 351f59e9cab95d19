#include "common/ReportFile.h"
#include "data/DataError.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <random>

using namespace presenze;

namespace {

std::vector<std::string> streamed(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    forEachReportLine(file, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

} // namespace

TEST(ReportLineStream, GivesTheLinesOfTheWholeFileReader)
{
    test::TempDir dir;
    for (const std::string content :
         {"", "a", "a\r\n", "\r\n", "\r\n\r\n", "a\rb\nc\r\nd", "a\n\rb", "x\r"}) {
        test::writeFile(dir / "fd", content);
        EXPECT_EQ(streamed(dir / "fd"), splitLines(content)) << content;
    }
    EXPECT_THROW(streamed(dir / "missing"), DataError);
}

TEST(ReportLineStream, LinesAndLineEndsAcrossReadBlocks)
{
    // Several megabytes of random lines with every kind of line end, so that
    // lines, CR LF pairs and empty lines fall across the 1 MB read blocks.
    std::mt19937 random(7);
    std::string content;
    while (content.size() < 3'500'000) {
        content.append(random() % 200, static_cast<char>('a' + random() % 26));
        const std::string ends[] = {"\r\n", "\r", "\n", "\r\n\r\n"};
        content += ends[random() % 4];
    }
    content.replace((1 << 20) - 1, 2, "\r\n");
    content.replace((2 << 20) - 1, 1, "\r");
    test::TempDir dir;
    test::writeFile(dir / "fd", content);
    EXPECT_TRUE(streamed(dir / "fd") == splitLines(content));
}
