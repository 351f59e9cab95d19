#include "output/RawPrint.h"

#include "output/PrintFolder.h"
#include "output/PrintJob.h"

#include <gtest/gtest.h>

using namespace presenze;

namespace {

// A raw job with margin M, page length P and physical page L.
PrintJob rawJob(int margin, int pageLength, int physical, std::string letters = "")
{
    PrintJob job;
    job.settings = decodePrintSettings("", "");
    job.settings.grassetto[6] = static_cast<std::int16_t>(margin);
    job.settings.grassetto[8] = static_cast<std::int16_t>(physical);
    job.pageLength = pageLength;
    job.optionLetters = std::move(letters);
    return job;
}

std::vector<std::string> lines(int first, int count)
{
    std::vector<std::string> out;
    for (int i = first; i < first + count; ++i)
        out.push_back("L" + std::to_string(i));
    return out;
}

std::string crlf(const std::vector<std::string>& text)
{
    std::string out;
    for (const auto& l : text)
        out += l + "\r\n";
    return out;
}

const std::string kNul5(5, '\0');
const std::string kMargin2 = " \r\n \r\n";

} // namespace

TEST(RawPrint, PagesOfPLinesWithTheMarginOnTopEndWithAFormFeed)
{
    PrintJob job = rawJob(2, 60, 66);
    job.lines = lines(1, 60);
    // 58 report lines fill a page of 60 with the 2 margin lines.
    const std::string expected =
        kNul5 + kMargin2 + crlf(lines(1, 58)) + "\x0C" + kMargin2 + crlf(lines(59, 2)) + "\x0C";
    EXPECT_EQ(rawPrintBytes(job), expected);
}

TEST(RawPrint, AFormFeedLineEndsThePageAtOnce)
{
    PrintJob job = rawJob(2, 60, 66);
    job.lines = {"a", "\x0C", "b"};
    EXPECT_EQ(rawPrintBytes(job), kNul5 + kMargin2 + "a\r\n\x0C" + kMargin2 + "b\r\n\x0C");
}

TEST(RawPrint, WithUPagesArePaddedToThePhysicalLength)
{
    PrintJob job = rawJob(2, 60, 66, "xUy");
    auto withFeed = lines(1, 59);
    withFeed.insert(withFeed.begin() + 3, "\x0C");
    job.lines = withFeed;
    std::string expected = kNul5 + kMargin2 + crlf(lines(1, 3));
    for (int i = 2 + 3; i < 66; ++i)
        expected += "\r\n";
    expected += kMargin2 + crlf(lines(4, 56));
    for (int i = 2 + 56; i < 66; ++i)
        expected += "\r\n";
    EXPECT_EQ(rawPrintBytes(job), expected);
    // A lower-case u is no option.
    job.optionLetters = "u";
    EXPECT_EQ(rawPrintBytes(job).back(), '\x0C');
}

TEST(RawPrint, StartSequenceOfTheChosenMode)
{
    PrintJob job = rawJob(0, 60, 66);
    job.settings = decodePrintSettings("027015000000000000027018000000000000", "");
    job.lines = {"x"};
    job.compressed = true;
    EXPECT_EQ(rawPrintBytes(job), std::string("\x1B\x0F\0\0\0x\r\n\x0C", 9));
    job.compressed = false;
    EXPECT_EQ(rawPrintBytes(job), std::string("\x1B\x12\0\0\0x\r\n\x0C", 9));
}

TEST(RawPrint, NoPageOfBareMarginIsEverSent)
{
    // A report that fills its last page exactly, a form feed right after a
    // full page, a form feed first and two in a row: no empty pages.
    PrintJob job = rawJob(2, 4, 66);
    job.lines = {"\x0C", "a", "b", "\x0C", "\x0C", "c", "\x0C"};
    EXPECT_EQ(rawPrintBytes(job), kNul5 + kMargin2 + "a\r\nb\r\n\x0C" + kMargin2 + "c\r\n\x0C");
    job.lines = PrintLines();
    EXPECT_EQ(rawPrintBytes(job), kNul5);
}

TEST(RawPrint, AMarginAsLongAsThePageStillPrintsEveryLine)
{
    PrintJob job = rawJob(3, 2, 66);
    job.lines = {"a", "b"};
    const std::string margin3 = " \r\n \r\n \r\n";
    EXPECT_EQ(rawPrintBytes(job), kNul5 + margin3 + "a\r\n\x0C" + margin3 + "b\r\n\x0C");
}

TEST(RawPrint, PreparedFromTheDataFolderConvertedUnlessK)
{
    test::PrintFolder f;
    f.destination("Ufficio", 2, "out.prn");
    f.settings(2, "000000000000000000027018000000000000", "000000000000000001000066");
    f.pageLengths(1, 90, 3);
    f.report("5", "\xDA\xC4\xBF\r\n\xB3"
                  "a\xE7\xB3\r\n\x0C\r\n\xC0\xC4\xD9\r\n");
    PrintChoices choices;
    choices.destination = "ufficio";
    PreparedPrint p = preparePrint(f.folder(), "5", 1, choices);
    ASSERT_EQ(p.status, PrintStatus::Ready);
    EXPECT_EQ(p.job.device, "out.prn");
    EXPECT_EQ(p.job.pageLength, 3);
    EXPECT_EQ(rawPrintBytes(p.job), std::string("\x1B\x12\0\0\0", 5) + " \r\n---\r\n|a\xE7|\r\n\x0C"
                                                                       " \r\n---\r\n\x0C");

    f.registry("K");
    p = preparePrint(f.folder(), "5", 1, choices);
    EXPECT_EQ(rawPrintBytes(p.job).substr(5, 8), " \r\n\xDA\xC4\xBF\r\n");

    choices.destination = "Altrove";
    EXPECT_EQ(preparePrint(f.folder(), "5", 1, choices).status, PrintStatus::UnknownDestination);
    choices.destination = "Ufficio";
    EXPECT_EQ(preparePrint(f.folder(), "6", 1, choices).status, PrintStatus::NoReport);
}

TEST(RawPrint, PageLengthFromContatoriOr60)
{
    test::PrintFolder f;
    f.destination("Ufficio", 2, "out.prn");
    f.report("5", "a\r\n");
    PrintChoices choices;
    choices.destination = "Ufficio";
    EXPECT_EQ(preparePrint(f.folder(), "5", 1, choices).job.pageLength, 60);
    f.pageLengths(2, 90, 70);
    EXPECT_EQ(preparePrint(f.folder(), "5", 1, choices).job.pageLength, 60);
    EXPECT_EQ(preparePrint(f.folder(), "5", 2, choices).job.pageLength, 70);
    choices.compressed = true;
    EXPECT_EQ(preparePrint(f.folder(), "5", 2, choices).job.pageLength, 90);
    // A length of 0 would end a page after every line.
    f.pageLengths(3, 0, 0);
    EXPECT_EQ(preparePrint(f.folder(), "5", 3, choices).job.pageLength, 60);
    // Without SetStampa: raw, 66 lines, no margin.
    const PrintJob job = preparePrint(f.folder(), "5", 2, choices).job;
    EXPECT_FALSE(job.systemPrinterMode());
    EXPECT_EQ(job.settings.physicalLines(true), 66);
}

TEST(RawPrint, TheCommandLinePrintsToAFileDeviceByteForByte)
{
    test::PrintFolder f;
    f.destination("Ufficio", 2, "stampa.prn");
    f.destination("Porta", 2, "");
    f.settings(2, "000000000000000000027069000000000000", "000000000000000001000010");
    f.pageLengths(1, 3, 3);
    f.registry("U");
    f.report("5", "\xB3"
                  "a\r\nb\r\nc\r\n");
    const std::vector<std::string> base = {"print", "--data-dir", f.path().string(), "--station",
                                           "5"};
    auto args = base;
    args.insert(args.end(), {"--destination", "UFFICIO"});
    auto run = test::runProgram("presenze-cli", args);
    ASSERT_EQ(run.status, 0) << run.err;
    // M = 1, P = 3, pages padded to L = 10 lines.
    auto empty = [](int n) {
        std::string s;
        while (n-- > 0)
            s += "\r\n";
        return s;
    };
    EXPECT_EQ(test::readFile(f / "stampa.prn"), std::string("\x1B\x45\0\0\0", 5) +
                                                    " \r\n|a\r\nb\r\n" + empty(7) + " \r\nc\r\n" +
                                                    empty(8));

    // The environment variable named after the destination gives the device,
    // and --printer overrides it.
    args = base;
    args.insert(args.end(), {"--destination", "Porta"});
    run = test::runProgram("presenze-cli", args, {}, {"Porta=" + (f / "porta.prn").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(f / "porta.prn"));
    args.insert(args.end(), {"--printer", "altro.prn"});
    run = test::runProgram("presenze-cli", args, {}, {"Porta=" + (f / "porta2.prn").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(f / "altro.prn"));
    EXPECT_FALSE(std::filesystem::exists(f / "porta2.prn"));

    // No device at all, an unknown destination, no report file: a message and
    // a failure status, nothing written.
    args = base;
    args.insert(args.end(), {"--destination", "Porta"});
    run = test::runProgram("presenze-cli", args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Nessun dispositivo"), std::string::npos) << run.err;
    args = base;
    args.insert(args.end(), {"--destination", "Nessuna"});
    run = test::runProgram("presenze-cli", args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Destinazione di stampa non trovata"), std::string::npos) << run.err;
    args = {"print", "--data-dir", f.path().string(), "--station", "9", "--destination", "Ufficio"};
    run = test::runProgram("presenze-cli", args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("fd9"), std::string::npos) << run.err;
}
