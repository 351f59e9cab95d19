#include "tally/WorkingDatabase.h"

#include "data/AtomicFile.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"

#include <vector>

namespace presenze {
namespace fs = std::filesystem;
namespace {

constexpr int kFieldCount = 16;
constexpr int kBatchRows = 60; // 960 parameters: within every SQLite's limit

std::string insertSql(int rows)
{
    std::string sql = "INSERT INTO Presenze VALUES ";
    for (int r = 0; r < rows; ++r) {
        sql += r ? ",(" : "(";
        for (int f = 0; f < kFieldCount; ++f)
            sql += f ? ",?" : "?";
        sql += ')';
    }
    return sql;
}

// The empty table Presenze, its sixteen fields in order.
void createPresenzeTable(const Database& db)
{
    db.exec("CREATE TABLE Presenze ("
            "NumeroHotel SMALLINT, NomeDitta VARCHAR(100), Contatore SMALLINT, "
            "Presenze INTEGER, PresOpz INTEGER, Camere INTEGER, Opzioni INTEGER, "
            "Libere INTEGER, Gruppi INTEGER, Individuali INTEGER, TourOp INTEGER, "
            "AccSpec INTEGER, GruppiC INTEGER, IndividualiC INTEGER, TourOpC INTEGER, "
            "AccSpecC INTEGER)");
}

} // namespace

std::string workingDatabaseName(std::string_view stationTag)
{
    return "Vallomir" + std::string(stationTag) + ".mdb";
}

void CreaArchivioLocale(const DataFolder& folder, std::string_view stationTag)
{
    const std::string name = workingDatabaseName(stationTag);
    if (folder.exists(name))
        return;
    CreaArchivioLocale(folder.target(name));
}

void CreaArchivioLocale(const fs::path& file)
{
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(file, ec)) && fs::file_size(file, ec) > 0)
        return;
    // Made beside its place and renamed there: a link planted under its name
    // is replaced, never written through.
    AtomicFile made(file);
    {
        const Database db(made.path(), Database::Mode::Create);
        // A scratch database is never worth a wait for the disk.
        db.exec("PRAGMA synchronous = OFF");
        createPresenzeTable(db);
    }
    made.commit();
}

fs::path rebuildWorkingDatabase(const DataFolder& folder, std::string_view stationTag,
                                const std::function<void(const Database&)>& fill)
{
    const fs::path target = folder.target(workingDatabaseName(stationTag));
    AtomicFile file(target);
    {
        const Database db(file.path(), Database::Mode::Create);
        // A scratch file that is renamed into place only once complete needs
        // neither a rollback journal nor writes forced to the disk one by one.
        db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                "PRAGMA locking_mode = EXCLUSIVE");
        Transaction transaction(db);
        createPresenzeTable(db);
        fill(db);
        transaction.commit();
    }
    file.commit();
    return target;
}

struct PresenzeWriter::Pending {
    struct Row {
        std::array<std::int64_t, kFieldCount> numbers{};
        std::string name; // UTF-8
    };
    std::array<Row, kBatchRows> rows;
    int count = 0;
};

PresenzeWriter::PresenzeWriter(const Database& db)
    : m_db(db), m_batch(std::make_unique<Statement>(db, insertSql(kBatchRows))),
      m_single(std::make_unique<Statement>(db, insertSql(1))),
      m_pending(std::make_unique<Pending>())
{}

PresenzeWriter::~PresenzeWriter() = default;

void PresenzeWriter::add(const PresenzeRow& row, std::string_view utf8Name)
{
    Pending::Row& r = m_pending->rows[m_pending->count];
    r.numbers[0] = row.numeroHotel;
    r.numbers[2] = row.contatore;
    for (int f = 0; f < kPresenzeCounterCount; ++f)
        r.numbers[3 + f] = row.values[f];
    if (utf8Name.data())
        r.name.assign(utf8Name);
    else
        r.name = cp1252ToUtf8(row.nomeDitta);
    if (++m_pending->count == kBatchRows) {
        flush(*m_batch, 0, kBatchRows);
        m_pending->count = 0;
    }
}

void PresenzeWriter::finish()
{
    const int count = m_pending->count;
    for (int i = 0; i < count; ++i)
        flush(*m_single, i, 1);
    m_pending->count = 0;
}

void PresenzeWriter::flush(Statement& st, int first, int rows)
{
    int index = 1;
    for (int r = first; r < first + rows; ++r) {
        const Pending::Row& row = m_pending->rows[r];
        for (int f = 0; f < kFieldCount; ++f, ++index) {
            // The pending rows stay as they are until the statement has run.
            if (f == 1)
                st.bindUtf8Kept(index, row.name);
            else
                st.bind(index, row.numbers[f]);
        }
    }
    st.step();
    st.reset();
}

} // namespace presenze
