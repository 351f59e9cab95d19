// The edge between the core's Windows-1252 values and the server's COPY
// text, both ways, and the names a group may have.

#include "store/CopyReader.h"
#include "store/CopyWriter.h"
#include "store/GroupName.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(CopyRows, TextsComeBackAsTheReportsReadThem)
{
    // Every byte but NUL, which the server's text cannot hold: a blank.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const struct {
        std::string written;
        std::string read;
    } cases[] = {
        {all, all},
        {std::string("a\0b", 3), "a b"},
        {"\\N", "\\N"},
        {"", ""},
        {"SOCIET\xC0 \x80 \\ \t \r\n", "SOCIET\xC0 \x80 \\ \t \r\n"},
    };
    for (const auto& c : cases) {
        std::string sent;
        const PgConnection::CopySend send = [&](std::string_view data) { sent += data; };
        CopyWriter out(send);
        out.text(c.written).number(std::int64_t{-42}).number(std::nullopt).text(c.written);
        out.currency(Currency{-123456}).date(Date{2026, 2, 28});
        out.endRow();
        out.finish();
        ASSERT_EQ(sent.back(), '\n');
        ASSERT_EQ(sent.find('\n'), sent.size() - 1) << "one line per row";
        CopyReader in;
        in.read(std::string_view(sent).substr(0, sent.size() - 1));
        ASSERT_EQ(in.size(), 6u);
        EXPECT_EQ(in.text(0), c.read);
        EXPECT_EQ(in.number(1), -42);
        EXPECT_TRUE(in.isNull(2));
        EXPECT_EQ(in.text(3), c.read);
        EXPECT_EQ(in.currency(4).units, -123456);
        EXPECT_EQ(in.date(5), (Date{2026, 2, 28}));
    }
}

TEST(CopyRows, GroupNamesAreShortWordsOfLettersDigitsAndFewSigns)
{
    const std::vector<std::string> good = {"demo", "Hotel Nord", "a", "Citt\xE0-2_b.c",
                                           std::string(63, 'x')};
    for (const std::string& name : good)
        EXPECT_FALSE(checkGroupName(name)) << name;
    const std::vector<std::string> bad = {"",
                                          "O'Hara",
                                          "\"Nord\"",
                                          "a;b",
                                          "a/b",
                                          "a\\b",
                                          "a\tb",
                                          "50%",
                                          "x\xD7y",
                                          std::string(64, 'x'),
                                          std::string(200, 'a')};
    for (const std::string& name : bad)
        EXPECT_TRUE(checkGroupName(name)) << name;
}
