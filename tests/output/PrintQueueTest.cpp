// Printing through a real print queue: a private CUPS scheduler with a raw
// queue whose device is a socket the test listens on.

#include "output/PrintFolder.h"
#include "output/PrintJob.h"
#include "output/PrintQueues.h"
#include "output/RawPrint.h"
#include "support/PrivateCups.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

class PrintQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string problem = m_cups.start(); !problem.empty())
            GTEST_SKIP() << "CUPS cannot start here, print queue test skipped: " << problem;
        ASSERT_GT(m_printer.port(), 0);
        const auto added =
            m_cups.lp("lpadmin", {"-p", "Ufficio", "-E", "-v",
                                  "socket://127.0.0.1:" + std::to_string(m_printer.port())});
        ASSERT_TRUE(added.succeeded()) << added.errorOutput << m_cups.log();
    }

    // Runs presenze-cli against the private scheduler.
    test::RunResult cli(const std::vector<std::string>& args)
    {
        return test::runProgram("presenze-cli", args, {}, {m_cups.environment()});
    }

    test::PrivateCups m_cups;
    test::SocketPrinter m_printer;
};

} // namespace

TEST_F(PrintQueueTest, TheQueueIsListedAndARawPrintArrivesByteForByte)
{
    // The queue is in the system's printer list.
    const auto listed = m_cups.lp("lpstat", {"-p"});
    EXPECT_NE(listed.output.find("printer Ufficio"), std::string::npos)
        << listed.output << listed.errorOutput;
    ::setenv("CUPS_SERVER", m_cups.socket().c_str(), 1);
    const auto queues = listPrintQueues();
    ::unsetenv("CUPS_SERVER");
    EXPECT_EQ(queues, std::vector<std::string>{"Ufficio"});
    EXPECT_EQ(findPrintQueue(queues, "UFFICIO"), "Ufficio");

    // A raw destination whose device is the queue's name.
    test::PrintFolder f;
    f.destination("Stampante ufficio", 2, "ufficio");
    f.settings(2, "000000000000000000027069000000000000", "000000000000000001");
    f.pageLengths(1, 4, 4);
    std::string report = "\xDA\xC4\xBF\r\n";
    for (int i = 0; i < 5; ++i)
        report += "riga " + std::to_string(i) + " \xB3 \x80 caff\xE8\r\n";
    report += "\x0C\r\nfine\r\n";
    f.report("3", report);

    auto received =
        std::async(std::launch::async, [&] { return m_printer.receive(std::chrono::seconds(30)); });
    const auto run = cli({"print", "--data-dir", f.path().string(), "--station", "3",
                          "--destination", "Stampante ufficio"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Ufficio"), std::string::npos) << run.out;
    const auto bytes = received.get();
    ASSERT_TRUE(bytes) << "nothing reached the printer\n" << m_cups.log();

    const std::string expected =
        std::string("\x1B\x45\0\0\0", 5) +
        " \r\n---\r\nriga 0 | \x80 caff\xE8\r\nriga 1 | \x80 caff\xE8\r\n\x0C"
        " \r\nriga 2 | \x80 caff\xE8\r\nriga 3 | \x80 caff\xE8\r\nriga 4 | "
        "\x80 caff\xE8\r\n\x0C"
        " \r\nfine\r\n\x0C";
    EXPECT_EQ(*bytes, expected);
    PrintChoices choices;
    choices.destination = "Stampante ufficio";
    EXPECT_EQ(*bytes, rawPrintBytes(preparePrint(f.folder(), "3", 1, choices).job));
}

TEST_F(PrintQueueTest, ASystemPrinterDestinationSendsItsPagesAsPdf)
{
    test::PrintFolder f;
    f.destination("Laser", 3, "Ufficio");
    f.settings(3, "008000000000000001010", "");
    f.report("3", "HOTEL EDEN \xB3 TOT\r\n\x0C\r\nSECONDA PAGINA\r\n");

    auto received =
        std::async(std::launch::async, [&] { return m_printer.receive(std::chrono::seconds(30)); });
    const auto run = cli({"print", "--data-dir", f.path().string(), "--station", "3",
                          "--destination", "Laser", "--duplex"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto bytes = received.get();
    ASSERT_TRUE(bytes) << "nothing reached the printer\n" << m_cups.log();
    ASSERT_EQ(bytes->rfind("%PDF-1.4", 0), 0u);
    EXPECT_NE(bytes->find("/Count 2 "), std::string::npos);
    test::TempDir dir;
    test::writeFile(dir / "job.pdf", *bytes);
    const auto text = test::runTool("pdftotext", {(dir / "job.pdf").string(), "-"});
    if (text.started()) {
        EXPECT_NE(text.output.find("HOTEL EDEN | TOT"), std::string::npos) << text.output;
        EXPECT_NE(text.output.find("SECONDA PAGINA"), std::string::npos) << text.output;
    }
}

TEST_F(PrintQueueTest, ARefusedJobIsReportedNotSwallowed)
{
    const auto rejected = m_cups.lp("cupsreject", {"Ufficio"});
    ASSERT_TRUE(rejected.succeeded()) << rejected.errorOutput;
    test::PrintFolder f;
    f.destination("Ufficio", 2, "Ufficio");
    f.report("3", "a\r\n");
    const auto run = cli(
        {"print", "--data-dir", f.path().string(), "--station", "3", "--destination", "Ufficio"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Stampa rifiutata"), std::string::npos) << run.err;
}
