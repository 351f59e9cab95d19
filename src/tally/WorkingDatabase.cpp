#include "tally/WorkingDatabase.h"

#include "data/DataError.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
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

// A unique empty file beside the target; removed again unless released.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& target)
    {
        std::string pattern =
            (target.parent_path() / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw DataError("Impossibile creare il database di lavoro: " +
                                utf8ToCp1252(std::strerror(errno)),
                            displayName(target));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        ::close(fd);
        m_path = pattern;
    }
    ~TemporaryFile()
    {
        if (!m_path.empty()) {
            std::error_code ec;
            fs::remove(m_path, ec);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const fs::path& path() const { return m_path; }
    void release() { m_path.clear(); }

private:
    fs::path m_path;
};

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
    if (fs::exists(file, ec) && fs::file_size(file, ec) > 0)
        return;
    const Database db(file, Database::Mode::Create);
    // A scratch database is never worth a wait for the disk.
    db.exec("PRAGMA synchronous = OFF");
    createPresenzeTable(db);
}

fs::path rebuildWorkingDatabase(const DataFolder& folder, std::string_view stationTag,
                                const std::function<void(const Database&)>& fill)
{
    const fs::path target = folder.target(workingDatabaseName(stationTag));
    TemporaryFile temp(target);
    {
        const Database db(temp.path(), Database::Mode::Create);
        // A scratch file that is renamed into place only once complete needs
        // neither a rollback journal nor writes forced to the disk.
        db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
                "PRAGMA locking_mode = EXCLUSIVE");
        Transaction transaction(db);
        createPresenzeTable(db);
        fill(db);
        transaction.commit();
    }
    std::error_code ec;
    fs::rename(temp.path(), target, ec);
    if (ec)
        throw DataError("Impossibile sostituire il database di lavoro (" +
                            utf8ToCp1252(ec.message()) + ")",
                        displayName(target));
    temp.release();
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
            if (f == 1)
                st.bindUtf8(index, row.name);
            else
                st.bind(index, row.numbers[f]);
        }
    }
    st.step();
    st.reset();
}

} // namespace presenze
