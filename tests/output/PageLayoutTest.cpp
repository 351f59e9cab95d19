#include "output/PageLayout.h"

#include "output/PdfWriter.h"
#include "output/PrintFolder.h"
#include "output/PrintOutput.h"

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

TEST(PdfWriter, AWellFormedFileWhoseTextIsTheReport)
{
    PrintJob job = systemJob(1, 60);
    job.lines = {"Stampa Presenze (Febbraio )", "ROSSI \xE7SPA\xE7 (1) \\ caf\xE8"};
    PdfSetup setup;
    setup.bodySize = 9;
    const std::string pdf = renderPdf(layoutPages(job), setup);
    ASSERT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
    EXPECT_NE(pdf.find("/BaseFont /Courier-Bold /Encoding /WinAnsiEncoding"), std::string::npos);
    EXPECT_NE(pdf.find("(ROSSI ) Tj\n/F2 8.6 Tf (SPA) Tj"), std::string::npos);
    EXPECT_NE(pdf.find("( \\(1\\) \\\\ caf\\350) Tj"), std::string::npos);
    // The cross-reference table points at each object.
    const auto xref = std::stoul(pdf.substr(pdf.rfind("startxref\n") + 10));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    const auto entry = pdf.find("\n", pdf.find("65535 f", xref)) + 1;
    const auto second = std::stoul(pdf.substr(entry, 10));
    EXPECT_EQ(pdf.compare(second, 8, "1 0 obj\n"), 0);

    test::TempDir dir;
    test::writeFile(dir / "a.pdf", pdf);
    if (const auto text = pdfText(dir / "a.pdf")) {
        EXPECT_NE(text->find("Stampa Presenze (Febbraio )"), std::string::npos) << *text;
        EXPECT_NE(text->find("ROSSI SPA (1) \\ caf\xC3\xA8"), std::string::npos) << *text;
    }
}

TEST(PdfWriter, LinesBeyondTheSheetGoOnToAnotherAndNoPagesGiveOneBlankSheet)
{
    PrintJob job = systemJob(0, 1000);
    for (int i = 0; i < 100; ++i)
        job.lines.push_back("riga " + std::to_string(i));
    PdfSetup setup;
    setup.bodySize = 12; // about 58 lines on an A4 sheet
    const std::string pdf = renderPdf(layoutPages(job), setup);
    EXPECT_NE(pdf.find("/Count 2 "), std::string::npos);
    EXPECT_NE(renderPdf({}, setup).find("/Count 1 "), std::string::npos);
    setup.landscape = true;
    EXPECT_NE(renderPdf({}, setup).find("/MediaBox [0 0 841.89 595.28]"), std::string::npos);
}

TEST(PdfWriter, TheCommandLineWritesAPdfForAPdfDestinationWithoutPrinter)
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
    EXPECT_NE(test::readFile(f / "relazione.PDF").find("/Count 2 "), std::string::npos);
    if (const auto text = pdfText(f / "relazione.PDF")) {
        EXPECT_NE(text->find("---"), std::string::npos);
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
    EXPECT_NE(test::readFile(pdfs.front()).find("[0 0 841.89 595.28]"), std::string::npos);
}
