#include "request/CommandLine.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(CommandLine, ReadsTheReportOptionsIntoASelection)
{
    const auto r =
        parseReportOptions({"--type", "2", "--from", "11/2025", "--to", "02/2026", "--kind", "all",
                            "--hotels", "1,3", "--detail", "--company", "L'ANCORA", "--arrivals",
                            "--now", "08/12/2026 14:00", "--station", "07"});
    ASSERT_TRUE(r.options) << r.error;
    const auto& o = *r.options;
    EXPECT_EQ(o.kind, ReportKind::Type2);
    EXPECT_EQ(monthsOf(o.range),
              (std::vector<std::string>{"01/11/2025", "01/12/2025", "01/01/2026", "01/02/2026"}));
    EXPECT_EQ(o.selection.kind, BookingKind::All);
    EXPECT_TRUE(o.selection.hotelTicked(3));
    EXPECT_FALSE(o.selection.hotelTicked(2));
    EXPECT_FALSE(o.selection.summary);
    EXPECT_TRUE(o.selection.singleCompany);
    EXPECT_EQ(o.selection.company, "L'ANCORA");
    EXPECT_TRUE(o.arrivals);
    EXPECT_EQ(*o.station, "07");
    EXPECT_EQ(o.now->hour, 14);
}

TEST(CommandLine, RefusesBadRangesAndValues)
{
    EXPECT_FALSE(
        parseReportOptions({"--type", "1", "--from", "05/2026", "--to", "04/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "13/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "00/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "01/1995"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "01/26"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "3", "--from", "01/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1"}).options);
    EXPECT_FALSE(
        parseReportOptions({"--type", "1", "--from", "01/2026", "--hotels", "1,,2"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "01/2026", "--bogus"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from"}).options);
    // A season is a prefix of file names, never a way into another folder.
    for (const char* season : {"../2023", "/tmp/x", "a\\b", "20\n23"})
        EXPECT_FALSE(
            parseReportOptions({"--type", "1", "--from", "01/2026", "--season", season}).options)
            << season;
    // "/" written in two bytes is no "/".
    const auto overlong = parseReportOptions({"--type", "1", "--from", "01/2026", "--season",
                                              "..\xC0\xAF"
                                              "2023"});
    ASSERT_TRUE(overlong.options);
    EXPECT_EQ(overlong.options->selection.season, "..?2023");
    const auto one = parseReportOptions({"--type", "1", "--from", "3/2026"});
    ASSERT_TRUE(one.options);
    EXPECT_EQ(monthsOf(one.options->range), (std::vector<std::string>{"01/03/2026"}));
}
