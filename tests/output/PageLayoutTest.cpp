#include "output/PageLayout.h"

#include "data/TextLines.h"
#include "output/PrintFolder.h"
#include "output/PrintOutput.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace presenze;

namespace {

PrintJob systemJob(int margin, int pageLength)
{
    PrintJob job;
    job.settings = decodePrintSettings("010000000000000001012", "");
    job.settings.grassetto[6] = static_cast<std::int16_t>(margin);
    job.pageLength = pageLength;
    return job;
}

std::string text(const PrintedLine& line)
{
    std::string out;
    for (const auto& run : line)
        out += (run.bold ? "*" : "") + run.text;
    return out;
}

std::vector<std::string> texts(const PrintedPage& page)
{
    std::vector<std::string> out;
    for (const auto& line : page.lines)
        out.push_back(text(line));
    return out;
}

// The text of a PDF as pdftotext reads it; nullopt without pdftotext.
std::optional<std::string> pdfText(const std::filesystem::path& pdf)
{
    const auto r = test::runTool("pdftotext", {"-layout", pdf.string(), "-"});
    if (!r.started())
        return std::nullopt;
    EXPECT_TRUE(r.succeeded()) << r.errorOutput;
    return r.output;
}

// What pdfinfo says of a PDF: its page count and whether its first page is
// wider than high; nullopt without pdfinfo.
struct PdfInfo {
    int pages = 0;
    bool landscape = false;
};
std::optional<PdfInfo> pdfInfo(const std::filesystem::path& pdf)
{
    const auto r = test::runTool("pdfinfo", {pdf.string()});
    if (!r.started())
        return std::nullopt;
    EXPECT_TRUE(r.succeeded()) << r.errorOutput;
    PdfInfo info;
    double width = 0, height = 0;
    for (const auto& line : splitLines(r.output)) {
        std::sscanf(line.c_str(), "Pages: %d", &info.pages);
        std::sscanf(line.c_str(), "Page size: %lf x %lf", &width, &height);
    }
    info.landscape = width > height;
    return info;
}

} // namespace

TEST(StampaLaser, TheMarkerSwitchesBoldAndIsNotPrinted)
{
    EXPECT_EQ(StampaLaser("ab\xE7"
                          "bold\xE7"
                          "end"),
              (std::vector<TextRun>{{"ab", false}, {"bold", true}, {"end", false}}));
    EXPECT_EQ(StampaLaser(""), std::vector<TextRun>{});
    EXPECT_EQ(StampaLaser("\xE7\xE7"), std::vector<TextRun>{});
    // An odd marker leaves the rest of that line in bold; the next line starts regular.
    EXPECT_EQ(StampaLaser("a\xE7"
                          "b"),
              (std::vector<TextRun>{{"a", false}, {"b", true}}));
    EXPECT_EQ(StampaLaser("c"), (std::vector<TextRun>{{"c", false}}));
}

TEST(PageLayout, PagesOfPLinesAndAFormFeedBeginsExactlyOnePage)
{
    PrintJob job = systemJob(2, 5);
    job.lines = {"a", "b", "c", "d", "\x0C", "e", "\x0C", "\x0C", "f", "g\xE7h\xE7"};
    const auto pages = layoutPages(job);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(texts(pages[0]), (std::vector<std::string>{" ", " ", "a", "b", "c"}));
    EXPECT_EQ(texts(pages[1]), (std::vector<std::string>{" ", " ", "d"}));
    EXPECT_EQ(texts(pages[2]), (std::vector<std::string>{" ", " ", "e"}));
    EXPECT_EQ(texts(pages[3]), (std::vector<std::string>{" ", " ", "f", "g*h"}));
    job.lines = {"a", "b", "c", "\x0C", "d"};
    const auto exact = layoutPages(job);
    ASSERT_EQ(exact.size(), 2u); // the form feed after a full page adds no empty page
    EXPECT_EQ(texts(exact[1]), (std::vector<std::string>{" ", " ", "d"}));
}

TEST(PageLayout, LaterPagesRepeatTheMonthsHeadingKeepBlocksWholeAndAreNumbered)
{
    const auto title = [](const char* month) {
        return "08/12/2026" + std::string(36, ' ') + "Stampa Presenze per Ditta / Hotel (" + month +
               ")" + std::string(36, ' ') + "14:00";
    };
    const auto company = [](const std::string& name) {
        std::vector<std::string> b = {name};
        for (const char* label : {"     PrC", "     CON", "     PrO", "     OPZ"})
            b.push_back(std::string(label) + "\xB3  1\xB3");
        return b;
    };
    const std::string feb = title("Febbraio "), mar = title("Marzo    ");
    std::vector<std::string> lines = {feb, "~2", "|d2", "|w2", "HOTEL: 1"};
    for (const char* name : {"ALFA", "BETA"})
        for (const auto& l : company(name))
            lines.push_back(l);
    lines.insert(lines.end(), {mar, "~3", "|d3", "|w3"});
    for (const auto& l : company("GAMMA"))
        lines.push_back(l);
    PrintJob job = systemJob(1, 10);
    job.lines = lines;
    const auto pages = layoutPages(job);
    ASSERT_EQ(pages.size(), 4u);
    using Lines = std::vector<std::string>;
    const Lines febHeading = {" ", feb, "~2", "|d2", "|w2"};
    // ALFA's five lines do not fit under the first page: they go whole to the next.
    EXPECT_EQ(texts(pages[0]), (Lines{" ", feb, "~2", "|d2", "|w2", "HOTEL: 1"}));
    Lines second = febHeading, third = febHeading;
    for (const auto& l : company("ALFA"))
        second.push_back(l);
    for (const auto& l : company("BETA"))
        third.push_back(l);
    EXPECT_EQ(texts(pages[1]), second);
    EXPECT_EQ(texts(pages[2]), third);
    // A new month's first page carries its own title, not the last month's heading.
    Lines fourth = {" ", mar, "~3", "|d3", "|w3"};
    for (const auto& l : company("GAMMA"))
        fourth.push_back(l);
    EXPECT_EQ(texts(pages[3]), fourth);
    for (std::size_t p = 0; p < pages.size(); ++p)
        EXPECT_EQ(pages[p].foot, "Pagina " + std::to_string(p + 1) + " di 4");

    // Pages too short for the heading and a line go without it; a block
    // longer than a page flows on.
    job = systemJob(1, 5);
    job.lines = lines;
    const auto shortPages = layoutPages(job);
    ASSERT_GE(shortPages.size(), 2u);
    EXPECT_EQ(texts(shortPages[1]),
              (Lines{" ", "HOTEL: 1", "ALFA", "     PrC\xB3  1\xB3", "     CON\xB3  1\xB3"}));
}

TEST(SystemPrint, TheCommandLineWritesAPdfForAPdfDestinationWithoutPrinter)
{
    test::PrintFolder f;
    f.destination("PDF Ufficio", 3, "NessunaStampanteConQuestoNome");
    f.destination("Laser", 3, "relazione.PDF");
    f.settings(3, "008000000000000001010", "000000000000000001");
    f.report("4", "\xDA\xC4\xBF\r\nHOTEL EDEN\r\n\x0C\r\nTOT \xE7"
                  "1.234,50\xE7\r\n");
    const std::vector<std::string> base = {"print",     "--data-dir", f.path().string(),
                                           "--station", "4",          "--destination"};
    auto args = base;
    args.push_back("Laser");
    auto run = test::runProgram("presenze-cli", args);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(std::filesystem::exists(f / "relazione.PDF"));
    if (const auto info = pdfInfo(f / "relazione.PDF")) {
        EXPECT_EQ(info->pages, 2);
    }
    if (const auto text = pdfText(f / "relazione.PDF")) {
        EXPECT_NE(text->find("\u250C\u2500\u2510"), std::string::npos) << *text;
        EXPECT_NE(text->find("HOTEL EDEN"), std::string::npos);
        EXPECT_NE(text->find("TOT 1.234,50"), std::string::npos);
    }

    args = base;
    args.insert(args.end(), {"PDF Ufficio", "--landscape"});
    run = test::runProgram("presenze-cli", args);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::filesystem::path> pdfs;
    for (const auto& e : std::filesystem::directory_iterator(f / "doc"))
        pdfs.push_back(e.path());
    ASSERT_EQ(pdfs.size(), 1u);
    const std::string name = pdfs.front().filename().string();
    EXPECT_EQ(name.rfind("fd4", 0), 0u);
    EXPECT_EQ(name.size(), std::string("fd4202612081400.pdf").size());
    EXPECT_NE(run.out.find(name), std::string::npos) << run.out;
    if (const auto info = pdfInfo(pdfs.front())) {
        EXPECT_TRUE(info->landscape);
    }
}
