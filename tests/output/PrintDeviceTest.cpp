// Devices that a print must never land on, nor wait for: each case ends in
// its message within its (small) limits and leaves no file behind.

#include "data/DataError.h"
#include "output/PrintFolder.h"
#include "output/PrintOutput.h"
#include "support/PrivateCups.h"

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace presenze;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A print server that takes connections and never says a word.
using SilentServer = test::LoopbackListener;

std::set<std::string> filesOf(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        names.insert(fs::relative(e.path(), dir).string());
    return names;
}

struct DeviceCase {
    const char* what;
    std::string device;
    int tipo;               // 2 raw, 3 system printer
    std::string cupsServer; // empty: unset
    std::string message;    // a piece of the Italian message
};

PdfRenderer noPdf()
{
    return [](const PrintJob&, const fs::path& file) { test::writeFile(file, "%PDF-"); };
}

} // namespace

TEST(PrintDevice, EachRefusedDeviceEndsInItsMessageWithinItsLimitsAndWritesNothing)
{
    test::PrintFolder f;
    f.settings(2, "000000000000000000027069000000000000", "");
    f.settings(3, "008000000000000001010", "");
    f.report("3", "\xDA\xC4\xBF\r\nCITT\xE0\r\n");
    const fs::path fifo = f / "coda.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(f / "cartella.d");
    test::TempDir outside;
    const SilentServer silent;

    const std::vector<DeviceCase> cases = {
        {"a queue with the print system down", "Ufficio", 2, "/nonexistent/cups.sock",
         "il sistema di stampa non risponde"},
        {"a queue behind a silent print server", "Ufficio", 2, silent.address(),
         "il sistema di stampa non risponde"},
        {"a printer behind a silent print server", "Laser", 3, silent.address(),
         "il sistema di stampa non risponde"},
        {"a port of Windows", "LPT1:", 2, "", "variabile d'ambiente \"Uscita\""},
        {"a serial port of Windows", "COM2:", 2, "", "variabile d'ambiente"},
        {"the printer of Windows", "PRN", 2, "", "scegliere una stampante"},
        {"a shared printer of Windows", "\\\\SERVER\\EPSON", 2, "", "variabile d'ambiente"},
        {"a file outside the data folder", (outside / "profilo").string(), 2, "",
         "fuori dalla cartella dei dati"},
        {"a relative way out of the folder", "../profilo.prn", 2, "",
         "fuori dalla cartella dei dati"},
        {"a PDF outside the data folder", (outside / "copia.pdf").string(), 3, "",
         "fuori dalla cartella dei dati"},
        {"the station's report", (f / "fd3").string(), 2, "", "scritto dal programma"},
        {"another station's CSV", "FD7.csv", 2, "", "scritto dal programma"},
        {"the working database", "Vallomir3.mdb", 2, "", "scritto dal programma"},
        {"the archive folder", "doc/stampa.prn", 2, "", "copie d'archivio"},
        {"a data file", "Contatori.mdb", 2, "", "file dei dati"},
        {"a folder", "cartella.d", 2, "", "non \xE8 un file"},
        {"a pipe nobody reads", fifo.string(), 2, "", "nessun programma lo legge"},
    };
    const PrintLimits limits{.printSystem = 1500ms, .sending = 1500ms, .stalled = 500ms};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto before = filesOf(f.path());
        const auto outsideBefore = filesOf(outside.path());
        test::ScopedEnv cups("CUPS_SERVER", c.cupsServer.empty() ? nullptr : c.cupsServer.c_str());
        PrintChoices choices;
        choices.destination = c.tipo == 2 ? "Uscita" : "Laser";
        choices.printer = c.device;
        f.destination(choices.destination, c.tipo, "");
        const auto start = std::chrono::steady_clock::now();
        try {
            printReport(f.folder(), "3", 1, choices, f / "doc" / "fd3.pdf", noPdf(), limits);
            ADD_FAILURE() << "printed on " << c.device;
        } catch (const DataError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        // A hang would show here; the limits above are what may be waited.
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        EXPECT_EQ(filesOf(f.path()), before);
        EXPECT_EQ(filesOf(outside.path()), outsideBefore);
    }
}

TEST(PrintDevice, APipeThatStopsReadingFailsAfterTheLimitAndAPlainFileNeverAsksThePrintSystem)
{
    test::PrintFolder f;
    f.settings(2, "000000000000000000027069000000000000", "");
    f.destination("Uscita", 2, "  stampa.prn  ");
    std::string report;
    for (int i = 0; i < 20000; ++i)
        report += "riga di prova della stampa grezza " + std::to_string(i) + "\r\n";
    f.report("3", report);
    const PrintLimits limits{.printSystem = 60s, .sending = 60s, .stalled = 300ms};

    // A reader that takes nothing: the pipe fills and the write gives up.
    const fs::path fifo = f / "coda.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    PrintChoices choices;
    choices.destination = "Uscita";
    choices.printer = fifo.string();
    try {
        printReport(f.folder(), "3", 1, choices, {}, noPdf(), limits);
        ADD_FAILURE() << "a full pipe took the whole print";
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("non ha accettato dati"), std::string::npos)
            << e.what();
    }
    ::close(reader);

    // A silent print server is never asked about a plain file: Linea is
    // trimmed, and the print lands at once.
    const SilentServer silent;
    test::ScopedEnv cups("CUPS_SERVER", silent.address().c_str());
    choices.printer.clear();
    const auto start = std::chrono::steady_clock::now();
    const PrintOutcome done = printReport(f.folder(), "3", 1, choices, {}, noPdf(), limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_NE(done.description.find("stampa.prn"), std::string::npos) << done.description;
    EXPECT_GT(fs::file_size(f / "stampa.prn"), report.size());
}
