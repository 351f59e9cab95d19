// Where a print goes, against a print system the test sets up: queues found
// without regard to case, the PDF destinations, the default queue, and the
// print system that is down or refuses the job.

#include "data/DataError.h"
#include "mock/MockPrintSystem.h"
#include "output/PrintFolder.h"
#include "output/PrintOutput.h"
#include "output/RawPrint.h"

#include <gtest/gtest.h>
#include <optional>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

constexpr int kRaw = 2;
constexpr int kSystem = 3;

struct RouteCase {
    const char* what;
    int tipo;
    std::string destination;
    std::string device;
    std::optional<std::vector<std::string>> installed; // nullopt: the print system is down
    std::optional<std::string> defaultQueue;
    // Expected: the queue the job went to ("" the default one), else the
    // file written, else a piece of the error.
    std::optional<std::string> queue;
    std::string file;
    std::string error;
};

} // namespace

TEST(PrintRoute, EachDeviceGoesWhereItsDestinationSays)
{
    const std::vector<std::string> office{"Ufficio", "Laser"};
    const std::vector<RouteCase> cases = {
        {"a system queue, named in another case", kSystem, "Sala", "LASER", office, {}, "Laser"},
        {"an unknown queue: the default one", kSystem, "Sala", "Altra", office, "Ufficio", ""},
        {"an unknown queue of a PDF destination: the PDF beside the copies",
         kSystem,
         "PDF Sala",
         "Altra",
         office,
         {},
         {},
         "doc/fd3.pdf"},
        {"a PDF destination while the print system is down",
         kSystem,
         "PDF Sala",
         "Laser",
         std::nullopt,
         {},
         {},
         "doc/fd3.pdf"},
        {"a PDF file named by the device",
         kSystem,
         "Sala",
         "sala.pdf",
         std::nullopt,
         {},
         {},
         "sala.pdf"},
        {"a system queue while the print system is down",
         kSystem,
         "Sala",
         "Laser",
         std::nullopt,
         {},
         {},
         "",
         "il sistema di stampa non risponde"},
        {"no queue and no default one",
         kSystem,
         "Sala",
         "Altra",
         office,
         {},
         {},
         "",
         "Nessuna stampante predefinita"},
        {"a raw queue, named in another case", kRaw, "Uscita", "ufficio", office, {}, "Ufficio"},
        {"a raw queue the print system lacks",
         kRaw,
         "Uscita",
         "Altra",
         office,
         "Ufficio",
         {},
         "",
         "che il sistema di stampa non ha"},
        {"a raw queue while the print system is down",
         kRaw,
         "Uscita",
         "Ufficio",
         std::nullopt,
         {},
         {},
         "",
         "il sistema di stampa non risponde"},
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::PrintFolder f;
        f.settings(kRaw, "000000000000000000027069", "");
        f.settings(kSystem, "008000000000000001010", "");
        f.destination(c.destination, c.tipo, c.device);
        f.report("3", "\xDA\xC4\xBF\r\nCITT\xE0\r\n");
        test::MockPrintSystem system;
        system.installed = c.installed;
        system.defaultName = c.defaultQueue;
        PrintChoices choices;
        choices.destination = c.destination;
        choices.duplex = true;
        const auto render = [](const PrintJob&, const fs::path& file) {
            test::writeFile(file, "%PDF-1.4 pagine");
        };
        try {
            const PrintOutcome done =
                printReport(f.folder(), "3", 1, choices, f / "doc" / "fd3.pdf", render, {}, system);
            EXPECT_EQ(c.error, "") << done.description;
            if (c.queue) {
                ASSERT_EQ(system.jobs.size(), 1u);
                const auto& job = system.jobs.front();
                EXPECT_EQ(job.queue, *c.queue);
                EXPECT_EQ(job.title, "Presenze - " + c.destination);
                if (c.tipo == kRaw) {
                    EXPECT_EQ(job.options, std::vector<std::string>{"raw"});
                    EXPECT_EQ(job.bytes,
                              rawPrintBytes(preparePrint(f.folder(), "3", 1, choices).job));
                } else {
                    EXPECT_EQ(job.options, std::vector<std::string>{"sides=two-sided-long-edge"});
                    EXPECT_EQ(job.bytes, "%PDF-1.4 pagine");
                }
            } else {
                EXPECT_TRUE(system.jobs.empty());
                EXPECT_EQ(done.pdfFile, f / c.file);
                EXPECT_EQ(test::readFile(f / c.file), "%PDF-1.4 pagine");
            }
        } catch (const DataError& e) {
            EXPECT_NE(c.error, "") << e.what();
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
            EXPECT_TRUE(system.jobs.empty());
        }
    }
}

TEST(PrintRoute, ARefusedJobIsReportedAndAFileDeviceNeverAsksThePrintSystem)
{
    test::PrintFolder f;
    f.settings(kRaw, "000000000000000000027069", "");
    f.destination("Uscita", kRaw, "Ufficio");
    f.destination("File", kRaw, "stampa.prn");
    f.report("3", "riga\r\n");
    test::MockPrintSystem system;
    system.installed = std::vector<std::string>{"Ufficio"};
    system.refusal = "Stampa rifiutata dal sistema di stampa per la coda di stampa \"Ufficio\"";
    PrintChoices choices;
    choices.destination = "Uscita";
    EXPECT_THROW(printReport(f.folder(), "3", 1, choices, {}, {}, {}, system), DataError);

    choices.destination = "File";
    system.questions = 0;
    const PrintOutcome done = printReport(f.folder(), "3", 1, choices, {}, {}, {}, system);
    EXPECT_EQ(system.questions, 0);
    EXPECT_NE(done.description.find("stampa.prn"), std::string::npos) << done.description;
}
