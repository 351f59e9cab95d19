// The station tag and the folder the station writes into: a tag never names a
// file outside the data folder, a folder that cannot be written or a file in
// the way ends in a message, and other programs holding the files open do
// not make a request lose or mix data.

#include "app/BadInput.h"
#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/Sqlite.h"
#include "output/ArchiveCopy.h"
#include "output/PrintOutput.h"
#include "tally/WorkingDatabase.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iostream>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace presenze;
using test::failsNaming;
using test::succeeds;
namespace fs = std::filesystem;

namespace {

test::CliResult reportWithTag(const test::DemoCopy& dir, const std::vector<std::string>& env)
{
    return test::runCli({"report", "--type", "1", "--from", test::kDemoMonth}, dir.path(), env);
}

// Files of the folder and of its parent, by name.
std::set<std::string> namesIn(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

TEST(StationTag, UnsetEmptyAndLeadingZeroNameTheirOwnFiles)
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(reportWithTag(dir, {"PCLocal"})));
    EXPECT_TRUE(fs::exists(dir / "fd"));
    EXPECT_TRUE(fs::exists(dir / "Vallomir.mdb"));
    fs::remove(dir / "fd");
    ASSERT_TRUE(succeeds(reportWithTag(dir, {"PCLocal="})));
    EXPECT_TRUE(fs::exists(dir / "fd"));
    // "07" is used as text everywhere: the report, the CSV and the print all
    // name fd07.
    ASSERT_TRUE(succeeds(reportWithTag(dir, {"PCLocal=07"})));
    EXPECT_TRUE(fs::exists(dir / "fd07"));
    EXPECT_TRUE(fs::exists(dir / "Vallomir07.mdb"));
    EXPECT_FALSE(fs::exists(dir / "fd7"));
    ASSERT_TRUE(succeeds(test::runCli({"csv"}, dir.path(), {"PCLocal=07"})));
    EXPECT_TRUE(fs::exists(dir / "fd07.csv"));
    ASSERT_TRUE(succeeds(
        test::runCli({"print", "--destination", "Aghi Reception"}, dir.path(), {"PCLocal=07"})));
    // --station wins over PCLocal.
    ASSERT_TRUE(succeeds(
        test::runCli({"report", "--type", "2", "--from", test::kDemoMonth, "--station", "12"},
                     dir.path(), {"PCLocal=07"})));
    EXPECT_TRUE(fs::exists(dir / "fd12"));
}

TEST(StationTag, ATagThatLeavesTheFolderIsRefused)
{
    test::TempDir outer;
    const fs::path data = outer / "dati";
    {
        test::DemoCopy demo;
        fs::copy(demo.path(), data);
    }
    const auto before = namesIn(outer.path());
    const auto inside = namesIn(data);
    for (const std::string tag :
         {"/x", "../x", "..", "a/../../b", "x\\y", "..\\x", "C:", "\x01", "a\tb"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"report", "--type", "1", "--from", test::kDemoMonth},
              {"report", "--type", "2", "--from", test::kDemoMonth},
              {"csv"},
              {"print", "--destination", "Aghi Reception"}}) {
            const auto viaEnv = test::runCli(args, data, {"PCLocal=" + tag});
            EXPECT_TRUE(failsNaming(viaEnv, {"PCLocal"})) << tag << " " << args[0];
            auto withOption = args;
            withOption.insert(withOption.end(), {"--station", tag});
            const auto viaOption = test::runCli(withOption, data);
            EXPECT_TRUE(failsNaming(viaOption, {"PCLocal"})) << tag << " " << args[0];
        }
    }
    EXPECT_EQ(namesIn(outer.path()), before);
    EXPECT_EQ(namesIn(data), inside);
    EXPECT_FALSE(fs::exists("/x"));
}

TEST(StationTag, TagsWithOtherLettersNameTheirOwnFiles)
{
    // Windows-1252 letters are fine in a name; two tags never share a file.
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(reportWithTag(dir, {"PCLocal=\xC3\xA9"})));
    ASSERT_TRUE(succeeds(reportWithTag(dir, {"PCLocal=?"})));
    ASSERT_TRUE(succeeds(reportWithTag(dir, {"PCLocal=*"})));
    EXPECT_TRUE(fs::exists(dir / "fd\xC3\xA9"));
    EXPECT_TRUE(fs::exists(dir / "fd?"));
    EXPECT_TRUE(fs::exists(dir / "fd*"));
    EXPECT_TRUE(fs::exists(dir / "Vallomir\xC3\xA9.mdb"));
    // A tag too long for a file name.
    EXPECT_TRUE(failsNaming(reportWithTag(dir, {"PCLocal=" + std::string(300, '7')}), {"fd777"}));
}

TEST(StationFolder, AFolderThatCannotBeWrittenEndsInAMessage)
{
    test::DemoCopy dir;
    const auto data = test::dataFileState(dir.path());
    const std::vector<std::string> report = {"report",   "--type",         "1",
                                             "--from",   test::kDemoMonth, "--station",
                                             test::kTag, "--data-dir",     dir.path().string()};
    test::CliResult result;
    if (::geteuid() != 0) {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        result = test::runCli(report, {});
        fs::permissions(dir.path(), fs::perms::owner_all);
    } else {
        // Permissions do not stop root: the folder is mounted read-only in a
        // mount namespace of its own instead.
        const std::string cli = (fs::path(PRESENZE_BIN_DIR) / "presenze-cli").string();
        std::string command = "mount --bind '" + dir.path().string() + "' '" + dir.path().string() +
                              "' && mount -o remount,bind,ro '" + dir.path().string() + "' '" +
                              dir.path().string() + "' || exit 99; exec '" + cli + "'";
        for (const auto& a : report)
            command += " '" + a + "'";
        const auto run = test::runProgram("/usr/bin/unshare", {"-m", "sh", "-c", command});
        if (run.status == 99 || run.status == 127 || run.err.find("unshare") != std::string::npos)
            GTEST_SKIP() << "a read-only folder cannot be made here as root (no mount "
                            "namespace): "
                         << run.err;
        result.status = run.status;
        result.err = run.err;
    }
    EXPECT_TRUE(failsNaming(result, {dir.path().string()})) << result.err;
    EXPECT_EQ(test::dataFileState(dir.path()), data);
    EXPECT_FALSE(fs::exists(dir / "fd3"));
}

TEST(StationFolder, FilesInTheWayEndInAMessageAndLoseNothing)
{
    // A folder where the report file, the working database or the CSV goes.
    for (const std::string name : {"fd3", "Vallomir3.mdb"}) {
        test::DemoCopy dir;
        fs::create_directory(dir / name);
        test::writeFile(dir / name / "dentro", "x");
        EXPECT_TRUE(failsNaming(test::runReport(1, dir.path()), {name})) << name;
        EXPECT_EQ(test::readFile(dir / name / "dentro"), "x");
    }
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
    fs::create_directory(dir / "fd3.csv");
    EXPECT_TRUE(
        failsNaming(test::runCli({"csv", "--station", test::kTag}, dir.path()), {"fd3.csv"}));
    // A data folder that is a file, or is not there.
    test::TempDir other;
    test::writeFile(other / "file", "x");
    for (const fs::path& folder : {other / "file", other / "missing"})
        EXPECT_TRUE(failsNaming(test::runCli({"report", "--type", "1", "--from", test::kDemoMonth,
                                              "--data-dir", folder.string()},
                                             other.path()),
                                {folder.string()}));
}

TEST(StationFolder, AWorkingDatabaseThatIsNoDatabaseIsReplaced)
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path(), {"--now", "08/12/2026 14:00"})));
    const std::string good = test::readFile(dir / "fd3");
    for (const std::string& junk :
         {std::string(), std::string("non un database"),
          std::string("SQLite format 3\0garbage", 24) + std::string(5000, 'x')}) {
        test::writeFile(dir / "Vallomir3.mdb", junk);
        ASSERT_TRUE(succeeds(test::runReport(1, dir.path(), {"--now", "08/12/2026 14:00"})));
        EXPECT_EQ(test::readFile(dir / "fd3"), good);
    }
}

TEST(StationFolder, FilesHeldOpenByAnotherProgram)
{
    // A viewer keeps the report file and the CSV open while a new request
    // replaces them: it goes on reading the old text whole, and the new
    // files are complete.
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
    ASSERT_TRUE(succeeds(test::runCli({"csv", "--station", test::kTag}, dir.path())));
    const std::string oldReport = test::readFile(dir / "fd3");
    const int held = ::open((dir / "fd3").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    const int heldCsv = ::open((dir / "fd3.csv").c_str(), O_RDONLY);
    ASSERT_GE(heldCsv, 0);
    const int heldWork = ::open((dir / "Vallomir3.mdb").c_str(), O_RDONLY);
    ASSERT_GE(heldWork, 0);
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), {"--detail"})));
    ASSERT_TRUE(succeeds(test::runCli({"csv", "--station", test::kTag}, dir.path())));
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path(), {"--detail"})));
    std::string seen(oldReport.size() + 10, '\0');
    const auto n = ::pread(held, seen.data(), seen.size(), 0);
    ::close(held);
    ::close(heldCsv);
    ::close(heldWork);
    EXPECT_EQ(seen.substr(0, static_cast<std::size_t>(n)), oldReport);
    EXPECT_NE(test::readFile(dir / "fd3"), oldReport);
    EXPECT_TRUE(test::readFile(dir / "fd3").ends_with("\r\n"));

    // The hotel files open in another program (the front office) are read
    // as they are and not touched.
    const auto data = test::dataFileState(dir.path());
    std::vector<int> open;
    for (const auto& [name, state] : data)
        open.push_back(::open((dir / name).c_str(), O_RDWR));
    EXPECT_TRUE(succeeds(test::runReport(2, dir.path(), {"--detail"})));
    for (const int fd : open)
        ::close(fd);
    EXPECT_EQ(test::dataFileState(dir.path()), data);
}

TEST(StationFolder, AHotelFileLockedByAnotherProgramIsNamed)
{
    // The front office holds a write lock on the booked rooms longer than
    // the program waits: both reports stop naming the file and leave the
    // previous report; once the lock is gone they go through.
    test::DemoCopy dir;
    const auto data = test::dataFileState(dir.path());
    {
        const Database frontOffice(dir / "Camere_Prenotazione.mdb", Database::Mode::ReadWrite);
        frontOffice.exec("BEGIN EXCLUSIVE");
        for (const int type : {1, 2}) {
            test::writeFile(dir / "fd3", test::kOldReport);
            EXPECT_TRUE(failsNaming(test::runReport(type, dir.path()),
                                    {"Camere_Prenotazione.mdb", "in uso da un altro programma"}))
                << "Tipo " << type;
            EXPECT_EQ(test::readFile(dir / "fd3"), test::kOldReport);
        }
        frontOffice.exec("ROLLBACK");
    }
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(test::runReport(type, dir.path()))) << "Tipo " << type;
    EXPECT_EQ(test::dataFileState(dir.path()), data);
}

TEST(StationFolder, ADemoNeverReplacesRealData)
{
    test::DemoCopy dir;
    const auto before = test::folderState(dir.path());
    const auto result = test::runCli({"demo", dir.path().string()}, {});
    EXPECT_TRUE(failsNaming(result, {dir.path().string()}));
    EXPECT_EQ(test::folderState(dir.path()), before);
    // Even a folder with only the booking files of an archived season.
    test::TempDir other;
    fs::copy_file(dir / "2025Camere_Prenotazione.mdb", other / "2025Camere_Prenotazione.mdb");
    EXPECT_TRUE(failsNaming(test::runCli({"demo", other.path().string()}, {}), {}));
    EXPECT_FALSE(fs::exists(other / "AnagraficaHotels.mdb"));
}

TEST(StationFolder, APrintNeverReplacesADataFile)
{
    // The companions of a data file are data too: a print over a write-ahead
    // log loses the bookings committed there.
    const std::set<std::string> companions = {
        "Scheda_Prenotazione.mdb-wal", "Camere_Prenotazione.mdb-journal", "TipiCamere.mdb-shm",
        "AnagraficaHotels.ldb", "DitteAbituali.laccdb"};
    std::vector<std::string> devices = {"TipiCamere.mdb",    "tipicamere.MDB", "ElencoDitte.txt",
                                        "SeparatoreXLS.txt", "FontStp.txt",    "copia.accdb"};
    devices.insert(devices.end(), companions.begin(), companions.end());
    for (const std::string& device : devices) {
        test::DemoCopy dir;
        ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
        if (companions.count(device))
            test::writeFile(dir / device, "SEGNAPOSTO");
        const bool there = fs::exists(dir / device);
        const std::string before = there ? test::readFile(dir / device) : std::string();
        const auto data = test::dataFileState(dir.path());
        const auto result = test::runCli({"print", "--destination", "Aghi Reception", "--printer",
                                          device, "--station", test::kTag},
                                         dir.path());
        EXPECT_TRUE(failsNaming(result, {device, "file dei dati"})) << device;
        EXPECT_EQ(test::dataFileState(dir.path()), data) << device;
        EXPECT_EQ(fs::exists(dir / device), there) << device;
        if (there) {
            EXPECT_EQ(test::readFile(dir / device), before) << device;
        }
    }
    // A database under another name, wherever it lies, is no printer either:
    // neither for a raw print nor for a PDF.
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
    for (const auto& [destination, device] :
         {std::pair{"Aghi Reception", "stampa.prn"}, std::pair{"PDF Ufficio", "stampa.pdf"}}) {
        fs::copy_file(dir / "Contatori.mdb", dir / device);
        const auto copy = test::readFile(dir / device);
        EXPECT_TRUE(failsNaming(test::runCli({"print", "--destination", destination, "--printer",
                                              device, "--station", test::kTag},
                                             dir.path()),
                                {device}));
        EXPECT_EQ(test::readFile(dir / device), copy);
    }
    EXPECT_THROW(checkPrintFile(dir / "Contatori.mdb"), DataError);
    EXPECT_NO_THROW(checkPrintFile(dir / "nuovo.prn"));
    EXPECT_NO_THROW(checkPrintFile("/dev/null"));
}

TEST(StationFolder, AFileTheUserNamesNeverReplacesDataNorIsWrittenThroughALink)
{
    test::DemoCopy dir;
    test::TempDir outside;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
    test::writeFile(dir / "fd3.xlsx", "CARTELLA DELLA POSTAZIONE");
    fs::copy_file(dir / "Contatori.mdb", dir / "copia.xlsx");
    fs::create_directory(dir / "cartella.xlsx");
    ASSERT_EQ(::mkfifo((dir / "coda.png").c_str(), 0600), 0);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir / "presa.svg").string();
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    struct Case {
        const char* option;
        std::string name;
        int status;
        std::string message; // a piece of the Italian message
    };
    std::vector<Case> cases = {
        {"--xlsx", "Scheda_Prenotazione.mdb", 2, "deve terminare in .xlsx"},
        {"--chart", "Camere_Prenotazione.mdb", 2, "deve terminare in .png o .svg"},
        {"--xlsx", "ElencoDitte.txt", 2, ".xlsx"},
        {"--xlsx", "Vallomir3.mdb", 2, ".xlsx"},
        {"--xlsx", "fd3", 2, ".xlsx"},
        {"--chart", "grafico.jpg", 2, ".png o .svg"},
        {"--xlsx", "/dev/full", 2, ".xlsx"},
        {"--xlsx", "fd3.xlsx", 1, "per una postazione"},
        {"--xlsx", "FD7.XLSX", 1, "per una postazione"},
        {"--xlsx", "copia.xlsx", 1, "file dei dati"},
        {"--xlsx", "cartella.xlsx", 1, "cartella"},
        {"--chart", "coda.png", 1, "FIFO"},
        {"--chart", "presa.svg", 1, "socket"},
    };
    if (::geteuid() == 0 &&
        ::mknod((dir / "pieno.xlsx").c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0)
        cases.push_back({"--xlsx", "pieno.xlsx", 1, "dispositivo"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option + (" " + c.name));
        test::writeFile(dir / "fd3", test::kOldReport);
        const auto before = test::folderState(dir.path());
        const auto result = test::runReport(1, dir.path(), {c.option, c.name});
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        // Nothing was written: not even the report.
        EXPECT_EQ(test::folderState(dir.path()), before);
    }
    ::close(socket);

    // A link is replaced by the new file, never written through, whether it
    // leads to a data file or out of the folder.
    test::writeFile(outside / "profilo", "PROFILO");
    fs::create_symlink(dir / "Camere_Prenotazione.mdb", dir / "dati.xlsx");
    fs::create_symlink(outside / "profilo", dir / "occupazione.png");
    const auto data = test::dataFileState(dir.path());
    std::vector<std::string> args = {"--xlsx", "dati.xlsx"};
    args.insert(args.end(), {"--chart", "occupazione.png"});
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path(), args)));
    EXPECT_EQ(test::dataFileState(dir.path()), data);
    EXPECT_EQ(test::readFile(outside / "profilo"), "PROFILO");
    EXPECT_FALSE(fs::is_symlink(dir / "dati.xlsx"));
    EXPECT_EQ(test::readFile(dir / "dati.xlsx").substr(0, 2), "PK");
    EXPECT_FALSE(fs::is_symlink(dir / "occupazione.png"));
    EXPECT_EQ(test::readFile(dir / "occupazione.png").substr(0, 4), "\x89PNG");
}

namespace {

const std::vector<std::string> kPdfPrint = {"print", "--destination", "PDF Ufficio", "--station",
                                            test::kTag};
// The print system is not asked for long: "PDF" is no queue of it.
const std::vector<std::string> kNoPrintSystem = {"CUPS_SERVER=/nonexistent/cups.sock"};

// The PDF a print says it wrote ("PDF scritto in ...").
fs::path writtenPdf(const test::CliResult& result)
{
    const std::string said = "PDF scritto in ";
    const auto at = result.out.find(said);
    if (at == std::string::npos)
        return {};
    const auto end = result.out.find('\n', at);
    return result.out.substr(at + said.size(), end - at - said.size());
}

} // namespace

TEST(StationFolder, NothingLeavesTheFolderThroughALink)
{
    // Another user plants the report file as a link to a file only this
    // user may read: neither the CSV nor a print copies it into the folder.
    test::DemoCopy dir;
    test::TempDir outside;
    test::writeFile(outside / "segreto", "RISERVATO\r\n");
    fs::permissions(outside / "segreto", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(outside / "segreto", dir / "fd3");
    const auto before = test::folderState(dir.path());
    EXPECT_TRUE(failsNaming(test::runCli({"csv", "--station", test::kTag}, dir.path()),
                            {"fd3", "collegamento simbolico"}));
    EXPECT_TRUE(failsNaming(
        test::runCli({"print", "--destination", "Aghi Reception", "--station", test::kTag},
                     dir.path()),
        {"fd3", "collegamento simbolico"}));
    EXPECT_EQ(test::folderState(dir.path()), before);
    // A new report replaces the link.
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
    EXPECT_FALSE(fs::is_symlink(dir / "fd3"));
    EXPECT_EQ(test::readFile(outside / "segreto"), "RISERVATO\r\n");

    // The archive folder as a link out of the data folder: the PDF is
    // refused naming it, and nothing lands where it leads.
    fs::create_directory_symlink(outside.path(), dir / "doc");
    EXPECT_TRUE(failsNaming(test::runCli(kPdfPrint, dir.path(), kNoPrintSystem),
                            {"La cartella doc", "fuori dalla cartella dei dati"}));
    EXPECT_EQ(test::folderState(outside.path()).size(), 1u);
    // One that stays inside is used.
    fs::remove(dir / "doc");
    fs::create_directory(dir / "archivio");
    fs::create_directory_symlink("archivio", dir / "doc");
    EXPECT_TRUE(succeeds(test::runCli(kPdfPrint, dir.path(), kNoPrintSystem)));
    EXPECT_EQ(test::folderState(dir / "archivio").size(), 1u);
}

TEST(StationFolder, TwoPdfsOfOneMinuteAndTheNextUserOfASharedFolder)
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
    // A folder every user may write in: "doc" takes its bits, whatever the
    // umask of the first user.
    fs::permissions(dir.path(), fs::perms::all);
    const auto first = test::runCli(kPdfPrint, dir.path(), kNoPrintSystem);
    ASSERT_TRUE(succeeds(first));
    EXPECT_EQ(fs::status(dir / "doc").permissions() & fs::perms::mask, fs::perms::all);
    // The same minute gives the same name: the second takes "-2" and the
    // first stays (unless the minute turned in between).
    const auto second = test::runCli(kPdfPrint, dir.path(), kNoPrintSystem);
    ASSERT_TRUE(succeeds(second));
    const fs::path one = writtenPdf(first), two = writtenPdf(second);
    ASSERT_FALSE(one.empty() || two.empty()) << first.out << second.out;
    EXPECT_NE(one, two);
    EXPECT_TRUE(fs::exists(one) && fs::exists(two));
    if (one.stem().string().size() + 2 == two.stem().string().size()) {
        EXPECT_EQ(two.filename().string(), one.stem().string() + "-2.pdf");
    }

    // Another user prints to the same "doc" (as root: nobody).
    if (::geteuid() != 0) {
        std::cout << "[  SKIPPED ] a second user: needs root" << std::endl;
        return;
    }
    constexpr unsigned kNobody = 65534;
    std::string why;
    const auto programs = test::StagedPrograms::forUser(kNobody, why);
    if (!programs) {
        std::cout << "[  SKIPPED ] a second user: " << why << std::endl;
        return;
    }
    test::CliLimits otherUser;
    otherUser.user = kNobody;
    otherUser.programs = *programs;
    const auto third = test::runCli(kPdfPrint, dir.path(), kNoPrintSystem, otherUser);
    EXPECT_TRUE(succeeds(third));
    EXPECT_TRUE(fs::exists(writtenPdf(third)));
}
