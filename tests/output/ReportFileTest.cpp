#include "output/ReportFile.h"

#include "data/DataError.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(ReportFile, WritesCrLfLinesAndOneByteFormFeedLines)
{
    test::TempDir dir;
    {
        AtomicFile file(dir / reportFileName("07"));
        ReportWriter out(file);
        out.line("a\xB3");
        out.formFeed();
        out.line("");
        file.commit();
    }
    EXPECT_EQ(test::readFile(dir / "fd07"), "a\xB3\r\n\x0C\r\n\r\n");
    const auto lines = readReportLines(dir / "fd07");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "\x0C");
    EXPECT_EQ(reportFileName(""), "fd");
}

TEST(ReportFile, AnUnfinishedWriteLeavesThePreviousFile)
{
    test::TempDir dir;
    test::writeFile(dir / "fd", "old\r\n");
    {
        AtomicFile file(dir / "fd");
        ReportWriter out(file);
        out.line("new");
    } // never committed
    EXPECT_EQ(test::readFile(dir / "fd"), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(ReportFile, AFailingDeviceRaisesAClearError)
{
    test::FailingSink sink(5);
    ReportWriter out(sink);
    out.line("abc");
    EXPECT_THROW(out.line("def"), DataError);
}

TEST(ReportFile, SplitsAnyLineEnd)
{
    const auto lines = splitReportLines("a\r\nb\rc\nd");
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d"}));
}
