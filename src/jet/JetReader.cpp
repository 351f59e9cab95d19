#include "jet/JetReader.h"

#include "data/Currency.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"
#include "jet/JetValues.h"

#include <cstdint>
#include <cstdlib>
#include <mdbtools.h>
#include <memory>
#include <new>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {
namespace {
namespace fs = std::filesystem;

// The reason a file cannot be converted (UTF-8, for the helper's stderr).
class JetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --- libmdb handles ---------------------------------------------------------

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
using MdbPtr = std::unique_ptr<MdbHandle, MdbCloser>;

struct TableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableFreer>;

// Row offsets on a data page carry two flags in their top bits.
constexpr int kRowDeleted = 0x4000;
constexpr int kRowOffsetMask = 0x1fff;
// Length word of a memo or OLE value: where its bytes lie.
constexpr std::uint32_t kLvalInline = 0x80000000u;
constexpr std::uint32_t kLvalSinglePage = 0x40000000u;
constexpr std::uint32_t kLvalFlags = 0xff000000u;

// --- SQLite output ------------------------------------------------------------

class Output {
public:
    explicit Output(const fs::path& file)
    {
        std::error_code ec;
        fs::remove(file, ec);
        if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            fail("impossibile creare la copia " + file.string());
        // A scratch file renamed into place by the caller: no journal, no sync.
        exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE; "
             "PRAGMA cache_size=-16384; BEGIN");
    }
    ~Output() { sqlite3_close_v2(m_db); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void exec(const std::string& sql)
    {
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("errore di scrittura della copia");
    }
    sqlite3_stmt* prepare(const std::string& sql)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                               SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK)
            fail("errore di scrittura della copia");
        return st;
    }
    void commit()
    {
        exec("COMMIT");
        if (sqlite3_close(m_db) != SQLITE_OK)
            fail("errore di scrittura della copia");
        m_db = nullptr;
    }
    [[noreturn]] void fail(const std::string& what) const
    {
        throw JetError(
            what + ": " +
            cp1252ToUtf8(m_db ? sqliteErrorText(sqlite3_errcode(m_db)) : "memoria esaurita"));
    }

private:
    sqlite3* m_db = nullptr;
};

struct StatementFinalizer {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

std::string quoted(std::string_view name)
{
    std::string text = "\"";
    for (char c : name) {
        text += c;
        if (c == '"')
            text += '"';
    }
    return text + '"';
}

// --- column kinds -------------------------------------------------------------

// The Access type of a column as _jet_columns names it.
std::string_view accessTypeName(int type)
{
    switch (type) {
    case MDB_BOOL:
        return "Boolean";
    case MDB_BYTE:
        return "Byte";
    case MDB_INT:
        return "Integer";
    case MDB_LONGINT:
        return "Long";
    case MDB_MONEY:
        return "Currency";
    case MDB_FLOAT:
        return "Single";
    case MDB_DOUBLE:
        return "Double";
    case MDB_DATETIME:
        return "DateTime";
    case MDB_BINARY:
        return "Binary";
    case MDB_TEXT:
        return "Text";
    case MDB_OLE:
        return "OLE";
    case MDB_MEMO:
        return "Memo";
    case MDB_REPID:
        return "Replication ID";
    case MDB_NUMERIC:
        return "Numeric";
    case MDB_COMPLEX:
        return "Complex";
    default:
        return "Unknown";
    }
}

// The declared SQLite type. Currency, decimals and dates carry no affinity so
// that their exact texts (and the raw day count of a date out of range) are
// kept as written.
std::string_view sqliteType(int type)
{
    switch (type) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX:
        return " INTEGER";
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return " REAL";
    case MDB_TEXT:
    case MDB_MEMO:
    case MDB_REPID:
        return " TEXT";
    case MDB_BINARY:
    case MDB_OLE:
        return " BLOB";
    default:
        return "";
    }
}

// Bytes a fixed-width value needs (0 for the variable-width types).
int fixedWidth(int type)
{
    switch (type) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_COMPLEX:
    case MDB_FLOAT:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_REPID:
        return 16;
    case MDB_NUMERIC:
        return 17;
    default:
        return 0;
    }
}

// --- one table ------------------------------------------------------------------

class TableCopier {
public:
    TableCopier(MdbHandle* mdb, MdbTableDef* table, std::uint32_t pageCount, Output& out)
        : m_mdb(mdb), m_table(table), m_pageCount(pageCount), m_out(out), m_fields(table->num_cols),
          m_text(table->num_cols)
    {}

    void createTable(sqlite3_stmt* columnsInsert)
    {
        std::string create = "CREATE TABLE " + quoted(m_table->name) + " (";
        std::string insert = "INSERT INTO " + quoted(m_table->name) + " VALUES (";
        for (unsigned i = 0; i < m_table->num_cols; ++i) {
            const MdbColumn* col = column(i);
            if (i) {
                create += ", ";
                insert += ", ";
            }
            create += quoted(col->name);
            create += sqliteType(col->col_type);
            insert += '?';

            sqlite3_reset(columnsInsert);
            sqlite3_bind_text(columnsInsert, 1, m_table->name, -1, SQLITE_STATIC);
            sqlite3_bind_int(columnsInsert, 2, static_cast<int>(i) + 1);
            sqlite3_bind_text(columnsInsert, 3, col->name, -1, SQLITE_STATIC);
            const auto type = accessTypeName(col->col_type);
            sqlite3_bind_text(columnsInsert, 4, type.data(), static_cast<int>(type.size()),
                              SQLITE_STATIC);
            if (sqlite3_step(columnsInsert) != SQLITE_DONE)
                m_out.fail("errore di scrittura della copia");
        }
        m_out.exec(create + ")");
        m_insert.reset(m_out.prepare(insert + ")"));
    }

    // Copies the rows in the order of the table's data pages.
    void copyRows()
    {
        MdbFormatConstants* fmt = m_mdb->fmt;
        mdb_rewind_table(m_table);
        while (nextDataPage()) {
            const int rows = mdb_get_int16(m_mdb->pg_buf, fmt->row_count_offset);
            for (int row = 0; row < rows; ++row) {
                int start = 0;
                size_t size = 0;
                // Offsets the page cannot hold and deleted rows are no rows.
                if (mdb_find_row(m_mdb, row, &start, &size) != 0 || size == 0)
                    continue;
                if (start & kRowDeleted)
                    continue;
                start &= kRowOffsetMask;
                if (mdb_crack_row(m_table, start, size, m_fields.data()) < 0)
                    damaged("una riga");
                insertRow();
            }
        }
    }

private:
    MdbColumn* column(unsigned i) const
    {
        return static_cast<MdbColumn*>(g_ptr_array_index(m_table->columns, i));
    }

    [[noreturn]] void damaged(const std::string& what) const
    {
        throw JetError("file danneggiato: " + what + " della tabella \"" +
                       std::string(m_table->name) + "\" non si legge");
    }

    // The next data page of the table into mdb->pg_buf, following the
    // table's page map as libmdb does, but refusing pages past the end of the
    // file instead of ending the table early.
    bool nextDataPage()
    {
        const auto ownedBy = [this] {
            return m_mdb->pg_buf[0] == MDB_PAGE_DATA &&
                   static_cast<unsigned long>(mdb_get_int32(m_mdb->pg_buf, 4)) ==
                       m_table->entry->table_pg;
        };
        for (std::uint32_t guard = 0; guard <= m_pageCount; ++guard) {
            const gint32 next =
                mdb_map_find_next(m_mdb, m_table->usage_map, static_cast<unsigned>(m_table->map_sz),
                                  m_table->cur_phys_pg);
            if (next == 0)
                return false;
            if (next < 0)
                return scanForDataPage(ownedBy);
            if (static_cast<std::uint32_t>(next) >= m_pageCount)
                damaged("la mappa delle pagine");
            readPage(static_cast<std::uint32_t>(next));
            m_table->cur_phys_pg = static_cast<guint32>(next);
            if (ownedBy())
                return true;
        }
        damaged("la mappa delle pagine");
    }

    // A page map of a kind libmdb does not know: every page in turn.
    template <typename Owned> bool scanForDataPage(const Owned& ownedBy)
    {
        while (m_table->cur_phys_pg < m_pageCount) {
            readPage(m_table->cur_phys_pg++);
            if (ownedBy())
                return true;
        }
        return false;
    }

    void readPage(std::uint32_t page)
    {
        if (mdb_read_pg(m_mdb, page) != m_mdb->fmt->pg_size)
            damaged("una pagina");
    }

    void insertRow()
    {
        sqlite3_stmt* st = m_insert.get();
        sqlite3_reset(st);
        for (unsigned i = 0; i < m_table->num_cols; ++i)
            bindField(st, static_cast<int>(i) + 1, column(i), m_fields[i], m_text[i]);
        if (sqlite3_step(st) != SQLITE_DONE)
            m_out.fail("errore di scrittura della copia");
    }

    void bindField(sqlite3_stmt* st, int index, MdbColumn* col, const MdbField& field,
                   std::string& text)
    {
        const int type = col->col_type;
        // A Boolean lives in the null mask: a set bit is Yes.
        if (type == MDB_BOOL) {
            sqlite3_bind_int(st, index, field.is_null ? 0 : 1);
            return;
        }
        if (field.is_null) {
            sqlite3_bind_null(st, index);
            return;
        }
        const unsigned char* pg = m_mdb->pg_buf;
        const int start = field.start;
        const int size = field.siz;
        if (start < 0 || size < fixedWidth(type) || start + size > m_mdb->fmt->pg_size)
            damaged("il campo \"" + std::string(col->name) + "\"");
        switch (type) {
        case MDB_BYTE:
            sqlite3_bind_int(st, index, pg[start]);
            return;
        case MDB_INT:
            sqlite3_bind_int(st, index,
                             static_cast<std::int16_t>(mdb_get_int16(m_mdb->pg_buf, start)));
            return;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            sqlite3_bind_int(st, index,
                             static_cast<std::int32_t>(mdb_get_int32(m_mdb->pg_buf, start)));
            return;
        case MDB_FLOAT:
            sqlite3_bind_double(st, index, mdb_get_single(m_mdb->pg_buf, start));
            return;
        case MDB_DOUBLE:
            sqlite3_bind_double(st, index, mdb_get_double(m_mdb->pg_buf, start));
            return;
        case MDB_MONEY:
            text = Currency{littleEndian64(pg + start)}.toText();
            break;
        case MDB_DATETIME: {
            const double days = mdb_get_double(m_mdb->pg_buf, start);
            if (auto date = jetDateText(days)) {
                text = std::move(*date);
                break;
            }
            sqlite3_bind_double(st, index, days);
            return;
        }
        case MDB_REPID:
            text = jetGuidText(pg + start);
            break;
        case MDB_NUMERIC: {
            char* decimal = mdb_numeric_to_string(m_mdb, start, col->col_scale, col->col_prec);
            text = decimal ? decimal : "";
            g_free(decimal);
            break;
        }
        case MDB_TEXT:
            convertText(reinterpret_cast<const char*>(pg + start), static_cast<size_t>(size), text);
            break;
        case MDB_MEMO: {
            std::string bytes = longValue(col, start, size);
            convertText(bytes.data(), bytes.size(), text);
            break;
        }
        case MDB_OLE: {
            text = longValue(col, start, size);
            sqlite3_bind_blob64(st, index, text.data(), text.size(), SQLITE_STATIC);
            return;
        }
        default: // Binary and the types libmdb does not know: the bytes as stored
            text.assign(reinterpret_cast<const char*>(pg + start), static_cast<size_t>(size));
            sqlite3_bind_blob64(st, index, text.data(), text.size(), SQLITE_STATIC);
            return;
        }
        sqlite3_bind_text64(st, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }

    static std::int64_t littleEndian64(const unsigned char* p)
    {
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | p[i];
        return static_cast<std::int64_t>(v);
    }

    // Access text (Jet 3 code page, Jet 4 UCS-2 or compressed unicode) to
    // UTF-8 through libmdb's converter.
    void convertText(const char* bytes, size_t size, std::string& text)
    {
        // One source byte never needs more than three UTF-8 bytes.
        text.resize(size * 3 + 8);
        const int length = mdb_unicode2ascii(m_mdb, bytes, size, text.data(), text.size());
        text.resize(static_cast<size_t>(length < 0 ? 0 : length));
    }

    // The bytes of a memo or OLE value: inline in the row, in one row of a
    // long-value page, or in a chain of such rows.
    std::string longValue(const MdbColumn* col, int start, int size)
    {
        std::string bytes;
        if (size < MDB_MEMO_OVERHEAD)
            return bytes;
        const unsigned char* pg = m_mdb->pg_buf;
        const std::uint32_t word = static_cast<std::uint32_t>(mdb_get_int32(m_mdb->pg_buf, start));
        const std::uint32_t length = word & ~kLvalFlags;
        if (word & kLvalInline) {
            bytes.assign(reinterpret_cast<const char*>(pg + start + MDB_MEMO_OVERHEAD),
                         static_cast<size_t>(size - MDB_MEMO_OVERHEAD));
            return bytes;
        }
        std::int32_t pageRow = static_cast<std::int32_t>(mdb_get_int32(m_mdb->pg_buf, start + 4));
        const auto fetch = [&](void** buf, int* offset, size_t* len) {
            if ((static_cast<std::uint32_t>(pageRow) >> 8) >= m_pageCount ||
                mdb_find_pg_row(m_mdb, pageRow, buf, offset, len) != 0)
                damaged("il valore lungo del campo \"" + std::string(col->name) + "\"");
        };
        void* buf = nullptr;
        int offset = 0;
        size_t len = 0;
        if (word & kLvalSinglePage) {
            fetch(&buf, &offset, &len);
            bytes.assign(static_cast<const char*>(buf) + offset, len);
            return bytes;
        }
        if ((word & kLvalFlags) != 0)
            damaged("il valore lungo del campo \"" + std::string(col->name) + "\"");
        // A chain of pieces, each starting with the page and row of the next.
        bytes.reserve(length);
        for (std::uint32_t pieces = 0; pageRow != 0; ++pieces) {
            if (pieces > m_pageCount)
                damaged("il valore lungo del campo \"" + std::string(col->name) + "\"");
            fetch(&buf, &offset, &len);
            if (len < 4 || bytes.size() + (len - 4) > length)
                break;
            bytes.append(static_cast<const char*>(buf) + offset + 4, len - 4);
            pageRow = static_cast<std::int32_t>(mdb_get_int32(buf, offset));
        }
        return bytes;
    }

    MdbHandle* m_mdb;
    MdbTableDef* m_table;
    std::uint32_t m_pageCount;
    Output& m_out;
    std::vector<MdbField> m_fields;
    std::vector<std::string> m_text; // one buffer per column, bound as static
    StatementPtr m_insert;
};

// --- the file -------------------------------------------------------------------

std::uint32_t pageCount(const fs::path& file, const MdbHandle* mdb)
{
    std::error_code ec;
    const auto bytes = fs::file_size(file, ec);
    const auto pageSize = static_cast<std::uintmax_t>(mdb->fmt->pg_size);
    if (ec)
        throw JetError("il file non si legge: " + cp1252ToUtf8(systemErrorText(ec)));
    if (bytes % pageSize != 0)
        throw JetError("il file \xC3\xA8 troncato o danneggiato");
    return static_cast<std::uint32_t>(bytes / pageSize);
}

// Table pages referred to by the catalog must lie inside the file: libmdb
// would otherwise end the catalog early and lose tables without a word.
void checkCatalog(MdbHandle* mdb, std::uint32_t pages)
{
    bool hasObjects = false;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        const auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->table_pg >= pages)
            throw JetError("il file \xC3\xA8 troncato o danneggiato");
        hasObjects = hasObjects || std::string_view(entry->object_name) == "MSysObjects";
    }
    if (!hasObjects)
        throw JetError("il catalogo delle tabelle non si legge");
}

void copyTable(MdbCatalogEntry* entry, std::uint32_t pages, Output& out,
               sqlite3_stmt* columnsInsert)
{
    const TablePtr table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get()))
        throw JetError(std::string("file danneggiato: la tabella \"") + entry->object_name +
                       "\" non si legge");
    if (table->num_cols == 0)
        return;
    TableCopier copier(entry->mdb, table.get(), pages, out);
    copier.createTable(columnsInsert);
    copier.copyRows();
}

} // namespace

std::string convertJetToSqlite(const fs::path& accessFile, const fs::path& output)
{
    // Text comes out as UTF-8: Jet 4 text from UCS-2, Jet 3 text from the
    // code page the file names (Windows-1252 when it names none). Settings
    // of the user's environment must not change that.
    ::setenv("MDBICONV", "UTF-8", 1);
    ::unsetenv("MDB_JET3_CHARSET");
    ::unsetenv("MDBOPTS");
    try {
        const fs::path source = fs::absolute(accessFile);
        const MdbPtr mdb(mdb_open(source.c_str(), MDB_NOFLAGS));
        if (!mdb)
            throw JetError("non \xC3\xA8 un file Access leggibile");
        if (mdb->iconv_in == reinterpret_cast<iconv_t>(-1))
            throw JetError("codifica dei testi non disponibile");
        const std::uint32_t pages = pageCount(source, mdb.get());
        if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
            throw JetError("il catalogo delle tabelle non si legge");
        checkCatalog(mdb.get(), pages);

        Output out(output);
        out.exec("CREATE TABLE _jet_columns (tbl TEXT, ord INTEGER, name TEXT, type TEXT)");
        {
            const StatementPtr columns(out.prepare("INSERT INTO _jet_columns VALUES (?,?,?,?)"));
            for (unsigned i = 0; i < mdb->num_catalog; ++i) {
                auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
                if (mdb_is_user_table(entry))
                    copyTable(entry, pages, out, columns.get());
            }
        }
        out.commit();
        return {};
    } catch (const std::exception& e) {
        std::error_code ec;
        fs::remove(output, ec);
        // The reader's own words; never a library's English text.
        if (dynamic_cast<const JetError*>(&e))
            return e.what();
        if (dynamic_cast<const std::bad_alloc*>(&e))
            return "memoria insufficiente per leggere il file";
        return "errore imprevisto nella lettura del file";
    }
}

} // namespace presenze
