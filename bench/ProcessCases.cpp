#include "ProcessCases.h"

#include "data/ChildProcess.h"
#include "data/DataFolder.h"
#include "data/Dates.h"
#include "data/Schema.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace presenze::bench {
namespace {
namespace fs = std::filesystem;

// The request of the check: June 2024 to May 2025.
constexpr const char* kFromMonth = "06/2024";
constexpr const char* kToMonth = "05/2025";
constexpr int kMonths = 12;
const Date kFirstDay{2024, 6, 1};

// Long enough for the XXL cases on a loaded machine.
constexpr std::chrono::milliseconds kLimit{1800'000};

GroupOptions checkYear(int hotels, int companies, std::int64_t lines, std::uint32_t seed)
{
    GroupOptions group;
    group.hotels = hotels;
    group.companies = companies;
    group.roomLines = lines;
    group.reference = kFirstDay;
    group.monthsBefore = 0;
    group.monthsAfter = kMonths - 1;
    group.seed = seed;
    group.archivedSeason.clear();
    group.companyListSize = 50;
    return group;
}

// Runs a program to its end; raises, with what it wrote on stderr, when it
// does not end well. Returns its standard output when asked for.
std::string run(const fs::path& program, const std::vector<std::string>& args, bool output = false)
{
    ChildOptions options;
    options.limit = kLimit;
    options.captureOutput = output;
    const ChildOutcome outcome = runChild(program, args, options);
    if (!outcome.started())
        throw std::runtime_error(program.string() + " non trovato");
    if (!outcome.succeeded()) {
        std::string text = program.filename().string() + " non riuscito";
        if (!outcome.errorOutput.empty())
            text += ": " + outcome.errorOutput.substr(0, outcome.errorOutput.find('\n'));
        throw std::runtime_error(text);
    }
    return outcome.output;
}

// `presenze-cli report` over the year, every booking kind, written as "fd" +
// tag into the group's folder, with a fixed clock; Type 2 counts presences.
Work cliReport(const fs::path& cli, int type, bool detail, const std::string& tag)
{
    return [=](const fs::path& data) {
        std::vector<std::string> args = {"report",     "--type",      std::to_string(type),
                                         "--from",     kFromMonth,    "--to",
                                         kToMonth,     "--kind",      "all",
                                         "--data-dir", data.string(), "--station",
                                         tag,          "--now",       "08/12/2025 14:00"};
        if (detail)
            args.emplace_back("--detail");
        run(cli, args);
    };
}

// The first days of the request's months, as YYYYMMDD keys, and the day
// after each month's 31-day window.
struct Window {
    std::string first;
    std::string end;
};

std::vector<Window> windows()
{
    std::vector<Window> list;
    Date first = kFirstDay;
    for (int m = 0; m < kMonths; ++m) {
        list.push_back({first.toKey(), first.addDays(31).toKey()});
        first = first.addDays(31);
        first.day = 1;
    }
    return list;
}

// floor: one sqlite3 process, twelve queries, each summing the persons and
// rooms of the room lines that overlap one month's 31-day window.
void floorQueries(const fs::path& data)
{
    std::string sql;
    for (const Window& w : windows())
        sql += "SELECT sum(NumeroPersone), sum(\"" + std::string(schema::kRoomsQuantitySql) +
               "\") FROM Camere_Prenotazione WHERE DataArrivo < '" + w.end +
               "' AND DataPartenza > '" + w.first + "';\n";
    run("sqlite3", {"-readonly", DataFolder(data).locate(schema::kRoomsFile).string(), sql});
}

// The two tables DuckDB loads, exported once per group by sqlite3 into a
// folder of the group's own (the group is never changed once made).
fs::path exportFolder(const fs::path& data)
{
    return data / "duckdb";
}

void exportTable(const fs::path& file, const fs::path& target, const std::string& select)
{
    if (fs::exists(target))
        return;
    const fs::path partial = target.string() + ".partial";
    run("sqlite3", {"-readonly", "-csv", "-header", file.string(),
                    ".output \"" + partial.string() + "\"", select});
    fs::rename(partial, target);
}

void exportForDuckDb(const fs::path& data)
{
    fs::create_directories(exportFolder(data));
    const DataFolder folder(data);
    exportTable(folder.locate(schema::kRoomsFile), exportFolder(data) / "lines.csv",
                "SELECT NumeroPrenotazione AS numero, NumeroHotel AS hotel, TipoPrenotazione AS "
                "tipo, DataArrivo AS arrivo, DataPartenza AS partenza, NumeroPersone AS persone, "
                "\"" +
                    std::string(schema::kRoomsQuantitySql) +
                    "\" AS camere FROM Camere_Prenotazione ORDER BY rowid");
    exportTable(folder.locate(schema::kHeadersFile), exportFolder(data) / "headers.csv",
                "SELECT NumeroPrenotazione AS numero, NumeroHotel AS hotel, TipoPrenotazione AS "
                "tipo, Ditta AS ditta FROM Scheda_Prenotazione ORDER BY rowid");
}

// One figure of the script's line of JSON ({"load": 0.1, "query": 0.3, ...}).
double jsonFigure(const std::string& json, const std::string& name)
{
    const std::size_t at = json.find("\"" + name + "\":");
    if (at == std::string::npos)
        throw std::runtime_error("risposta di DuckDB senza \"" + name + "\": " + json);
    return std::strtod(json.c_str() + at + name.size() + 3, nullptr);
}

// The DuckDB script over the exported tables; the part of its own time
// named by `figure` ("load" or "query").
Count duckDbTime(const fs::path& folder, const std::string& figure)
{
    return [=](const fs::path& data) {
        const std::string json = run(
            "node",
            {(folder / "month-tally.mjs").string(), (exportFolder(data) / "lines.csv").string(),
             (exportFolder(data) / "headers.csv").string(), "2024-06-01", std::to_string(kMonths)},
            true);
        return jsonFigure(json, figure);
    };
}

// A program on PATH, as runChild finds a bare name.
bool onPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "";
    while (!rest.empty()) {
        const std::size_t colon = std::min(rest.find(':'), rest.size());
        const fs::path candidate = fs::path(std::string(rest.substr(0, colon))) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        rest.remove_prefix(std::min(colon + 1, rest.size()));
    }
    return false;
}

// Why the DuckDB baseline cannot run, or nothing.
std::string duckDbMissing(const Programs& programs)
{
    if (!onPath("node"))
        return "node non trovato";
    if (!fs::exists(programs.duckdb / "node_modules" / "@duckdb" / "node-api"))
        return "@duckdb/node-api non installato in " + programs.duckdb.string() +
               " (make bench lo installa con npm)";
    return {};
}

// `mdb-export` of a booking file's table, its output read whole.
void exportBookingTable(const fs::path& data, std::string_view file, std::string_view table)
{
    ChildOptions options;
    options.limit = kLimit;
    options.captureOutput = true;
    options.environment = {"LC_ALL=C.UTF-8"};
    const ChildOutcome outcome = runChild(
        "mdb-export", {DataFolder(data).locate(file).string(), std::string(table)}, options);
    if (!outcome.started())
        throw std::runtime_error("mdb-export non trovato");
    if (!outcome.succeeded())
        throw std::runtime_error("mdb-export non riuscito");
}

} // namespace

std::vector<BenchSize> checkSizes(std::uint32_t seed, bool withXxl)
{
    std::vector<BenchSize> sizes = {{"L 2024-25", checkYear(20, 2000, 200000, seed)}};
    if (withXxl)
        sizes.push_back({"XXL 2024-25", checkYear(200, 20000, 2000000, seed)});
    return sizes;
}

Programs findPrograms()
{
    const fs::path self = fs::read_symlink("/proc/self/exe");
    return {self.parent_path() / "presenze-cli", PRESENZE_BENCH_DUCKDB_DIR};
}

std::vector<BenchCase> checkCases(const BenchSize& size, const Programs& programs)
{
    const std::string& s = size.name;
    const bool xxl = s.rfind("XXL", 0) == 0;
    const std::vector<std::string> against = {"floor", "DuckDB"};
    std::vector<BenchCase> cases;
    const auto report = [&](const std::string& name, int type, bool detail,
                            const std::string& tag) {
        cases.push_back({name, s, "", against, {}, cliReport(programs.cli, type, detail, tag)});
    };
    if (!xxl)
        report("presenze-cli T1 summary, 12 months", 1, false, "c1");
    report("presenze-cli T1 detail, 12 months", 1, true, "c2");
    report("presenze-cli T2 detail (presences), 12 months", 2, true, "c3");
    if (!xxl)
        report("presenze-cli T2 totals, 12 months", 2, false, "c4");
    cases.push_back({"12 month sums by one sqlite3 process", s, "floor", {}, {}, floorQueries});
    if (const std::string missing = duckDbMissing(programs); !missing.empty()) {
        std::cerr << s << ": DuckDB escluso: " << missing << "\n";
        return cases;
    }
    BenchCase load{"DuckDB: load of the two tables (CSV)", s, "", {}, exportForDuckDb, {}};
    load.timed = duckDbTime(programs.duckdb, "load");
    cases.push_back(std::move(load));
    BenchCase query{"DuckDB: month tally, 12 queries", s, "DuckDB", {}, exportForDuckDb, {}};
    query.timed = duckDbTime(programs.duckdb, "query");
    cases.push_back(std::move(query));
    return cases;
}

std::vector<BenchCase> accessYearCases(const std::string& size, const Programs& programs)
{
    std::vector<BenchCase> cases;
    const fs::path cli = programs.cli;
    cases.push_back({"presenze-cli T1 detail, 12 months, Access",
                     size,
                     "",
                     {"mdb-export"},
                     {},
                     [cli](const fs::path& data) {
                         // The Access copies are made anew, as on a station's first
                         // report of the day.
                         const FreshJetCache cache;
                         run(cli, {"report", "--type", "1", "--from", "01/2024", "--to", "12/2024",
                                   "--kind", "all", "--detail", "--data-dir", data.string(),
                                   "--station", "a1", "--now", "08/12/2025 14:00"});
                     }});
    cases.push_back({"mdb-export of the two booking tables",
                     size,
                     "mdb-export",
                     {},
                     {},
                     [](const fs::path& data) {
                         exportBookingTable(data, schema::kRoomsFile, schema::kRooms);
                         exportBookingTable(data, schema::kHeadersFile, schema::kHeaders);
                     }});
    return cases;
}

} // namespace presenze::bench
