#include "output/PrintSettings.h"

#include "output/LineConversion.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(PrintSettings, GroupsOfThreeDigitsGiveTheCodes)
{
    const auto s = decodePrintSettings("010000000000000001012000000000000000",
                                       "000000000000000002070064000000000000");
    EXPECT_EQ(s.codici[1], 10);
    EXPECT_EQ(s.codici[6], 1);
    EXPECT_TRUE(s.systemPrinterMode());
    EXPECT_EQ(s.codici[7], 12);
    EXPECT_EQ(s.codici[12], 0);
    EXPECT_EQ(s.margin(), 2);
    EXPECT_EQ(s.physicalLines(true), 70);
    EXPECT_EQ(s.physicalLines(false), 64);
    EXPECT_DOUBLE_EQ(s.bodyFontSize(true), 10);
    EXPECT_DOUBLE_EQ(s.bodyFontSize(false), 12);
    EXPECT_DOUBLE_EQ(s.headerFontSize(), 10);
}

TEST(PrintSettings, ShortOrOddTextsReadAsTheFormsReadThem)
{
    // A short text leaves the missing groups at 0; "1a2" reads as 1; a negative
    // margin counts as none.
    const auto s = decodePrintSettings("0270151a2", "000000000000000-03");
    EXPECT_EQ(s.codici[1], 27);
    EXPECT_EQ(s.codici[2], 15);
    EXPECT_EQ(s.codici[3], 1);
    EXPECT_EQ(s.codici[4], 0);
    EXPECT_FALSE(s.systemPrinterMode());
    EXPECT_EQ(s.grassetto[6], -3);
    EXPECT_EQ(s.margin(), 0);
    // Font sizes of 0 fall back to a readable size.
    EXPECT_DOUBLE_EQ(s.bodyFontSize(false), 10);
}

TEST(PrintSettings, StartSequencesAreTheFiveCodesOfTheMode)
{
    const auto s = decodePrintSettings("027015000000000000027018999300065000", "");
    EXPECT_EQ(s.startSequence(true), std::string("\x1B\x0F\0\0\0", 5));
    // Codes beyond a byte cannot be sent and are left out.
    EXPECT_EQ(s.startSequence(false), "\x1B\x12"
                                      "A");
}

TEST(PrintSettings, WithoutARecordRawWith66LinePagesAndNoMargin)
{
    const auto s = defaultPrintSettings();
    EXPECT_FALSE(s.systemPrinterMode());
    EXPECT_EQ(s.margin(), 0);
    EXPECT_EQ(s.physicalLines(false), 66);
    EXPECT_EQ(s.physicalLines(true), 66);
    EXPECT_EQ(s.startSequence(false), std::string(5, '\0'));
}

TEST(Converti2, TheFrameBytesAreDrawnAsFramesAndOGraveAsItsSmallLetter)
{
    // The 21 frame bytes, then letters that no conversion touches but "Ò".
    const std::string line = "\xB3\xB4\xB7\xBA\xBB\xBC\xBF\xC0\xC1\xC2\xC3\xC4\xC5\xC8\xC9\xCA"
                             "\xCB\xCC\xCE\xD9\xDA|\xD2\xB5\xCD\xE7\xA6\x80";
    const std::string frames = "│┤╖║╗╝┐└┴┬├─┼╚╔╩╦╠╬┘┌|";
    EXPECT_EQ(Converti2(line), frames + "òµÍç¦€");
    // With "K" the letters stay, the frames are still frames.
    EXPECT_EQ(Converti2(line, true), frames + "ÒµÍç¦€");
}
