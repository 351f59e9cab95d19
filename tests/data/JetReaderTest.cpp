// The Access reader against real Access files: every table of the Jet
// fixtures must read back exactly what mdbtools' mdb-export prints for it,
// and every hotel data file written as Access must read back equal to its
// SQLite twin.

#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/JetCache.h"
#include "data/Records.h"
#include "data/Sqlite.h"
#include "support/MdbExportText.h"
#include "support/Sha256.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <sqlite3.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

struct ExportedTable {
    const char* file;
    const char* table; // UTF-8
    int rows;
    const char* sha256; // of mdb-export -T '%Y-%m-%d %H:%M:%S' -b strip -q '"' -d ','
};

// From the fixtures' manifest, tables in catalog order.
const ExportedTable kExported[] = {
    {"jet3_nwind.mdb", "Order Details", 2155,
     "ddfff13ce750d372342c01e4779e1a27b5d6d8f027ab6269cc8ed2b81465f1b9"},
    {"jet3_nwind.mdb", "Orders", 830,
     "289e89c8ac11f04e4c93dc84c2ad0e30090df043d217163ad8c799af00258f38"},
    {"jet3_nwind.mdb", "Products", 77,
     "c80422dd3a647efab69b5886fef3c5d32988c76ad3f2606eb6a5ac99c2e22cb9"},
    {"jet3_nwind.mdb", "Shippers", 3,
     "d98ba142564dde7f7352c930428f81e9998962b8837083b4b979b4cdec215c0d"},
    {"jet3_nwind.mdb", "Categories", 8,
     "df2fa88025e2d03eddf50c00adcbbd515eb83450fb8d1ce82c5b5b7b3955ca99"},
    {"jet3_nwind.mdb", "Customers", 91,
     "5fdc5d9f31f87544fc630fcf6b02a404e3d5ce3cb32ecbffc4d05d7b6205d4b5"},
    {"jet3_nwind.mdb", "Employees", 9,
     "18723fb2aee5a7da80a2507ab21b20b8b41f98d36eec79bc7496826149d99b0c"},
    {"jet3_nwind.mdb", "Suppliers", 29,
     "87f5694e5764d5eba387267e76b00d1cbbb73c4a5b850581674bb4848a8c6238"},
    {"jet3_nwind.mdb", "Ums\xC3\xA4tze", 830,
     "289e89c8ac11f04e4c93dc84c2ad0e30090df043d217163ad8c799af00258f38"},
    {"jet4_types.mdb", "Table1", 2,
     "9e76e36f0d5de8ef1876a0006c194999ea1c3abc3e3b503b6cce9ee4240d3eb5"},
    {"jet4_types.mdb", "Table2", 0,
     "9f5ec25a1759c2355acc57f7b6eb6c0261d890eb90f126627539dff7099bf6dc"},
    {"jet4_types.mdb", "Table3", 0,
     "5be08c9684a1d25efcee09318204824278b08bbfb4aef973ffefd0b9d7478313"},
    {"jet4_types.mdb", "Table4", 0,
     "6896c0688577d869a856b5dfec5811ed47d044824bec5b36edfbba083f248cc3"},
    {"jet4_unicode.mdb", "Table", 8,
     "fec64ded52648e59bd881bc3aacb99453477e232605495ef061ae5daae32c90f"},
    {"jet4_dates.mdb", "DateTest", 6,
     "54bb110f44f982d4b1060a460fa437674c803c055bc478ed455119a092845af5"},
    {"ace12_assets.accdb", "Asset Items", 65,
     "434ed2a8dccc363e6c7eb084ee07234c3d5026790399610a30b0963838710c43"},
};

// Access fixtures copied into a temporary folder, with a private cache.
class JetFixtures : public ::testing::Test {
protected:
    void SetUp() override { test::copyJetSamples(m_data.path()); }
    fs::path copyOf(std::string_view file) { return jetCopy(m_data / file); }
    bool have(std::string_view file) { return fs::exists(m_data / file); }

    test::TempDir m_data;
    test::TempDir m_cache;
    test::ScopedEnv m_cacheEnv{"PRESENZE_CACHE_DIR", m_cache.path().c_str()};
};

std::int64_t rowCount(const fs::path& copy, const std::string& table)
{
    const Database db(copy, Database::Mode::ReadOnly);
    std::string sql = "SELECT count(*) FROM \"" + table + "\"";
    Statement st = db.prepare(sql);
    st.step();
    return st.integer(0);
}

// One value of a row as SQLite holds it: its type and its bytes.
struct RawValue {
    int type = SQLITE_NULL;
    std::string text;
    std::int64_t integer = 0;
    double real = 0;
};

std::vector<std::vector<RawValue>> rawRows(const fs::path& file, const std::string& table,
                                           std::vector<std::string>& columns)
{
    const Database db(file, Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT * FROM \"" + table + "\" ORDER BY rowid");
    columns.clear();
    for (int i = 0; i < st.columnCount(); ++i)
        columns.push_back(st.columnName(i));
    std::vector<std::vector<RawValue>> rows;
    while (st.step()) {
        auto& row = rows.emplace_back();
        for (int i = 0; i < st.columnCount(); ++i) {
            RawValue v;
            v.type = st.type(i);
            if (v.type == SQLITE_INTEGER)
                v.integer = st.integer(i);
            else if (v.type == SQLITE_FLOAT)
                v.real = st.real(i);
            else if (v.type != SQLITE_NULL)
                v.text = std::string(st.utf8(i));
            row.push_back(v);
        }
    }
    return rows;
}

// A value of the SQLite twin against the same value read from Access: the
// same type and bytes, except that currency comes as exact decimal text
// where the twin keeps a REAL.
void expectSameValue(const RawValue& twin, const RawValue& access, const std::string& where)
{
    SCOPED_TRACE(where);
    if (twin.type == SQLITE_FLOAT && access.type == SQLITE_TEXT) {
        Currency parsed;
        ASSERT_TRUE(Currency::parse(access.text, parsed)) << access.text;
        EXPECT_EQ(parsed.units, Currency::fromDouble(twin.real).units);
        return;
    }
    ASSERT_EQ(twin.type, access.type);
    EXPECT_EQ(twin.integer, access.integer);
    EXPECT_EQ(twin.real, access.real);
    EXPECT_EQ(twin.text, access.text);
}

std::vector<std::string> tablesOf(const fs::path& file)
{
    const Database db(file, Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' "
                              "AND name <> '_jet_columns' ORDER BY rowid");
    std::vector<std::string> names;
    while (st.step())
        names.push_back(st.text(0));
    return names;
}

std::string describe(const HotelRecord& r)
{
    return std::to_string(r.numero) + "|" + std::to_string(r.numeroHotel) + "|" + r.ragioneSociale +
           "|" + r.codiceAssistenza;
}
std::string describe(const RoomTypeRecord& r)
{
    return std::to_string(r.numeroHotel) + "|" + r.tipologia + "|" + std::to_string(r.quantita);
}
std::string describe(const CompanyRecord& r)
{
    return std::to_string(r.numeroHotel) + "|" + std::to_string(r.codice) + "|" + r.ragioneSociale +
           "|" + r.localita;
}
std::string describe(const BookingHeader& r)
{
    return std::to_string(r.numeroPrenotazione) + "|" + std::to_string(r.numeroHotel) + "|" +
           r.tipoPrenotazione + "|" + r.ditta + "|" +
           (r.codiceDitta ? std::to_string(*r.codiceDitta) : "null") + "|" + r.nazione + "|" +
           r.commento + "|" + std::to_string(r.order);
}
std::string describe(const RoomLine& r)
{
    return std::to_string(r.numeroPrenotazione) + "|" + std::to_string(r.numeroHotel) + "|" +
           r.tipoPrenotazione + "|" + r.dataArrivo + "|" + r.dataPartenza + "|" +
           std::to_string(r.numeroPersone) + "|" + std::to_string(r.quantitaCamere) + "|" + r.note +
           "|" + std::to_string(r.giorniTariffa) + "|" + r.prezzo.toText() + "|" +
           std::to_string(r.order);
}

template <typename Record> std::vector<std::string> described(const std::vector<Record>& records)
{
    std::vector<std::string> lines;
    for (const auto& r : records)
        lines.push_back(describe(r));
    return lines;
}

// Everything the program reads from a data folder, one line per record.
std::map<std::string, std::vector<std::string>> readEverything(const fs::path& dir)
{
    const DataFolder folder(dir);
    std::map<std::string, std::vector<std::string>> read;
    read["registry"] = described(readHotelRegistry(folder));
    read["room types"] = described(readRoomTypes(folder));
    read["companies"] = described(readCompanies(folder));
    for (const std::string season : {"", "2023"}) {
        read["headers " + season] = described(readBookingHeaders(folder, season));
        std::vector<std::string> warnings;
        read["rooms " + season] =
            described(readRoomLines(folder, season, "00000000", "99999999",
                                    [&](std::string_view w) { warnings.emplace_back(w); }));
        read["warnings " + season] = warnings;
    }
    return read;
}

// The Jet 3 sample: currency as exact text, dates, nulls, its code page, OLE.
void expectNwindValues(const fs::path& copy)
{
    const Database nwind(copy, Database::Mode::ReadOnly);
    Statement order = nwind.prepare("SELECT OrderID, OrderDate, Freight, typeof(Freight), "
                                    "ShipRegion, ShippedDate FROM Orders ORDER BY rowid");
    ASSERT_TRUE(order.step());
    EXPECT_EQ(order.integer(0), 10330);
    EXPECT_EQ(order.utf8(1), "1994-11-16 00:00:00");
    EXPECT_EQ(order.utf8(2), "12.7500");
    EXPECT_EQ(order.utf8(3), "text");
    EXPECT_EQ(order.utf8(4), "Lara");
    Statement nulls = nwind.prepare("SELECT count(*) FROM Orders WHERE ShippedDate IS NULL");
    nulls.step();
    EXPECT_EQ(nulls.integer(0), 21);
    // Jet 3 text in its code page, Windows-1252, comes out as UTF-8.
    Statement city = nwind.prepare("SELECT City FROM Customers WHERE CustomerID = 'ANATR'");
    ASSERT_TRUE(city.step());
    EXPECT_EQ(city.utf8(0), "M\xC3\xA9xico D.F.");
    Statement picture = nwind.prepare("SELECT typeof(Picture), length(Picture) > 1000 "
                                      "FROM Categories ORDER BY rowid");
    ASSERT_TRUE(picture.step());
    EXPECT_EQ(picture.utf8(0), "blob");
    EXPECT_EQ(picture.integer(1), 1);
}

} // namespace

TEST_F(JetFixtures, EveryTableReadsBackAsMdbExportPrintsIt)
{
    std::map<std::string, std::vector<std::string>> expectedTables;
    for (const auto& t : kExported)
        expectedTables[t.file].push_back(t.table);
    for (const auto& [file, tables] : expectedTables) {
        SCOPED_TRACE(file);
        if (!have(file)) {
            std::cout << "[ SKIPPED  ] " << test::missingJetSample(file) << '\n';
            continue;
        }
        EXPECT_EQ(test::copiedTables(copyOf(file)), tables);
    }
    for (const auto& t : kExported) {
        if (!have(t.file))
            continue;
        SCOPED_TRACE(std::string(t.file) + " / " + t.table);
        const fs::path copy = copyOf(t.file);
        EXPECT_EQ(rowCount(copy, t.table), t.rows);
        EXPECT_EQ(test::sha256Hex(test::mdbExportText(copy, t.table)), t.sha256);
    }
}

TEST_F(JetFixtures, KeepsTypesNullsAndTextsAsAccessHasThem)
{
    if (have("jet3_nwind.mdb"))
        expectNwindValues(copyOf("jet3_nwind.mdb"));
    else
        std::cout << "[ SKIPPED  ] " << test::missingJetSample("jet3_nwind.mdb") << '\n';

    const Database types(copyOf("jet4_types.mdb"), Database::Mode::ReadOnly);
    Statement row = types.prepare("SELECT typeof(C), typeof(F), typeof(H), I, G FROM Table1 "
                                  "ORDER BY rowid");
    ASSERT_TRUE(row.step());
    EXPECT_EQ(row.utf8(0), "integer");
    EXPECT_EQ(row.utf8(1), "real");
    EXPECT_EQ(row.utf8(2), "text");
    EXPECT_EQ(row.integer(3), 1);
    EXPECT_EQ(row.utf8(4), "1974-09-21 00:00:00");
    Statement kinds = types.prepare("SELECT group_concat(type, ',') FROM "
                                    "(SELECT type FROM _jet_columns WHERE tbl = 'Table1' "
                                    "ORDER BY ord)");
    kinds.step();
    EXPECT_EQ(kinds.utf8(0), "Text,Text,Byte,Integer,Long,Double,DateTime,Currency,Boolean");

    // Jet 4 compressed unicode, control characters kept.
    const Database unicode(copyOf("jet4_unicode.mdb"), Database::Mode::ReadOnly);
    Statement text =
        unicode.prepare("SELECT Unicode FROM \"Table\" WHERE ID IN (3, 8) ORDER BY ID");
    ASSERT_TRUE(text.step());
    EXPECT_EQ(text.utf8(0), "\xD0\x9C\xD0\xB8\xD1\x80");
    ASSERT_TRUE(text.step());
    EXPECT_EQ(text.utf8(0).substr(0, 16),
              "\x01\x02\x03\x04\x05\x06\x07\x08\t\n\x0B\x0C\r\x0E\x0F\x10");
}

TEST_F(JetFixtures, DatesOutsideLibmdbsRangeKeepTheirRealDay)
{
    if (!have("jet4_dates.mdb"))
        GTEST_SKIP() << test::missingJetSample("jet4_dates.mdb");
    // mdb-export prints these as "1900-01-00 00:00:00"; the copy keeps them.
    const Database db(copyOf("jet4_dates.mdb"), Database::Mode::ReadOnly);
    Statement st = db.prepare("SELECT DateTimeCol, DateCol, TimeCol, LongTextCol FROM DateTest "
                              "WHERE IDCol IN (2, 3, 4, 6) ORDER BY IDCol");
    const std::vector<std::vector<std::string>> expected = {
        {"9999-01-01 00:00:00", "9999-01-01 00:00:00", "9999-01-01 00:00:00"},
        {"1898-01-01 00:00:00", "1899-01-01 00:00:00", "1900-01-01 00:00:00"},
        {"0632-01-01 00:00:00", "0633-01-01 00:00:00", "0634-01-01 00:00:00"},
        {"2021-12-02 00:00:00", "2021-12-02 00:00:00", "2021-12-02 00:00:00"},
    };
    for (const auto& dates : expected) {
        ASSERT_TRUE(st.step());
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(st.utf8(i), dates[i]);
    }
    EXPECT_EQ(st.utf8(3), "New line\r\nin field");
}

TEST(JetReader, HotelFilesReadBackEqualToTheirSqliteTwins)
{
    test::TempDir cache;
    test::ScopedEnv cacheEnv("PRESENZE_CACHE_DIR", cache.path().c_str());
    for (const auto& [sqliteSet, accessSet] :
         {std::pair{"hotel", "hotel-jet"}, std::pair{"hotel-edge", "hotel-edge-jet"}}) {
        SCOPED_TRACE(accessSet);
        test::TempDir twins, access;
        test::copyFixture(sqliteSet, twins.path());
        test::copyFixture(accessSet, access.path());

        // Raw values, table by table, row by row.
        int files = 0;
        for (const auto& entry : fs::directory_iterator(twins.path())) {
            if (entry.path().extension() != ".mdb")
                continue;
            ++files;
            const fs::path accessFile = access / entry.path().filename().string();
            ASSERT_EQ(detectFormat(accessFile), FileFormat::Jet);
            const fs::path copy = jetCopy(accessFile);
            ASSERT_EQ(tablesOf(copy), tablesOf(entry.path()));
            for (const auto& table : tablesOf(entry.path())) {
                const std::string where = entry.path().filename().string() + " / " + table;
                std::vector<std::string> twinColumns, accessColumns;
                const auto twinRows = rawRows(entry.path(), table, twinColumns);
                const auto accessRows = rawRows(copy, table, accessColumns);
                EXPECT_EQ(twinColumns, accessColumns) << where;
                ASSERT_EQ(twinRows.size(), accessRows.size()) << where;
                for (std::size_t r = 0; r < twinRows.size(); ++r)
                    for (std::size_t c = 0; c < twinColumns.size(); ++c)
                        expectSameValue(twinRows[r][c], accessRows[r][c],
                                        where + " row " + std::to_string(r + 1) + " " +
                                            twinColumns[c]);
            }
        }
        EXPECT_EQ(files, 7);

        // The same records through the program's readers.
        const auto fromTwins = readEverything(twins.path());
        const auto fromAccess = readEverything(access.path());
        for (const auto& [what, lines] : fromTwins) {
            SCOPED_TRACE(what);
            EXPECT_EQ(fromAccess.at(what), lines);
        }
        EXPECT_GT(fromTwins.at("rooms ").size(), 100u);
    }
}
