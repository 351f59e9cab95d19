#include "output/ReportPreview.h"

#include "data/TextLines.h"
#include "output/CsvExport.h"
#include "output/PrintFolder.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace presenze;

namespace {

// 300 lines of 100 characters: "NNN" then 97 times the letter x.
std::string longReport(int count = 300)
{
    std::string text;
    for (int i = 1; i <= count; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", i);
        text += number + std::string(97, 'x') + "\r\n";
    }
    return text;
}

std::size_t countLines(std::string_view text)
{
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
         at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

} // namespace

TEST(ReportPreview, ChunksOf20000Then26000Characters)
{
    test::PrintFolder f;
    f.report("1", longReport());
    ReportPreview preview(f / "fd1");
    ASSERT_TRUE(preview.hasReport());
    const std::string first = preview.readChunk(kFirstChunk);
    EXPECT_EQ(countLines(first), 200u);
    EXPECT_EQ(preview.charactersRead(), 20000);
    EXPECT_TRUE(preview.moreLines());
    EXPECT_EQ(first.substr(0, 3), "001");

    const std::string next = preview.readChunk(kNextChunk);
    EXPECT_EQ(countLines(next), 100u);
    EXPECT_EQ(next.substr(0, 3), "201");
    EXPECT_FALSE(preview.moreLines());

    const std::string again = preview.restart();
    EXPECT_EQ(countLines(again), 260u);
    EXPECT_EQ(preview.charactersRead(), 26000);
}

TEST(ReportPreview, TheLineThatCrossesTheLimitIsShownWholeWithItsFrames)
{
    test::PrintFolder f;
    f.report("1", "\xDA\xC4\xC4\xC4\xBF\r\n\xB3"
                  "abc\xB3\r\n\r\nl\xE0st");
    ReportPreview preview(f / "fd1");
    EXPECT_EQ(preview.readChunk(3), "\u250C\u2500\u2500\u2500\u2510\r\n");
    EXPECT_EQ(preview.readChunk(100), "\u2502abc\u2502\r\n\r\nl\u00E0st\r\n");
    EXPECT_EQ(preview.readChunk(100), "");
    EXPECT_EQ(preview.charactersRead(), 0);

    ReportPreview missing(f / "fd2");
    EXPECT_FALSE(missing.hasReport());
    EXPECT_EQ(missing.readChunk(kFirstChunk), "");
}

TEST(ReportPreview, SaveKeepsTheRestOfTheReport)
{
    test::PrintFolder f;
    f.report("1", longReport());
    ReportPreview preview(f / "fd1");
    preview.readChunk(kFirstChunk);
    preview.readChunk(kNextChunk / 260); // lines 201..201: 100 characters
    ASSERT_EQ(preview.chunkBegin(), 200u);
    ASSERT_EQ(preview.chunkEnd(), 201u);
    // The edited text has LF line ends (as a text box gives them) and two lines.
    preview.save("riga nuova\n\u00E8 un'altra\n");

    const std::string saved = test::readFile(f / "fd1");
    const std::string original = longReport();
    const std::size_t cut = 200 * 102;
    EXPECT_TRUE(saved.substr(0, cut) == original.substr(0, cut));
    EXPECT_EQ(saved.substr(cut, 24), "riga nuova\r\n\xE8 un'altra\r\n");
    EXPECT_TRUE(saved.substr(cut + 24) == original.substr(cut + 102));
    // Reading goes on after the saved lines.
    EXPECT_EQ(preview.readChunk(100).substr(0, 3), "202");
    // A new start reads the saved file.
    EXPECT_EQ(preview.restart(kNextChunk).substr(0, 3), "001");
}

TEST(ReportPreview, SavingTheFirstChunkOfALongReportLosesNothing)
{
    test::PrintFolder f;
    f.report("1", longReport());
    ReportPreview preview(f / "fd1");
    std::string shown = preview.readChunk(kFirstChunk);
    shown.replace(0, 3, "ABC");
    preview.save(shown);
    const std::string saved = test::readFile(f / "fd1");
    EXPECT_EQ(saved.size(), longReport().size());
    EXPECT_EQ(saved.substr(0, 3), "ABC");
    EXPECT_TRUE(saved.substr(3) == longReport().substr(3));
}

TEST(ReportPreview, SavingAnEditedWordKeepsTheFramesAndTheCsvItsFields)
{
    test::PrintFolder f;
    const std::string original =
        test::readFile(test::fixturesDir() / "expected" / "t2-detail-all-feb2024");
    f.report("1", original);
    ReportPreview preview(f / "fd1");
    std::string shown = preview.readChunk(kFirstChunk);
    // One word of a framed line, typed over, with a letter whose byte is also a frame's.
    const std::size_t word = shown.find(" Hotel  \u2502");
    ASSERT_NE(word, std::string::npos);
    shown.replace(word + 1, 5, "H\u00C0TEL");
    preview.save(shown);

    std::string expected = original;
    expected.replace(expected.find(" Hotel  \xB3") + 1, 5, "H\xE0TEL");
    EXPECT_TRUE(test::readFile(f / "fd1") == expected);

    const CsvSettings settings;
    const auto before = splitLines(original);
    const auto after = splitLines(test::readFile(f / "fd1"));
    ASSERT_EQ(before.size(), after.size());
    const auto fieldCount = [&](const std::string& line) {
        const std::string csv = convertCsvLine(line, settings);
        return std::count(csv.begin(), csv.end(), ',');
    };
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(fieldCount(before[i]), fieldCount(after[i])) << i;
}
