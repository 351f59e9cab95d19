#pragma once
// The working database: a station's private scratch database,
// "Vallomir" + station tag + ".mdb" in the data folder, whose one table
// Presenze holds the daily tally of one month for the Type 1 report.
//
// Row kinds of Presenze (a row is found by hotel, name and Contatore):
//   Contatore 1..31   daily row of day n of the month window,
//   Contatore 41..71  second daily row: the same values as day Contatore - 40,
//   Contatore 32      period row (the whole window), and per hotel the
//                     nationality row named "NAZIONE".

#include "data/DataFolder.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace presenze {

class Database;
class Statement;

// "Vallomir" + tag + ".mdb".
std::string workingDatabaseName(std::string_view stationTag);

// The sixteen fields of Presenze, in order.
inline constexpr const char* kPresenzeFields[16] = {
    "NumeroHotel", "NomeDitta",    "Contatore", "Presenze",    "PresOpz", "Camere",
    "Opzioni",     "Libere",       "Gruppi",    "Individuali", "TourOp",  "AccSpec",
    "GruppiC",     "IndividualiC", "TourOpC",   "AccSpecC"};

// The thirteen counters of a row (fields 4 to 16), as indices.
enum PresenzeField : int {
    kPresenze,
    kPresOpz,
    kCamere,
    kOpzioni,
    kLibere,
    kGruppi,
    kIndividuali,
    kTourOp,
    kAccSpec,
    kGruppiC,
    kIndividualiC,
    kTourOpC,
    kAccSpecC,
    kPresenzeCounterCount
};
using PresenzeCounters = std::array<std::int64_t, kPresenzeCounterCount>;

struct PresenzeRow {
    std::int64_t numeroHotel = 0;
    std::string_view nomeDitta; // Windows-1252
    int contatore = 0;
    PresenzeCounters values{};
};

// Creates the working database with its empty table Presenze, unless a file of
// that name exists (then nothing is checked or changed).
void CreaArchivioLocale(const DataFolder& folder, std::string_view stationTag);
// The same for a file named by its path; an empty file (a temporary file just
// made) is taken as absent.
void CreaArchivioLocale(const std::filesystem::path& file);

// Replaces the working database by a new one whose rows `fill` writes, all in
// one transaction. The new file is built beside the old one under a
// temporary name and renamed over it only when complete: a failure leaves the
// previous working database as it was. Returns the path of the working
// database.
std::filesystem::path rebuildWorkingDatabase(const DataFolder& folder, std::string_view stationTag,
                                             const std::function<void(const Database&)>& fill);

// Appends rows to Presenze, several rows per statement.
class PresenzeWriter {
public:
    explicit PresenzeWriter(const Database& db);
    ~PresenzeWriter();
    PresenzeWriter(const PresenzeWriter&) = delete;
    PresenzeWriter& operator=(const PresenzeWriter&) = delete;

    // The name is Windows-1252; `utf8Name`, when given, is the same name
    // already converted (callers that write a name many times convert once).
    void add(const PresenzeRow& row, std::string_view utf8Name = {});
    // Writes the rows still pending; the destructor does not.
    void finish();

private:
    void flush(Statement& st, int first, int rows);

    const Database& m_db;
    std::unique_ptr<Statement> m_batch;
    std::unique_ptr<Statement> m_single;
    struct Pending;
    std::unique_ptr<Pending> m_pending;
};

} // namespace presenze
