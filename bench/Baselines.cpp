#include "Baselines.h"

#include "BenchData.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Dates.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "request/PrintRequest.h"
#include "tally/HotelRooms.h"
#include "tally/WorkingDatabase.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace presenze::bench {
namespace {
namespace fs = std::filesystem;

// One month window of the benchmark year: its first day and the YYYYMMDD
// keys of the first day and of the 32nd.
struct Window {
    Date first;
    std::string firstKey;
    std::string endKey;
};

std::vector<Window> yearWindows()
{
    std::vector<Window> windows;
    for (const Date& first : monthsOf(benchYear()))
        windows.push_back({first, first.toKey(), first.addDays(31).toKey()});
    return windows;
}

Database openData(const fs::path& data, std::string_view name)
{
    return Database(DataFolder(data).locate(name), Database::Mode::ReadOnly);
}

// Results are kept here so that no work is optimised away.
volatile std::int64_t g_sink = 0;

// floor: the room lines of the year's windows, read once, persons and rooms
// summed.
void floorScan(const fs::path& data)
{
    const auto windows = yearWindows();
    const Database rooms = openData(data, schema::kRoomsFile);
    Statement st = rooms.prepare(
        "SELECT NumeroPersone, \"Quantit\xC3\xA0"
        "Camere\" FROM Camere_Prenotazione WHERE DataArrivo <= ?1 AND DataPartenza > ?2");
    st.bindText(1, windows.back().endKey).bindText(2, windows.front().firstKey);
    std::int64_t persons = 0, roomNights = 0;
    while (st.step()) {
        persons += st.integer(0);
        roomNights += st.integer(1);
    }
    g_sink = persons + roomNights;
}

// sql: each month's totals per hotel, company and day by one query, as a
// user with a database browser would write it: the room lines joined to
// their headers, the nights of each stay expanded by a recursive CTE, then
// grouped. Confirmed and optional persons and rooms, and the rooms and
// persons of the four tags.
constexpr const char* kMonthQuery = R"(
WITH RECURSIVE
stays(hotel, ditta, optional, tag, persone, camere, night, stop) AS (
  SELECT r.NumeroHotel, t.Ditta, t.TipoPrenotazione = 'O',
         CASE WHEN instr(t.Commento, '<GRP>') THEN 1 WHEN instr(t.Commento, '<IND>') THEN 2
              WHEN instr(t.Commento, '<TO>') THEN 3 WHEN instr(t.Commento, '<AS>') THEN 4
              ELSE 0 END,
         r.NumeroPersone, r.QUANTITA,
         max(julianday(substr(r.DataArrivo, 1, 4) || '-' || substr(r.DataArrivo, 5, 2) || '-' ||
                       substr(r.DataArrivo, 7, 2)), ?3),
         min(julianday(substr(r.DataPartenza, 1, 4) || '-' || substr(r.DataPartenza, 5, 2) || '-' ||
                       substr(r.DataPartenza, 7, 2)), ?3 + 31)
  FROM Camere_Prenotazione r
  JOIN testate.Scheda_Prenotazione t
    ON t.NumeroPrenotazione = r.NumeroPrenotazione AND t.NumeroHotel = r.NumeroHotel
  WHERE r.DataArrivo <= ?1 AND r.DataPartenza > ?2 AND r.NumeroPersone > 0
    AND r.TipoPrenotazione IN ('C', 'D', 'O') AND t.TipoPrenotazione IN ('C', 'D', 'O')
),
nights(hotel, ditta, optional, tag, persone, camere, night, stop) AS (
  SELECT * FROM stays WHERE night < stop
  UNION ALL
  SELECT hotel, ditta, optional, tag, persone, camere, night + 1, stop FROM nights
  WHERE night + 1 < stop
)
SELECT hotel, ditta, CAST(night - ?3 AS INTEGER) + 1 AS day,
       sum(CASE WHEN optional THEN 0 ELSE persone END), sum(CASE WHEN optional THEN persone END),
       sum(CASE WHEN optional THEN 0 ELSE camere END), sum(CASE WHEN optional THEN camere END),
       sum(CASE WHEN tag = 1 THEN camere END), sum(CASE WHEN tag = 1 THEN persone END),
       sum(CASE WHEN tag = 2 THEN camere END), sum(CASE WHEN tag = 2 THEN persone END),
       sum(CASE WHEN tag = 3 THEN camere END), sum(CASE WHEN tag = 3 THEN persone END),
       sum(CASE WHEN tag = 4 THEN camere END), sum(CASE WHEN tag = 4 THEN persone END)
FROM nights GROUP BY hotel, ditta, day
)";

// The query with the rooms field's name, which has an accented letter.
std::string monthQuery()
{
    std::string sql = kMonthQuery;
    const std::string_view placeholder = "QUANTITA";
    sql.replace(sql.find(placeholder), placeholder.size(),
                "\"" + std::string(schema::kRoomsQuantitySql) + "\"");
    return sql;
}

double julianDay(const Date& date)
{
    return static_cast<double>(date.toSerial()) + 2440587.5;
}

void sqlMonths(const fs::path& data)
{
    const Database rooms = openData(data, schema::kRoomsFile);
    {
        Statement attach = rooms.prepare("ATTACH DATABASE ?1 AS testate");
        attach.bindUtf8(1, DataFolder(data).locate(schema::kHeadersFile).string());
        attach.step();
    }
    Statement st = rooms.prepare(monthQuery());
    std::int64_t sum = 0;
    for (const auto& w : yearWindows()) {
        st.bindText(1, w.endKey).bindText(2, w.firstKey).bind(3, julianDay(w.first));
        while (st.step())
            for (int c = 3; c < 15; ++c)
                sum += st.integer(c);
        st.reset();
    }
    g_sink = sum;
}

// literal: the month's tally as the booking software does it, night by
// night: for every night of a counted room line, four look-ups by criteria
// in the unindexed table Presenze (the hotel's nationality row, the daily
// row, the second daily row and the period row of the company), each
// followed by an update of the row found or the insertion of a new one. The
// booking headers are found through a map, so that only the four look-ups
// per night are what this baseline measures. Every booking kind, one row
// per company.
class LiteralTally {
public:
    LiteralTally(const Database& work, const HotelRooms& rooms)
        : m_rooms(rooms),
          m_find(work, "SELECT rowid FROM Presenze WHERE NumeroHotel = ?1 AND NomeDitta = ?2 "
                       "AND Contatore = ?3 LIMIT 1"),
          m_update(work, "UPDATE Presenze SET NomeDitta = ?2, Presenze = Presenze + ?3, "
                         "PresOpz = PresOpz + ?4, Camere = Camere + ?5, Opzioni = Opzioni + ?6, "
                         "Libere = Libere + ?7, Gruppi = Gruppi + ?8, "
                         "Individuali = Individuali + ?9, TourOp = TourOp + ?10, "
                         "AccSpec = AccSpec + ?11, GruppiC = GruppiC + ?12, "
                         "IndividualiC = IndividualiC + ?13, TourOpC = TourOpC + ?14, "
                         "AccSpecC = AccSpecC + ?15 WHERE rowid = ?1"),
          m_insert(work, "INSERT INTO Presenze VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                         "?11, ?12, ?13, ?14, ?15, ?16)")
    {}

    struct Line {
        std::int64_t hotel;
        std::string ditta;
        bool optional;
        bool italian;
        int tag; // 0 none, 1 <GRP>, 2 <IND>, 3 <TO>, 4 <AS>
        std::int64_t persone;
        std::int64_t camere;
    };

    void night(const Line& line, int day)
    {
        PresenzeCounters nation{};
        nation[line.italian ? kPresOpz : kPresenze] = line.persone;
        nation[line.italian ? kOpzioni : kCamere] = line.camere;
        touch(line.hotel, "NAZIONE", 32, nation, m_rooms.camereTotali);

        PresenzeCounters company{};
        company[line.optional ? kPresOpz : kPresenze] = line.persone;
        company[line.optional ? kOpzioni : kCamere] = line.camere;
        company[kLibere] = -line.camere;
        static constexpr std::array<std::pair<int, int>, 5> kTagFields = {
            std::pair{-1, -1}, std::pair{int(kGruppi), int(kGruppiC)},
            std::pair{int(kIndividuali), int(kIndividualiC)},
            std::pair{int(kTourOp), int(kTourOpC)}, std::pair{int(kAccSpec), int(kAccSpecC)}};
        if (line.tag > 0) {
            company[kTagFields[line.tag].first] = line.camere;
            company[kTagFields[line.tag].second] = line.persone;
        }
        const std::int64_t libere = m_rooms.of(line.hotel);
        touch(line.hotel, line.ditta, day, company, libere);
        touch(line.hotel, line.ditta, day + 40, company, libere);
        touch(line.hotel, line.ditta, 32, company, libere);
    }

private:
    void touch(std::int64_t hotel, std::string_view name, int contatore,
               const PresenzeCounters& add, std::int64_t libere)
    {
        m_find.bind(1, hotel).bindText(2, name).bind(3, contatore);
        const bool found = m_find.step();
        const std::int64_t rowid = found ? m_find.integer(0) : 0;
        m_find.reset();
        if (found) {
            m_update.bind(1, rowid).bindText(2, name);
            for (int f = 0; f < kPresenzeCounterCount; ++f)
                m_update.bind(3 + f, add[f]);
            m_update.step();
            m_update.reset();
            return;
        }
        m_insert.bind(1, hotel).bindText(2, name).bind(3, contatore);
        for (int f = 0; f < kPresenzeCounterCount; ++f)
            m_insert.bind(4 + f, add[f] + (f == kLibere ? libere : 0));
        m_insert.step();
        m_insert.reset();
    }

    const HotelRooms& m_rooms;
    Statement m_find;
    Statement m_update;
    Statement m_insert;
};

int tagOf(std::string_view commento)
{
    int tag = 0;
    for (const char* t : {"<GRP>", "<IND>", "<TO>", "<AS>"}) {
        ++tag;
        if (commento.find(t) != std::string_view::npos)
            return tag;
    }
    return 0;
}

void literalMonth(const fs::path& data, const Window& w, const HotelRooms& rooms)
{
    const fs::path workFile = data / workingDatabaseName("bl");
    fs::remove(workFile);
    CreaArchivioLocale(workFile);
    const Database work(workFile, Database::Mode::ReadWrite);
    work.exec("PRAGMA synchronous = OFF");
    Transaction transaction(work);

    // The headers of every booking kind, the first of each booking.
    struct Header {
        std::string ditta;
        bool optional;
        bool italian;
        int tag;
    };
    std::map<std::pair<std::int64_t, std::int64_t>, Header> headers;
    {
        const Database db = openData(data, schema::kHeadersFile);
        Statement st = db.prepare("SELECT NumeroHotel, NumeroPrenotazione, TipoPrenotazione, "
                                  "Ditta, Nazione, Commento FROM Scheda_Prenotazione WHERE "
                                  "TipoPrenotazione IN ('O', 'C', 'D') ORDER BY NumeroHotel, "
                                  "NumeroPrenotazione");
        while (st.step()) {
            const std::string nazione = st.text(4);
            headers.try_emplace(
                {st.integer(0), st.integer(1)},
                Header{st.text(3), st.text(2) == "O",
                       nazione == "I" || nazione.find_first_not_of(' ') == std::string::npos,
                       tagOf(st.text(5))});
        }
    }

    LiteralTally tally(work, rooms);
    const long first = w.first.toSerial();
    const Database db = openData(data, schema::kRoomsFile);
    Statement st = db.prepare("SELECT NumeroHotel, NumeroPrenotazione, DataArrivo, DataPartenza, "
                              "NumeroPersone, \"Quantit\xC3\xA0"
                              "Camere\" FROM Camere_Prenotazione WHERE TipoPrenotazione IN "
                              "('O', 'C', 'D') AND DataArrivo <= ?1 AND DataPartenza > ?2 "
                              "ORDER BY NumeroHotel, NumeroPrenotazione");
    st.bindText(1, w.endKey).bindText(2, w.firstKey);
    while (st.step()) {
        const auto header = headers.find({st.integer(0), st.integer(1)});
        if (header == headers.end() || st.integer(4) <= 0)
            continue;
        const Header& h = header->second;
        const LiteralTally::Line line{st.integer(0), h.ditta,       h.optional,   h.italian,
                                      h.tag,         st.integer(4), st.integer(5)};
        const long arrival = Date::parseKey(st.text(2))->toSerial();
        const long departure = Date::parseKey(st.text(3))->toSerial();
        for (long d = std::max(arrival, first); d < std::min(departure, first + 31); ++d)
            tally.night(line, static_cast<int>(d - first + 1));
    }
    transaction.commit();
}

void literalYear(const fs::path& data)
{
    const HotelRooms rooms = readHotelRooms(DataFolder(data));
    for (const auto& w : yearWindows())
        literalMonth(data, w, rooms);
}

// Runs a program with its output into a file; raises DataError when it
// cannot be started or does not end well. The locale is UTF-8, as mdb-export
// needs it for table names with accented letters.
void runTool(const std::vector<std::string>& args, const fs::path& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env = {"LC_ALL=C.UTF-8"};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "LC_ALL=", 7) != 0)
            env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw DataError(args[0] + ": " + std::strerror(rc));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw DataError(args[0] + " non riuscito");
}

// The tables of an Access file, as mdb-tables lists them.
std::vector<std::string> accessTables(const fs::path& file)
{
    const fs::path list = fs::temp_directory_path() /
                          ("presenze-bench-tables-" + std::to_string(::getpid()) + ".txt");
    runTool({"mdb-tables", "-1", file.string()}, list);
    std::vector<std::string> tables;
    std::ifstream in(list);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            tables.push_back(line);
    fs::remove(list);
    return tables;
}

} // namespace

std::vector<BenchCase> baselineCases(const std::string& size)
{
    std::vector<BenchCase> cases;
    cases.push_back({"one scan of the room lines", size, "floor", {}, {}, floorScan});
    cases.push_back({"month totals by one SQL query", size, "sql", {}, {}, sqlMonths});
    if (size == "S" || size == "M")
        cases.push_back(
            {"tally by criteria look-ups", size, "literal", {}, {}, literalYear, {}, {}, 1});
    return cases;
}

BenchCase mdbExportCase(const std::string& size, const std::filesystem::path& accessFile)
{
    BenchCase c{"mdb-export of every table", size, "mdb-export", {}, {}, {}};
    c.run = [accessFile](const fs::path&) {
        const std::vector<std::string> tables = accessTables(accessFile);
        const fs::path output = fs::temp_directory_path() /
                                ("presenze-bench-export-" + std::to_string(::getpid()) + ".csv");
        for (const auto& table : tables)
            runTool({"mdb-export", accessFile.string(), table}, output);
        fs::remove(output);
    };
    c.count = [accessFile](const fs::path&) { return static_cast<double>(accessRows(accessFile)); };
    c.unit = "rows";
    return c;
}

} // namespace presenze::bench
