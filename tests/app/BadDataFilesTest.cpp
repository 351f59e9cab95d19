// Data files that are missing, incomplete, damaged, or shared with the front
// office while it writes them. Every case ends either in a clear Italian
// message that names the file (and the table or field) with exit status 1
// and the previous report file left in place, or in a correct report; never
// in a crash, a hang or a report that lacks data or mixes two states.

#include "app/BadInput.h"
#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Records.h"
#include "data/Sqlite.h"
#include "demo/SeededRandom.h"
#include "output/PrintConfig.h"

#include <array>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace presenze;
using test::failsNaming;
using test::succeeds;
namespace fs = std::filesystem;

namespace {

// The data files the two reports read.
const std::vector<std::string> kReportFiles = {"AnagraficaHotels.mdb", "Scheda_Prenotazione.mdb",
                                               "Camere_Prenotazione.mdb", "TipiCamere.mdb"};

const std::vector<std::string> kPrint = {"print", "--destination", "Aghi Reception", "--station",
                                         test::kTag};

// The report types fail naming `names`, and the report file stays as it was.
void expectReportsFail(const test::DemoCopy& dir, const std::vector<std::string>& names,
                       const std::vector<std::string>& extra = {},
                       const std::vector<int>& types = {1, 2})
{
    for (const int type : types) {
        test::writeFile(dir / "fd3", test::kOldReport);
        EXPECT_TRUE(failsNaming(test::runReport(type, dir.path(), extra), names))
            << "Tipo " << type;
        EXPECT_EQ(test::readFile(dir / "fd3"), test::kOldReport) << "Tipo " << type;
    }
}

// A room line of the demo month, by rowid.
std::string roomLineOfTheMonth(const test::DemoCopy& dir)
{
    const Database db(dir / "Camere_Prenotazione.mdb", Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT rowid FROM Camere_Prenotazione WHERE DataArrivo <= "
                              "'20260228' AND DataPartenza > '20260201' AND NumeroPersone > 0 "
                              "ORDER BY rowid LIMIT 1 OFFSET 7");
    EXPECT_TRUE(st.step());
    return std::to_string(st.integer(0));
}

} // namespace

TEST(MissingDataFile, EachFileTheReportsReadIsNamed)
{
    for (const auto& name : kReportFiles) {
        test::DemoCopy dir;
        fs::remove(dir / name);
        expectReportsFail(dir, {name, "non trovato"});
    }
    // An archived season that is not there.
    test::DemoCopy dir;
    expectReportsFail(dir, {"\"2019", "_Prenotazione.mdb\"", "non trovato"}, {"--season", "2019"});
    // A folder where a data file should be is no data file.
    fs::remove(dir / "TipiCamere.mdb");
    fs::create_directory(dir / "TipiCamere.mdb");
    expectReportsFail(dir, {"TipiCamere.mdb"});
}

TEST(MissingDataFile, PrintersAndPageLengthsAreNamedWhenPrinting)
{
    for (const std::string name : {"Stampanti.mdb", "Contatori.mdb", "AnagraficaHotels.mdb"}) {
        test::DemoCopy dir;
        ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
        fs::remove(dir / name);
        EXPECT_TRUE(failsNaming(test::runCli(kPrint, dir.path()), {name})) << name;
        EXPECT_FALSE(fs::exists(dir / "StampaAghi.prn")) << name;
    }
    // The companies file is read by the window's company search and list.
    test::DemoCopy dir;
    fs::remove(dir / "DitteAbituali.mdb");
    try {
        readCompanies(DataFolder(dir.path()));
        FAIL();
    } catch (const DataError& e) {
        EXPECT_EQ(e.file(), "DitteAbituali.mdb");
    }
}

TEST(MissingDataFile, TheSmallTextFilesHaveDefaults)
{
    test::DemoCopy dir;
    for (const char* name : {"ElencoDitte.txt", "FontStp.txt", "SeparatoreXLS.txt"})
        fs::remove(dir / name);
    for (const int type : {1, 2})
        EXPECT_TRUE(succeeds(test::runReport(type, dir.path(), {"--company-list"})));
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), {"--detail"})));
    ASSERT_TRUE(succeeds(test::runCli({"csv", "--station", test::kTag}, dir.path())));
    // The default field separator "," (the demo's own is ";").
    const std::string csv = test::readFile(dir / "fd3.csv");
    EXPECT_NE(csv.find("PrC,"), std::string::npos);
    EXPECT_EQ(csv.find(';'), std::string::npos);
    EXPECT_TRUE(succeeds(test::runCli(kPrint, dir.path())));
    EXPECT_TRUE(fs::exists(dir / "StampaAghi.prn"));
}

TEST(MissingTableOrField, TheMessageNamesFileTableAndField)
{
    struct Case {
        std::string file, table, field; // field empty: the table goes
    };
    const std::vector<Case> reportCases = {
        {"AnagraficaHotels.mdb", "AnagraficaHotels", ""},
        {"AnagraficaHotels.mdb", "AnagraficaHotels", "RagioneSociale"},
        {"AnagraficaHotels.mdb", "AnagraficaHotels", "NumeroHotel"},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione", ""},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione", "Ditta"},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione", "Commento"},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione", "CodiceDitta"},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", ""},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", "NumeroPersone"},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", "DataPartenza"},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", "Prezzo"},
        {"TipiCamere.mdb", "TipiCamere", ""},
        {"TipiCamere.mdb", "TipiCamere", "Quantita"},
    };
    for (const auto& c : reportCases) {
        test::DemoCopy dir;
        dir.sql(c.file, c.field.empty()
                            ? "ALTER TABLE " + c.table + " RENAME TO Altro"
                            : "ALTER TABLE " + c.table + " RENAME COLUMN " + c.field + " TO Altro");
        std::vector<std::string> names = {c.file, "tabella " + c.table};
        names.push_back(c.field.empty() ? "Tabella mancante" : "campo " + c.field);
        expectReportsFail(dir, names);
    }
    const std::vector<Case> printCases = {
        {"Stampanti.mdb", "Stampanti", ""}, {"Stampanti.mdb", "Stampanti", "Linea"},
        {"Stampanti.mdb", "SetStampa", ""}, {"Stampanti.mdb", "SetStampa", "Grassetto"},
        {"Contatori.mdb", "Contatori", ""}, {"Contatori.mdb", "Contatori", "LungPagNoComp"},
    };
    for (const auto& c : printCases) {
        test::DemoCopy dir;
        ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
        dir.sql(c.file, c.field.empty()
                            ? "ALTER TABLE " + c.table + " RENAME TO Altro"
                            : "ALTER TABLE " + c.table + " RENAME COLUMN " + c.field + " TO Altro");
        std::vector<std::string> names = {c.file, "tabella " + c.table};
        if (!c.field.empty())
            names.push_back("campo " + c.field);
        EXPECT_TRUE(failsNaming(test::runCli(kPrint, dir.path()), names)) << c.table << c.field;
    }
}

TEST(WrongType, TextInANumberFieldStopsTheReportNamingTheValue)
{
    // Prices, tariff days and company codes are read by Type 2 only: Type 1
    // does without them and gives its whole report.
    struct Case {
        std::string file, table, field, where;
        bool type1Reads = true;
    };
    const std::vector<Case> cases = {
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", "NumeroPersone", ""},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", "NumeroHotel", ""},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", "GiorniTariffa", "", false},
        {"Camere_Prenotazione.mdb", "Camere_Prenotazione", "Prezzo", "", false},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione", "NumeroPrenotazione", "rowid = 3"},
        {"Scheda_Prenotazione.mdb", "Scheda_Prenotazione", "CodiceDitta", "rowid = 3", false},
        {"TipiCamere.mdb", "TipiCamere", "Quantita", "rowid = 2"},
        {"AnagraficaHotels.mdb", "AnagraficaHotels", "NumeroHotel", "rowid = 2"},
    };
    for (const auto& c : cases) {
        test::DemoCopy dir;
        const std::string where = c.where.empty() ? "rowid = " + roomLineOfTheMonth(dir) : c.where;
        dir.sql(c.file,
                "UPDATE " + c.table + " SET " + c.field + " = 'tre e mezzo' WHERE " + where);
        expectReportsFail(dir,
                          {c.file, "tabella " + c.table, "campo " + c.field, "\"tre e mezzo\""}, {},
                          c.type1Reads ? std::vector<int>{1, 2} : std::vector<int>{2});
        if (!c.type1Reads) {
            EXPECT_TRUE(succeeds(test::runReport(1, dir.path()))) << c.field;
        }
    }
    // A binary value is quoted without its control bytes.
    test::DemoCopy dir;
    dir.sql("Camere_Prenotazione.mdb",
            "UPDATE Camere_Prenotazione SET NumeroPersone = x'00ff0a41' WHERE rowid = " +
                roomLineOfTheMonth(dir));
    const auto result = test::runReport(1, dir.path());
    EXPECT_TRUE(failsNaming(result, {"campo NumeroPersone"}));
    EXPECT_EQ(result.err.find('\0'), std::string::npos);
    EXPECT_EQ(result.err.find("\n", 0), result.err.size() - 1) << result.err;
}

TEST(WrongType, ALineWithABadDateIsLeftOutNamedAndTheRestCounted)
{
    for (const std::string bad : {"20260231", "2026-02-03", "3/2/2026", "2026023", "abcdefgh"}) {
        for (const std::string field : {"DataArrivo", "DataPartenza"}) {
            test::DemoCopy dir;
            const std::string row = roomLineOfTheMonth(dir);
            for (const int type : {1, 2}) {
                const std::vector<std::string> args = {"--detail", "--kind", "all", "--now",
                                                       "08/12/2026 14:00"};
                test::DemoCopy without;
                without.sql("Camere_Prenotazione.mdb",
                            "DELETE FROM Camere_Prenotazione WHERE rowid = " + row);
                ASSERT_TRUE(succeeds(test::runReport(type, without.path(), args)));

                dir.sql("Camere_Prenotazione.mdb", "UPDATE Camere_Prenotazione SET " + field +
                                                       " = '" + bad + "' WHERE rowid = " + row);
                const auto result = test::runReport(type, dir.path(), args);
                ASSERT_TRUE(succeeds(result)) << bad;
                // The warning names the value, the file and the field.
                EXPECT_NE(result.err.find("\"" + bad + "\""), std::string::npos) << result.err;
                EXPECT_NE(result.err.find("Camere_Prenotazione.mdb"), std::string::npos);
                EXPECT_NE(result.err.find("campo " + field), std::string::npos) << result.err;
                // The report is the one without that line.
                EXPECT_TRUE(test::readFile(dir / "fd3") == test::readFile(without / "fd3"))
                    << "Tipo " << type << " " << field << " " << bad;
            }
        }
    }
}

TEST(DamagedFile, CutEmptyOrRandomFilesAreUnreadable)
{
    SeededRandom random(11);
    for (const auto& name : kReportFiles) {
        const auto original = [&] {
            test::DemoCopy dir;
            return test::readFile(dir / name);
        }();
        std::vector<std::pair<std::string, std::string>> damaged = {
            {"vuoto", ""},
            {"a met\xC3\xA0", original.substr(0, original.size() / 2)},
            {"taglio non allineato", original.substr(0, original.size() - 1000)},
            {"solo l'intestazione", original.substr(0, 100)},
        };
        std::string noise(20000, '\0');
        for (char& c : noise)
            c = static_cast<char>(random.below(256));
        damaged.emplace_back("byte casuali", noise);
        // An SQLite header followed by noise.
        damaged.emplace_back("intestazione e byte casuali", original.substr(0, 100) + noise);
        for (const auto& [what, bytes] : damaged) {
            test::DemoCopy dir;
            test::writeFile(dir / name, bytes);
            SCOPED_TRACE(name + ": " + what);
            expectReportsFail(dir, {name, "illeggibile"});
        }
    }
}

TEST(DamagedFile, AnSqlitePageOverwrittenIsUnreadable)
{
    for (const std::string name : {"Camere_Prenotazione.mdb", "Scheda_Prenotazione.mdb"}) {
        for (const char fill : {'\xFF', '\0', '\x0D'}) {
            test::DemoCopy dir;
            std::string bytes = test::readFile(dir / name);
            // The first page of the table's tree: the second page of the file.
            std::fill(bytes.begin() + 4096, bytes.begin() + 8192, fill);
            test::writeFile(dir / name, bytes);
            SCOPED_TRACE(name + " " + std::to_string(static_cast<unsigned char>(fill)));
            expectReportsFail(dir, {name, "danneggiato"});
        }
    }
}

TEST(DamagedFile, AnAccessFileCutInHalfIsUnreadable)
{
    for (const std::string name : {"AnagraficaHotels.mdb", "Camere_Prenotazione.mdb",
                                   "Scheda_Prenotazione.mdb", "TipiCamere.mdb"}) {
        test::TempDir dir;
        test::copyFixture("hotel-jet", dir.path());
        const std::string bytes = test::readFile(dir / name);
        for (const std::size_t cut : {bytes.size() / 2, bytes.size() / 2 + 100}) {
            test::writeFile(dir / name, bytes.substr(0, cut));
            for (const int type : {1, 2}) {
                const auto result = test::runCli({"report", "--type", std::to_string(type),
                                                  "--from", "02/2024", "--station", "3"},
                                                 dir.path());
                EXPECT_TRUE(failsNaming(result, {name, "File illeggibile"})) << name << cut;
                EXPECT_FALSE(fs::exists(dir / "fd3"));
            }
        }
    }
}

TEST(DamagedFile, EveryReaderOfTheWindowNamesTheFile)
{
    // What the window reads at start-up and from its dialogs.
    test::DemoCopy dir;
    const DataFolder folder(dir.path());
    for (const std::string name : {"AnagraficaHotels.mdb", "DitteAbituali.mdb", "Stampanti.mdb",
                                   "Contatori.mdb", "TipiCamere.mdb"}) {
        const std::string original = test::readFile(dir / name);
        test::writeFile(dir / name, original.substr(0, 3000));
        try {
            if (name == "AnagraficaHotels.mdb")
                readHotelRegistry(folder);
            else if (name == "DitteAbituali.mdb")
                readCompanies(folder);
            else if (name == "Stampanti.mdb")
                readDestinationNames(folder, 1);
            else if (name == "Contatori.mdb")
                readPageLengths(folder, 1);
            else
                readRoomTypes(folder);
            ADD_FAILURE() << name;
        } catch (const DataError& e) {
            EXPECT_NE(e.file().find(name), std::string::npos) << e.what();
        }
        test::writeFile(dir / name, original);
    }
}

namespace {

// Two users where the tests run as root: the front office's and the one who
// runs the reports.
constexpr unsigned kFrontOfficeUser = 1; // daemon
constexpr unsigned kReportUser = 65534;  // nobody

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// The status of `work` run as the user (user id = group id) in a child.
int asUser(unsigned user, const std::function<void()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
            ::_exit(126);
        try {
            work();
        } catch (const std::exception&) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> ownedBy(const fs::path& dir, unsigned user)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) == 0 && st.st_uid == user)
            names.push_back(entry.path().filename().string());
    }
    return names;
}

// Other figures in records of the same size: the file keeps its pages.
const std::string kOtherPersons =
    "UPDATE Camere_Prenotazione SET NumeroPersone = 5 - NumeroPersone "
    "WHERE NumeroPersone IN (2, 3)";
const std::vector<std::string> kDetail = {"--detail", "--kind", "all", "--now", "08/12/2026 14:00"};

// The Access data set, with the report its expected file was made with.
const std::vector<std::string> kJetReport = {
    "report",  "--type",    "1", "--from", "02/2024",         "--to",
    "02/2024", "--station", "3", "--now",  "08/12/2026 14:00"};
std::string expectedJetReport()
{
    return test::readFile(test::fixturesDir() / "expected" / "t1-summary-confirmed-feb2024");
}
std::vector<std::string> cacheEnv(const fs::path& cache, const fs::path& tmp = {})
{
    std::vector<std::string> env = {"PRESENZE_CACHE_DIR=" + cache.string()};
    if (!tmp.empty())
        env.push_back("TMPDIR=" + tmp.string());
    return env;
}

// The front office keeps its booked rooms in WAL mode and writes as its own
// user; reports run as another user who may only read the data files. The
// committed changes still in the WAL are counted, and the front office can
// go on writing: the report user leaves no file but the station's own.
void walFileOfAnotherUser()
{
    test::DemoCopy dir, plain;
    plain.sql("Camere_Prenotazione.mdb", kOtherPersons);
    ASSERT_TRUE(succeeds(test::runReport(2, plain.path(), kDetail)));
    fs::permissions(dir.path(), fs::perms::all);
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        ASSERT_EQ(::chown(entry.path().c_str(), kFrontOfficeUser, kFrontOfficeUser), 0);
        fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write |
                                          fs::perms::group_read | fs::perms::others_read);
    }
    const fs::path rooms = dir / "Camere_Prenotazione.mdb";
    // The front office stops without a checkpoint: the change is in the WAL only.
    ASSERT_EQ(asUser(kFrontOfficeUser,
                     [&] {
                         const Database db(rooms, Database::Mode::ReadWrite);
                         db.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; " +
                                 kOtherPersons);
                         ::_exit(0);
                     }),
              0);
    ASSERT_GT(fs::file_size(dir / "Camere_Prenotazione.mdb-wal"), 0u);
    // Written a while ago: the reports need not wait for the file to be still.
    test::settle(rooms);
    test::CliLimits reportUser;
    reportUser.user = kReportUser;
    std::string why;
    const auto programs = test::StagedPrograms::forUser(kReportUser, why);
    if (!programs) {
        std::cout << "[  SKIPPED ] WAL di un altro utente: " << why << std::endl;
        return;
    }
    reportUser.programs = *programs;
    // Then it writes again and closes, which folds the WAL into the file.
    for (const char* state : {"WAL con modifiche", "WAL vuoto"}) {
        SCOPED_TRACE(state);
        for (const int type : {1, 2}) {
            std::vector<std::string> args = {"report",  "--type",         std::to_string(type),
                                             "--from",  test::kDemoMonth, "--station",
                                             test::kTag};
            args.insert(args.end(), kDetail.begin(), kDetail.end());
            ASSERT_TRUE(succeeds(test::runCli(args, dir.path(), {}, reportUser)));
        }
        EXPECT_TRUE(test::readFile(dir / "fd3") == test::readFile(plain / "fd3"));
        for (const auto& name : ownedBy(dir.path(), kReportUser))
            EXPECT_TRUE(name == "fd3" || name == "Vallomir3.mdb") << name;
        EXPECT_EQ(asUser(kFrontOfficeUser,
                         [&] {
                             const Database db(rooms, Database::Mode::ReadWrite);
                             db.exec("UPDATE Camere_Prenotazione SET Note = Note WHERE rowid = 1");
                         }),
                  0);
        test::settle(rooms);
    }
}

// A program that ignores SQLite's locks rewrites the booked rooms in place,
// turn by turn with the state before and the state after a change, and
// pauses half way through each rewrite (40, 80 or 200 ms), then rests.
// Forty reports run meanwhile, four at a time: every one that goes through
// is the report of one of the two states, every other names the file.
void rewrittenInPlaceWithPauses()
{
    test::DemoCopy dir;
    const fs::path file = dir / "Camere_Prenotazione.mdb";
    const std::string before = test::readFile(file);
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), kDetail)));
    const std::string reportBefore = test::readFile(dir / "fd3");
    dir.sql("Camere_Prenotazione.mdb", kOtherPersons);
    const std::string after = test::readFile(file);
    ASSERT_EQ(after.size(), before.size());
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), kDetail)));
    const std::string reportAfter = test::readFile(dir / "fd3");
    ASSERT_NE(reportBefore, reportAfter);

    std::atomic<bool> stop = false;
    std::thread writer([&] {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
        const std::size_t half = before.size() / 2;
        for (int turn = 0; !stop; ++turn) {
            const std::string& state = turn % 2 ? after : before;
            EXPECT_EQ(::pwrite(fd, state.data(), half, 0), static_cast<ssize_t>(half));
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::array{40, 80, 200}[turn % 3]));
            EXPECT_EQ(
                ::pwrite(fd, state.data() + half, state.size() - half, static_cast<off_t>(half)),
                static_cast<ssize_t>(state.size() - half));
            // Still long enough for the waiting reports to read.
            for (int rest = 0; rest < 23 && !stop; ++rest)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::close(fd);
    });
    std::atomic<int> reports = 0, mixed = 0;
    std::vector<std::thread> stations;
    for (int station = 0; station < 4; ++station) {
        stations.emplace_back([&, station] {
            const std::string tag = std::to_string(station + 3);
            std::vector<std::string> args = {"report",         "--type",    "2", "--from",
                                             test::kDemoMonth, "--station", tag};
            args.insert(args.end(), kDetail.begin(), kDetail.end());
            for (int run = 0; run < 10; ++run) {
                const auto result = test::runCli(args, dir.path());
                if (result.status != 0) {
                    EXPECT_TRUE(failsNaming(
                        result, {"Camere_Prenotazione.mdb", "cambia mentre viene letto"}));
                    continue;
                }
                ++reports;
                const std::string report = test::readFile(dir / ("fd" + tag));
                mixed += report != reportBefore && report != reportAfter;
            }
        });
    }
    for (auto& station : stations)
        station.join();
    stop = true;
    writer.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_GT(reports, 0);
}

// An Access file replaced in place by another of the same size, with its
// old modification time: the report has the new figures.
void accessFileReplacedWithSameSizeAndTime()
{
    test::TempDir dir, cache, fresh, freshCache;
    test::copyFixture("hotel-jet", dir.path());
    ASSERT_TRUE(succeeds(test::runCli(kJetReport, dir.path(), cacheEnv(cache.path()))));
    ASSERT_EQ(test::readFile(dir / "fd3"), expectedJetReport());
    const std::string other =
        test::readFile(test::fixturesDir() / "hotel-edge-jet" / "TipiCamere.mdb");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "TipiCamere.mdb").c_str(), &st), 0);
    ASSERT_EQ(other.size(), static_cast<std::size_t>(st.st_size));
    test::writeFile(dir / "TipiCamere.mdb", other);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "TipiCamere.mdb").c_str(), times, 0), 0);
    ASSERT_TRUE(succeeds(test::runCli(kJetReport, dir.path(), cacheEnv(cache.path()))));
    // What a new folder with the new file gives.
    test::copyFixture("hotel-jet", fresh.path());
    test::writeFile(fresh / "TipiCamere.mdb", other);
    ASSERT_TRUE(succeeds(test::runCli(kJetReport, fresh.path(), cacheEnv(freshCache.path()))));
    EXPECT_NE(test::readFile(dir / "fd3"), expectedJetReport());
    EXPECT_EQ(test::readFile(dir / "fd3"), test::readFile(fresh / "fd3"));
}

// A cache folder that every user may write in is not used (its copies
// could be forged) and keeps its mode; the run's private folder goes.
void sharedCacheFolder()
{
    test::TempDir dir, shared, tmp;
    test::copyFixture("hotel-jet", dir.path());
    const fs::perms mode = fs::perms::all | fs::perms::sticky_bit;
    fs::permissions(shared.path(), mode);
    const auto result = test::runCli(kJetReport, dir.path(), cacheEnv(shared.path(), tmp.path()));
    ASSERT_TRUE(succeeds(result));
    EXPECT_NE(result.err.find("non sicura"), std::string::npos) << result.err;
    EXPECT_EQ(test::readFile(dir / "fd3"), expectedJetReport());
    EXPECT_EQ(fs::status(shared.path()).permissions(), mode);
    EXPECT_TRUE(fs::is_empty(shared.path()));
    EXPECT_TRUE(fs::is_empty(tmp.path()));
}

// The data folder, or a folder inside it, named as the cache folder: never
// used (the copies would lie among the hotel files), with the warning of a
// folder that is not trusted; nothing is made there.
void cacheFolderInTheDataFolder()
{
    test::TempDir dir, tmp;
    test::copyFixture("hotel-jet", dir.path());
    for (const fs::path& cache : {dir.path(), dir / "copie"}) {
        const auto result = test::runCli(kJetReport, dir.path(), cacheEnv(cache, tmp.path()));
        ASSERT_TRUE(succeeds(result));
        EXPECT_NE(result.err.find("non sicura"), std::string::npos) << result.err;
        EXPECT_EQ(test::readFile(dir / "fd3"), expectedJetReport());
        EXPECT_FALSE(fs::exists(dir / "copie"));
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_NE(entry.path().extension(), ".sqlite") << entry.path();
        EXPECT_TRUE(fs::is_empty(tmp.path()));
    }
}

// Copies with ten times the rooms in a cache folder of another user are
// never read.
void foreignCacheFolder()
{
    test::TempDir dir, own, forged, tmp;
    test::copyFixture("hotel-jet", dir.path());
    ASSERT_TRUE(succeeds(test::runCli(kJetReport, dir.path(), cacheEnv(own.path()))));
    for (const auto& entry : fs::directory_iterator(own.path())) {
        const fs::path copy = forged / entry.path().filename().string();
        fs::copy_file(entry.path(), copy);
        const Database db(copy, Database::Mode::ReadWrite);
        if (db.hasTable("TipiCamere"))
            db.exec("UPDATE TipiCamere SET Quantita = Quantita * 10");
    }
    // Where they would be trusted they change the figures.
    ASSERT_TRUE(succeeds(test::runCli(kJetReport, dir.path(), cacheEnv(forged.path()))));
    ASSERT_NE(test::readFile(dir / "fd3"), expectedJetReport());
    fs::permissions(forged.path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    for (const auto& entry : fs::directory_iterator(forged.path()))
        ASSERT_EQ(::chown(entry.path().c_str(), kReportUser, kReportUser), 0);
    ASSERT_EQ(::chown(forged.path().c_str(), kReportUser, kReportUser), 0);
    const auto result = test::runCli(kJetReport, dir.path(), cacheEnv(forged.path(), tmp.path()));
    ASSERT_TRUE(succeeds(result));
    EXPECT_EQ(test::readFile(dir / "fd3"), expectedJetReport());
    EXPECT_NE(result.err.find("non sicura"), std::string::npos) << result.err;
}

// The front office stops half way through a change that has already
// written pages into the booked rooms: the reports name the file and ask
// for the front office, and leave the file and its journal as they are;
// once the front office has opened the file again they go through.
void changeCutShort()
{
    test::DemoCopy dir;
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), kDetail)));
    const std::string report = test::readFile(dir / "fd3");
    const fs::path rooms = dir / "Camere_Prenotazione.mdb";
    const std::string before = test::readFile(rooms);
    const pid_t frontOffice = ::fork();
    if (frontOffice == 0) {
        const Database db(rooms, Database::Mode::ReadWrite);
        // A small page cache makes the change spill into the file.
        db.exec("PRAGMA cache_size = 2; BEGIN; UPDATE Camere_Prenotazione SET NumeroPersone = 0");
        ::_exit(0);
    }
    ::waitpid(frontOffice, nullptr, 0);
    const std::string cut = test::readFile(rooms);
    ASSERT_NE(cut, before);
    const std::string journal = test::readFile(dir / "Camere_Prenotazione.mdb-journal");
    expectReportsFail(dir, {"Camere_Prenotazione.mdb", "riaprire il programma di front office"});
    EXPECT_TRUE(test::readFile(rooms) == cut);
    EXPECT_TRUE(test::readFile(dir / "Camere_Prenotazione.mdb-journal") == journal);
    { // The front office opens the file again.
        const Database db(rooms, Database::Mode::ReadWrite);
        db.exec("SELECT count(*) FROM Camere_Prenotazione");
    }
    ASSERT_TRUE(succeeds(test::runReport(2, dir.path(), kDetail)));
    EXPECT_TRUE(test::readFile(dir / "fd3") == report);
}

// True while the process runs (a zombie has ended).
bool running(pid_t pid)
{
    std::string stat;
    try {
        stat = test::readFile("/proc/" + std::to_string(pid) + "/stat");
    } catch (...) {
        return false;
    }
    const auto state = stat.rfind(") ");
    return state != std::string::npos && stat[state + 2] != 'Z';
}

// A report killed while the Access reader runs takes the reader with it.
void killedReport()
{
    test::TempDir dir, cache, scripts;
    test::copyFixture("hotel-jet", dir.path());
    const fs::path pids = scripts / "pids";
    const fs::path helper = scripts / "lettore";
    test::writeFile(helper, "#!/bin/sh\necho $PPID $$ > " + pids.string() + "\nexec sleep 60\n");
    fs::permissions(helper, fs::perms::owner_all);
    std::vector<std::string> env = cacheEnv(cache.path());
    env.push_back("PRESENZE_JET_HELPER=" + helper.string());
    test::CliResult result;
    std::thread report([&] { result = test::runCli(kJetReport, dir.path(), env); });
    pid_t cli = 0, reader = 0;
    for (int i = 0; i < 500 && !reader; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::istringstream(fs::exists(pids) ? test::readFile(pids) : "") >> cli >> reader;
    }
    ASSERT_GT(reader, 0);
    ::kill(cli, SIGKILL);
    report.join();
    EXPECT_TRUE(result.signalled);
    for (int i = 0; i < 100 && running(reader); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(running(reader));
    if (running(reader))
        ::kill(reader, SIGKILL);
}

// A room line and a booking header with the highest row ids there are: the
// reports are those of the same rows in the same order, within a memory
// limit.
void hugeRowIds()
{
    test::DemoCopy dir;
    std::map<int, std::string> expected;
    for (const int type : {1, 2}) {
        ASSERT_TRUE(succeeds(test::runReport(type, dir.path(), kDetail)));
        expected[type] = test::readFile(dir / "fd3");
    }
    for (const std::string table : {"Camere_Prenotazione", "Scheda_Prenotazione"})
        dir.sql(table + ".mdb", "UPDATE " + table +
                                    " SET rowid = 9223372036854775807 WHERE rowid = "
                                    "(SELECT max(rowid) FROM " +
                                    table + ")");
    test::CliLimits limits;
    if (!kSanitized)
        limits.memoryLimit = std::uintmax_t(1) << 30;
    for (const int type : {1, 2}) {
        std::vector<std::string> args = {"report",  "--type",         std::to_string(type),
                                         "--from",  test::kDemoMonth, "--station",
                                         test::kTag};
        args.insert(args.end(), kDetail.begin(), kDetail.end());
        ASSERT_TRUE(succeeds(test::runCli(args, dir.path(), {}, limits))) << "Tipo " << type;
        EXPECT_TRUE(test::readFile(dir / "fd3") == expected[type]) << "Tipo " << type;
    }
}

} // namespace

TEST(SharedFolder, EachSituationEndsInARightReportOrAClearMessage)
{
    struct Situation {
        const char* name;
        bool twoUsers; // needs root
        void (*run)();
    };
    const std::vector<Situation> situations = {
        {"WAL di un altro utente", true, walFileOfAnotherUser},
        {"file riscritto sul posto con pause", false, rewrittenInPlaceWithPauses},
        {"file Access sostituito, stessa dimensione e ora", false,
         accessFileReplacedWithSameSizeAndTime},
        {"cartella delle copie condivisa", false, sharedCacheFolder},
        {"cartella delle copie nella cartella dei dati", false, cacheFolderInTheDataFolder},
        {"cartella delle copie di un altro utente", true, foreignCacheFolder},
        {"modifica del front office interrotta", false, changeCutShort},
        {"rapporto interrotto durante la lettura Access", false, killedReport},
        {"numeri di riga enormi", false, hugeRowIds},
    };
    for (const auto& situation : situations) {
        SCOPED_TRACE(situation.name);
        if (situation.twoUsers && ::geteuid() != 0) {
            std::cout << "[  SKIPPED ] " << situation.name << ": needs root to run as two users"
                      << std::endl;
            continue;
        }
        situation.run();
    }
}

TEST(DamagedFile, HugeTextFilesAreRefusedNamingThemWithinAMemoryLimit)
{
    // 800 MB without a line end (a sparse file: it takes no disk), or a
    // company list of more lines than one may hold; the text files are read
    // line by line, within their limits, so a small memory is enough.
    struct Case {
        std::string file;
        std::vector<std::string> command;
        bool manyLines;
        std::string message; // UTF-8, as the terminal shows it
    };
    const std::vector<std::string> report = {"report",         "--type",    "1",       "--from",
                                             test::kDemoMonth, "--station", test::kTag};
    const std::vector<Case> cases = {
        {"ElencoDitte.txt", report, false, "pi\xC3\xB9 lunga di 4096 caratteri"},
        {"ElencoDitte.txt", report, true, "pi\xC3\xB9 di 1000000 righe"},
        {"FontStp.txt", kPrint, false, "pi\xC3\xB9 lunga di 4096 caratteri"},
        {"SeparatoreXLS.txt", {"csv", "--station", test::kTag}, false, "pi\xC3\xB9 lunga"},
    };
    test::CliLimits limits;
    if (!kSanitized)
        limits.memoryLimit = std::uintmax_t(512) << 20;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        test::DemoCopy dir;
        ASSERT_TRUE(succeeds(test::runReport(1, dir.path())));
        if (c.manyLines) {
            std::string lines;
            for (int i = 0; i <= 1'000'000; ++i)
                lines += "     1 A\r\n";
            test::writeFile(dir / c.file, lines);
        } else {
            const int fd = ::open((dir / c.file).c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::ftruncate(fd, off_t(800) << 20), 0);
            ::close(fd);
            test::settle(dir / c.file);
        }
        const auto result = test::runCli(c.command, dir.path(), {}, limits);
        EXPECT_TRUE(failsNaming(result, {c.file, c.message}));
    }
}
