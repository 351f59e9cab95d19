#include "common/ReportFile.h"

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
    const auto lines = splitLines("a\r\nb\rc\nd");
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(ReportFile, DataTextsCarryNoFrameByte)
{
    struct Case {
        std::string_view data, line;
    };
    const Case cases[] = {
        {"SOCIET\xC0 ALBA", "SOCIET\xE0 ALBA"},
        {"CAFF\xC8 \xC9LITE CITT\xC0", "CAFF\xE8 \xE9LITE CITT\xE0"},
        {"\xC1\xC2\xC3\xC4\xC5\xCA\xCB\xCC\xCE\xD9\xDA",
         "\xE1\xE2\xE3\xE4\xE5\xEA\xEB\xEC\xEE\xF9\xFA"},
        {"D\xB4"
         "ANGELO",
         "D'ANGELO"},
        {"\xB3\xB7\xBA\xBB\xBC\xBF", "3.o\"??"},
        {"VIAGGI \xA6 TOUR", "VIAGGI | TOUR"}, // the closing table's broken bar
        {"FRAN\xC7OIS gar\xE7on", "FRAN\xC7OIS garcon"},
        {"A\tB\rC\nD\x0C"
         "E",
         "A B C D E"},
        {"\xD2\xC6\xD1 plain", "\xD2\xC6\xD1 plain"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reportText(c.data), c.line) << c.data;
        EXPECT_EQ(reportText(c.data).size(), c.data.size());
    }
}
