// Data files that are missing, incomplete or damaged. Every case ends either
// in a clear Italian message that names the file (and the table or field)
// with exit status 1 and the previous report file left in place, or in a
// correct report; never in a crash, a hang or a report that lacks data.

#include "app/BadInput.h"
#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Records.h"
#include "data/Sqlite.h"
#include "demo/SeededRandom.h"
#include "output/PrintConfig.h"

#include <gtest/gtest.h>

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
