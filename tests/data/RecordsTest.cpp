#include "data/Records.h"

#include "data/DataError.h"
#include "data/HotelFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

namespace {

const char* kRoomsSchema =
    "CREATE TABLE Camere_Prenotazione (NumeroPrenotazione INTEGER, NumeroHotel INTEGER, "
    "TipoPrenotazione TEXT, DataArrivo TEXT, DataPartenza TEXT, NumeroPersone INTEGER, "
    "\"Quantit\xC3\xA0"
    "Camere\" INTEGER, Note TEXT, GiorniTariffa INTEGER, Prezzo REAL);";

} // namespace

TEST(DataFolder, FindsNamesWithoutRegardToCase)
{
    test::TempDir dir;
    test::writeFile(dir / "TipiCamere.mdb", "x");
    const DataFolder folder(dir.path());
    ASSERT_TRUE(folder.find("TIPICAMERE.MDB"));
    EXPECT_EQ(folder.find("TIPICAMERE.MDB")->filename(), "TipiCamere.mdb");
    EXPECT_FALSE(folder.find("Contatori.mdb"));
    try {
        folder.locate("Contatori.mdb");
        FAIL();
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("Contatori.mdb"), std::string::npos);
    }
}

TEST(DataFolder, ANameOnDiskOutsideWindows1252AnswersToNoName)
{
    test::TempDir dir;
    test::writeFile(dir / "fd\xE2\x98\x83", "snowman"); // U+2603, no Windows-1252 byte
    test::writeFile(dir / "fd\xFF", "not UTF-8");
    test::writeFile(dir / "fd\xC3\xA9", "e acute");
    const DataFolder folder(dir.path());
    EXPECT_FALSE(folder.find("fd?"));
    EXPECT_EQ(folder.target("fd?"), dir / "fd?");
    EXPECT_EQ(folder.find("FD\xC9")->filename(), "fd\xC3\xA9");
    EXPECT_EQ(folder.namesEndingWith("\xE9"), std::vector<std::string>{"fd\xE9"});
    EXPECT_TRUE(folder.namesEndingWith("?").empty());
}

TEST(HotelFile, AnSqliteFileShorterThanItsHeaderSaysIsRefused)
{
    test::TempDir dir;
    test::runSql(dir / "ok.mdb", "CREATE TABLE t(a); INSERT INTO t VALUES (randomblob(9000));");
    const std::string bytes = test::readFile(dir / "ok.mdb");
    EXPECT_NO_THROW(openHotelFile(dir / "ok.mdb"));
    for (const std::size_t size : {bytes.size() - 4096, bytes.size() - 1, std::size_t(4096 + 100),
                                   std::size_t(100), std::size_t(20)}) {
        test::writeFile(dir / "cut.mdb", bytes.substr(0, size));
        try {
            openHotelFile(dir / "cut.mdb");
            ADD_FAILURE() << size;
        } catch (const DataError& e) {
            EXPECT_NE(std::string(e.what()).find("illeggibile"), std::string::npos) << e.what();
        }
    }
}

TEST(HotelFile, TellsFormatsApartAndRefusesWhatItCannotRead)
{
    test::TempDir dir;
    test::writeFile(dir / "empty.mdb", "");
    test::writeFile(dir / "junk.mdb", "this is not a database at all....");
    test::runSql(dir / "ok.mdb", "CREATE TABLE t(a);");
    EXPECT_EQ(detectFormat(dir / "empty.mdb"), FileFormat::Empty);
    EXPECT_EQ(detectFormat(dir / "junk.mdb"), FileFormat::Unknown);
    EXPECT_EQ(detectFormat(dir / "ok.mdb"), FileFormat::Sqlite);
    EXPECT_EQ(detectFormat(test::fixturesDir() / "jet" / "jet4_types.mdb"), FileFormat::Jet);
    if (const auto ace = test::jetSample("ace12_assets.accdb")) {
        EXPECT_EQ(detectFormat(*ace), FileFormat::Jet);
    }
    EXPECT_THROW(openHotelFile(dir / "empty.mdb"), DataError);
    EXPECT_THROW(openHotelFile(dir / "junk.mdb"), DataError);
    EXPECT_THROW(openHotelFile(dir / "missing.mdb"), DataError);
}

TEST(Records, ReadsRoomLinesOfTheWindowWithNullsAndBadDates)
{
    test::TempDir dir;
    test::runSql(dir / "Camere_Prenotazione.mdb",
                 std::string(kRoomsSchema) +
                     "INSERT INTO Camere_Prenotazione VALUES"
                     "(1,1,'C','20240201','20240205',2,1,'<GRP>',7,10.5),"
                     "(2,1,'C','20240230','20240305',2,1,NULL,NULL,NULL),"
                     "(3,1,'O','','20240305',2,1,NULL,0,NULL),"
                     "(4,1,'O','20240101','20240201',2,1,NULL,-2,NULL),"
                     "(NULL,1,'O','20240210','20240212',2,1,NULL,-2,NULL),"
                     "(6,2,NULL,'20240210','20240212',NULL,NULL,NULL,-2,'3.25');");
    test::ScriptedInteraction ui;
    std::vector<std::string> warnings;
    const auto lines = readRoomLines(DataFolder(dir.path()), "", "20240201", "20240303",
                                     [&](std::string_view w) { warnings.emplace_back(w); });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].numeroPrenotazione, 1);
    EXPECT_EQ(lines[0].note, "<GRP>");
    EXPECT_EQ(lines[0].giorniTariffa, 7);
    EXPECT_EQ(lines[0].prezzo.units, 105000);
    EXPECT_EQ(lines[1].numeroPrenotazione, 6);
    EXPECT_EQ(lines[1].tipoPrenotazione, "");
    EXPECT_EQ(lines[1].numeroPersone, 0);
    EXPECT_EQ(lines[1].giorniTariffa, 1);
    EXPECT_EQ(lines[1].prezzo.units, 32500);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("20240230"), std::string::npos);
}

// Dates of any kind (the date columns hold values of their own kinds here):
// a line is read when its dates, as text, lie about the window, or when a
// date that is no YYYYMMDD text leaves its other date a chance to; a date
// that is no real day is then warned about and the line left out.
TEST(Records, TakesTheLinesOfTheWindowWhateverTheKindOfTheirDates)
{
    test::TempDir dir;
    test::runSql(dir / "Camere_Prenotazione.mdb",
                 "CREATE TABLE Camere_Prenotazione (NumeroPrenotazione INTEGER, NumeroHotel "
                 "INTEGER, TipoPrenotazione TEXT, DataArrivo, DataPartenza, NumeroPersone "
                 "INTEGER, \"Quantit\xC3\xA0"
                 "Camere\" INTEGER, Note TEXT, GiorniTariffa INTEGER, Prezzo REAL);"
                 "INSERT INTO Camere_Prenotazione (NumeroPrenotazione, NumeroHotel, DataArrivo, "
                 "DataPartenza) VALUES"
                 "(1,1,'20240210','20240212'),"   // read
                 "(2,1,'20240310','20240312'),"   // after the window
                 "(3,1,'2024-02-10','20240212')," // warned: compares before the last day
                 "(4,1,'2024x','20240212'),"      // warned: compares after it
                 "(5,1,'2024x','20240101'),"      // no date in the window
                 "(6,1,'20240101','1/1/24'),"     // warned
                 "(7,1,20240210,20240212),"       // numbers: read
                 "(8,1,NULL,'20240212'),"         // no arrival
                 "(9,1,20240210.0,'20240212'),"   // warned: \"20240210.0\"
                 "(10,1,'20240101',NULL),"        // no departure
                 "(11,1,'x','y');");              // warned
    std::vector<std::string> warnings;
    const auto lines = readRoomLines(DataFolder(dir.path()), "", "20240201", "20240303",
                                     [&](std::string_view w) { warnings.emplace_back(w); });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].numeroPrenotazione, 1);
    EXPECT_EQ(lines[1].numeroPrenotazione, 7);
    EXPECT_EQ(lines[1].dataArrivo, "20240210");
    const std::vector<std::string> bad = {"2024-02-10", "2024x", "1/1/24", "20240210.0", "x"};
    ASSERT_EQ(warnings.size(), bad.size());
    for (std::size_t i = 0; i < bad.size(); ++i)
        EXPECT_NE(warnings[i].find("\"" + bad[i] + "\""), std::string::npos) << warnings[i];
}

TEST(Records, NamesFileTableAndFieldOfAWrongValue)
{
    test::TempDir dir;
    test::runSql(dir / "Camere_Prenotazione.mdb",
                 std::string(kRoomsSchema) + "INSERT INTO Camere_Prenotazione VALUES"
                                             "(1,1,'C','20240201','20240205','due',1,'',1,0);");
    try {
        readRoomLines(DataFolder(dir.path()), "", "20240201", "20240303", {});
        FAIL();
    } catch (const DataError& e) {
        EXPECT_EQ(e.table(), "Camere_Prenotazione");
        EXPECT_EQ(e.field(), "NumeroPersone");
        EXPECT_NE(std::string(e.what()).find("Camere_Prenotazione.mdb"), std::string::npos);
    }
    test::runSql(dir / "TipiCamere.mdb", "CREATE TABLE TipiCamere (NumeroHotel, Quantita);");
    try {
        readRoomTypes(DataFolder(dir.path()));
        FAIL();
    } catch (const DataError& e) {
        EXPECT_EQ(e.field(), "Tipologia");
    }
}

TEST(Records, ReadsTheRegistryInHotelOrderAndLeavesFilesUnchanged)
{
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    const auto before = test::readFile(dir / "AnagraficaHotels.mdb");
    const auto time = std::filesystem::last_write_time(dir / "AnagraficaHotels.mdb");
    const auto hotels = readHotelRegistry(DataFolder(dir.path()));
    ASSERT_FALSE(hotels.empty());
    for (std::size_t i = 1; i < hotels.size(); ++i)
        EXPECT_LE(hotels[i - 1].numeroHotel, hotels[i].numeroHotel);
    const auto headers = readBookingHeaders(DataFolder(dir.path()), "2023");
    EXPECT_FALSE(headers.empty());
    EXPECT_EQ(test::readFile(dir / "AnagraficaHotels.mdb"), before);
    EXPECT_EQ(std::filesystem::last_write_time(dir / "AnagraficaHotels.mdb"), time);
}

TEST(DataFolder, TakesWindows1252NamesAndFindsTheirUtf8Spelling)
{
    test::TempDir dir;
    test::writeFile(dir / "\xC3\x89t\xC3\xA9Scheda_Prenotazione.mdb", "x"); // "Été..." in UTF-8
    const DataFolder folder(dir.path());
    EXPECT_TRUE(folder.find("\xC9t\xE9Scheda_Prenotazione.mdb"));
    EXPECT_TRUE(folder.find("\xC9T\xC9SCHEDA_PRENOTAZIONE.MDB"));
    EXPECT_EQ(folder.namesEndingWith("scheda_prenotazione.mdb"),
              std::vector<std::string>{"\xC9t\xE9Scheda_Prenotazione.mdb"});
    EXPECT_EQ(folder.target("fd\xE9").filename().string(), "fd\xC3\xA9");
}
