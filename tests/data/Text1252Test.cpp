#include "data/Text1252.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(Text1252, ConvertsBothWaysAndMarksUnmappableCharacters)
{
    EXPECT_EQ(utf8ToCp1252("citt\xC3\xA0 \xE2\x82\xAC"), "citt\xE0 \x80");
    EXPECT_EQ(cp1252ToUtf8("citt\xE0 \x80"), "citt\xC3\xA0 \xE2\x82\xAC");
    EXPECT_EQ(utf8ToCp1252("\xD0\x96"), "?");           // Cyrillic
    EXPECT_EQ(utf8ToCp1252("\xF0\x9F\x98\x80!"), "?!"); // emoji
    EXPECT_EQ(utf8ToCp1252("a\xC3"), "a?");             // cut short
    EXPECT_EQ(utf8ToCp1252("\xFFz"), "?z");
    // Overlong forms of "/", "." and NUL, a surrogate, beyond U+10FFFF.
    EXPECT_EQ(utf8ToCp1252("..\xC0\xAF..\xE0\x80\xAFx"), "..?..?x");
    EXPECT_EQ(utf8ToCp1252("\xC0\xAE\xC0\x80\xF0\x80\x80\xAF"), "???");
    EXPECT_EQ(utf8ToCp1252("\xED\xA0\x80\xF4\x90\x80\x80\xC3\xA8"), "??\xE8");
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(one)), one) << b;
    }
}

TEST(Text1252, OrdersByFoldedBytesThenBytes)
{
    EXPECT_LT(compareText("", "A"), 0);
    EXPECT_LT(compareText("rossi", "ROSSO"), 0);
    EXPECT_GT(compareText("rossi", "ROSSI"), 0); // same folded text: bytes decide
    EXPECT_LT(compareText("TERME SPA", "\xC9LITE VOYAGES"), 0);
    EXPECT_LT(compareText("L'ANCORA", "LA"), 0);
    EXPECT_TRUE(equalText("Societ\xE0 Alba", "SOCIET\xC0 ALBA"));
    EXPECT_FALSE(equalText("ROSSI", "ROSSI "));
    EXPECT_TRUE(startsWithText("Rossi Tour", "ROS"));
    EXPECT_EQ(upperCp1252("\xFF\x9A\xE9"), "\x9F\x8A\xC9");
}
