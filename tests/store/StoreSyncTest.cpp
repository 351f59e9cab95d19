// A group's folder synchronised into the private server and read back: the
// reports and their CSV from the server are the folder's, byte for byte, over
// SQLite and Access files, current and archived seasons; one snapshot a day;
// a sync cut short leaves the server as it was.

#include "data/BookingSource.h"
#include "store/PgConnection.h"
#include "store/StoreSource.h"
#include "store/StoreSupport.h"

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

struct ReportCase {
    const char* data; // the SQLite folder; its Access twin is read too
    std::vector<std::string> args;
};

const ReportCase kReports[] = {
    {"hotel", {"--type", "1", "--from", "02/2024"}},
    {"hotel",
     {"--type", "1", "--from", "01/2024", "--to", "03/2024", "--detail", "--kind", "all",
      "--group-top-acs"}},
    {"hotel", {"--type", "2", "--from", "02/2024", "--detail", "--kind", "all"}},
    {"hotel", {"--type", "2", "--from", "02/2024", "--arrivals", "--company-list"}},
    {"hotel",
     {"--type", "1", "--from", "01/2023", "--to", "02/2023", "--detail", "--season", "2023"}},
    {"hotel", {"--type", "2", "--from", "02/2023", "--detail", "--season", "2023"}},
    {"hotel-edge", {"--type", "1", "--from", "02/2024", "--detail", "--kind", "all"}},
    {"hotel-edge", {"--type", "2", "--from", "02/2024", "--detail", "--kind", "all"}},
};

// The report file and its CSV of one request, run in `station`.
std::pair<std::string, std::string> reportAndCsv(const fs::path& station,
                                                 std::vector<std::string> args,
                                                 const std::vector<std::string>& extra = {})
{
    args.insert(args.begin(), {"report", "--data-dir", station.string(), "--station", "1", "--now",
                               "08/12/2026 14:00"});
    args.insert(args.end(), extra.begin(), extra.end());
    const auto report = test::cli(args);
    EXPECT_EQ(report.status, 0) << report.err;
    std::vector<std::string> csv = {"csv", "--data-dir", station.string(), "--station", "1"};
    csv.insert(csv.end(), extra.begin(), extra.end());
    const auto converted = test::cli(csv);
    EXPECT_EQ(converted.status, 0) << converted.err;
    return {test::readFile(station / "fd1"), test::readFile(station / "fd1.csv")};
}

// presenze-cli sync started in the background, its output dropped.
pid_t startSync(const test::PrivatePostgres& server, const fs::path& folder,
                const std::string& group, const std::string& now)
{
    const std::string exe = (fs::path(PRESENZE_BIN_DIR) / "presenze-cli").string();
    const std::vector<std::string> args = {exe,       "sync", "--to",       server.conninfo(),
                                           "--group", group,  "--data-dir", folder.string(),
                                           "--now",   now};
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
            ::_exit(127);
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

std::size_t count(const test::PrivatePostgres& server, const std::string& query)
{
    return std::stoul(server.value(query));
}

} // namespace

TEST(StoreSync, ReportsFromTheServerAreTheFolderReports)
{
    PRESENZE_PRIVATE_SERVER(server);
    const std::pair<const char*, const char*> folders[] = {{"hotel", "hotel"},
                                                           {"hotel-jet", "hotel"},
                                                           {"hotel-edge", "hotel-edge"},
                                                           {"hotel-edge-jet", "hotel-edge"}};
    for (const auto& [data, base] : folders) {
        test::TempDir folder, station;
        test::copyFixture(data, folder.path());
        const auto synced = test::sync(*server, folder.path(), data);
        ASSERT_EQ(synced.status, 0) << data << ": " << synced.err;
        for (const ReportCase& c : kReports) {
            if (std::string(base) != c.data)
                continue;
            const auto fromFolder = reportAndCsv(folder.path(), c.args);
            const auto fromServer = reportAndCsv(station.path(), c.args,
                                                 {"--source", server->conninfo(), "--group", data});
            EXPECT_FALSE(fromFolder.first.empty()) << data << " " << c.args[1];
            EXPECT_TRUE(fromServer.first == fromFolder.first)
                << data << ", report with " << testing::PrintToString(c.args);
            EXPECT_TRUE(fromServer.second == fromFolder.second)
                << data << ", CSV with " << testing::PrintToString(c.args);
        }
        // The sync and the reports leave the hotel files as they were.
        for (const auto& entry : fs::directory_iterator(test::fixturesDir() / data))
            EXPECT_EQ(test::readFile(folder / entry.path().filename().string()),
                      test::readFile(entry.path()))
                << data << ": " << entry.path().filename();
        // The station's folder holds the station's files only.
        for (const auto& entry : fs::directory_iterator(station.path()))
            EXPECT_TRUE(entry.path().filename().string().rfind("fd1", 0) == 0 ||
                        entry.path().filename() == "Vallomir1.mdb")
                << entry.path();
    }
}

// The records as one text, every field.
std::string recordsText(const std::vector<BookingHeader>& headers,
                        const std::vector<RoomLine>& lines)
{
    std::string text;
    for (const BookingHeader& h : headers)
        text += std::to_string(h.order) + "|" + std::to_string(h.numeroPrenotazione) + "|" +
                std::to_string(h.numeroHotel) + "|" + h.tipoPrenotazione + "|" + h.ditta + "|" +
                std::to_string(h.codiceDitta.value_or(-1)) + "|" + h.nazione + "|" + h.commento +
                "\n";
    for (const RoomLine& l : lines)
        text += std::to_string(l.order) + "|" + std::to_string(l.numeroPrenotazione) + "|" +
                std::to_string(l.numeroHotel) + "|" + l.tipoPrenotazione + "|" + l.dataArrivo +
                "|" + l.dataPartenza + "|" + std::to_string(l.numeroPersone) + "|" +
                std::to_string(l.quantitaCamere) + "|" + l.note + "|" +
                std::to_string(l.giorniTariffa) + "|" + std::to_string(l.prezzo.units) + "\n";
    return text;
}

TEST(StoreSync, GivesTheRecordsInFileOrderWhereverTheyLie)
{
    PRESENZE_PRIVATE_SERVER(server);
    test::TempDir folder;
    test::copyFixture("hotel-edge", folder.path());
    ASSERT_EQ(test::sync(*server, folder.path(), "g").status, 0);
    // After some syncs the rows no longer lie in file order on the server:
    // a new version of a row goes elsewhere, here every third row last.
    server->sql("UPDATE presenze.camere_prenotazione SET riga = riga WHERE riga % 3 = 0; "
                "UPDATE presenze.scheda_prenotazione SET riga = riga WHERE riga % 3 = 0");
    const FolderSource files{DataFolder(folder.path())};
    const StoreSource store(storeAddress(server->conninfo()), "g");
    for (const std::string season : {"", "2023"}) {
        const auto read = [&](const BookingSource& source) {
            return recordsText(
                source.bookingHeaders(season, BookingFields::All),
                source.roomLines(season, "20230101", "20241231", {}, BookingFields::All));
        };
        const std::string expected = read(files);
        EXPECT_GT(expected.size(), 1000u);
        EXPECT_EQ(read(store), expected) << "season " << season;
    }
}

TEST(StoreSync, AnEarlierLayoutGetsTheSeasonIndexesAtItsNextSync)
{
    PRESENZE_PRIVATE_SERVER(server);
    test::TempDir folder;
    test::copyFixture("hotel", folder.path());
    ASSERT_EQ(test::sync(*server, folder.path(), "g").status, 0);
    // The block range indexes as the first layout made them.
    server->sql("DROP INDEX presenze.scheda_prenotazione_stagione, "
                "presenze.camere_prenotazione_stagione; "
                "CREATE INDEX scheda_prenotazione_gruppo ON presenze.scheda_prenotazione "
                "USING brin (gruppo, sincronizzazione); "
                "CREATE INDEX camere_prenotazione_gruppo ON presenze.camere_prenotazione "
                "USING brin (gruppo, sincronizzazione)");
    ASSERT_EQ(test::sync(*server, folder.path(), "g").status, 0);
    EXPECT_EQ(server->value("SELECT string_agg(indexname || ' ' || substring(indexdef from "
                            "'\\(.*\\)'), ', ' ORDER BY indexname) FROM pg_indexes WHERE "
                            "tablename IN ('scheda_prenotazione', 'camere_prenotazione')"),
              "camere_prenotazione_stagione (gruppo, sincronizzazione, stagione) WITH "
              "(autosummarize='on'), scheda_prenotazione_stagione (gruppo, sincronizzazione, "
              "stagione) WITH (autosummarize='on')");
    const auto report = reportAndCsv(folder.path(), kReports[0].args);
    EXPECT_EQ(reportAndCsv(folder.path(), kReports[0].args,
                           {"--source", server->conninfo(), "--group", "g"}),
              report);
}

TEST(StoreSync, KeepsOneSnapshotADayAndThePreviousStateOfASyncCutShort)
{
    PRESENZE_PRIVATE_SERVER(server);
    test::TempDir hotel, edge;
    test::copyFixture("hotel", hotel.path());
    test::copyFixture("hotel-edge", edge.path());
    const std::string snapshots =
        "SELECT count(DISTINCT data) || ' ' || count(*) FROM presenze.istantanea "
        "WHERE gruppo = 'g'";
    ASSERT_EQ(test::sync(*server, hotel.path(), "g", "15/01/2024 10:00").status, 0);
    const std::string first = server->value(snapshots);
    ASSERT_EQ(first.substr(0, 2), "1 ") << first;
    ASSERT_NE(first, "1 0");
    ASSERT_EQ(test::sync(*server, hotel.path(), "g", "15/01/2024 18:00").status, 0);
    EXPECT_EQ(server->value(snapshots), first);
    ASSERT_EQ(test::sync(*server, hotel.path(), "g", "16/01/2024 09:00").status, 0);
    EXPECT_EQ(server->value(snapshots).substr(0, 2), "2 ");

    // A sync of the other folder, killed while it waits for the snapshot
    // table that another session holds, after it has replaced the rows of
    // the mirrored tables in its transaction.
    const std::string state =
        "SELECT (SELECT count(*) FROM presenze.camere_prenotazione WHERE gruppo = 'g') || ' ' || "
        "(SELECT count(*) FROM presenze.scheda_prenotazione WHERE gruppo = 'g') || ' ' || "
        "(SELECT istantanea FROM presenze.gruppo WHERE gruppo = 'g')";
    const std::string before = server->value(state);
    PgConnection holder(StoreAddress{server->adminConninfo(), "test"});
    holder.execute("BEGIN; LOCK TABLE presenze.istantanea IN ACCESS EXCLUSIVE MODE");
    const pid_t child = startSync(*server, edge.path(), "g", "17/01/2024 09:00");
    const std::string waiting = "SELECT count(*) FROM pg_stat_activity WHERE "
                                "application_name = 'presenze' AND wait_event_type = 'Lock'";
    bool blocked = false;
    for (int i = 0; i < 300 && !blocked; ++i) {
        blocked = server->value(waiting) == "1";
        if (!blocked)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(blocked) << "the sync never reached the snapshot";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    holder.execute("COMMIT");
    const std::string sessions =
        "SELECT count(*) FROM pg_stat_activity WHERE application_name = 'presenze'";
    for (int i = 0; i < 100 && server->value(sessions) != "0"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(server->value(sessions), "0");
    EXPECT_EQ(server->value(state), before);
    EXPECT_EQ(server->value(snapshots).substr(0, 2), "2 ");
    EXPECT_GT(count(*server, "SELECT count(*) FROM presenze.camere_prenotazione"), 0u);
}
