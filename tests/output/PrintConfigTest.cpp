#include "output/PrintConfig.h"

#include "data/DataError.h"
#include "output/PrintFolder.h"
#include "output/PrintJob.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(PrintConfig, DestinationsOfHotelOneInTableOrder)
{
    test::PrintFolder f;
    f.destination("Ufficio", 1, "LPT1");
    f.destination("Reception", 2, "LPT2", 2);
    f.destination("PDF Ufficio", 3, "");
    test::runSql(f / "Stampanti.mdb", "INSERT INTO Stampanti VALUES (1, NULL, 1, 'x');"
                                      "INSERT INTO Stampanti VALUES (1, 'Laser', 2, 'y');");
    EXPECT_EQ(readDestinationNames(f.folder(), 1),
              (std::vector<std::string>{"Ufficio", "PDF Ufficio", "Laser"}));
    EXPECT_TRUE(readDestinationNames(f.folder(), 3).empty());
}

TEST(PrintConfig, DestinationFoundWithoutRegardToCaseAndQuotesAreHarmless)
{
    test::PrintFolder f;
    f.destination("Reception", 2, "LPT2", 2);
    f.destination("Ufficio", 4, "/dev/null");
    f.destination("ufficio", 5, "second");
    f.destination("L'Aquila", 6, "q");
    const auto d = findPrintDestination(f.folder(), "UFFICIO");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->destinazione, "Ufficio");
    EXPECT_EQ(d->tipoStampa, 4);
    EXPECT_EQ(d->linea, "/dev/null");
    EXPECT_EQ(findPrintDestination(f.folder(), "reception")->numeroHotel, 2);
    EXPECT_EQ(findPrintDestination(f.folder(), "L'Aquila")->linea, "q");
    EXPECT_FALSE(findPrintDestination(f.folder(), "Ufficio '"));
}

TEST(PrintConfig, SettingsKindIsTheNearestWholeNumber)
{
    test::PrintFolder f;
    f.settings(2, "010", "");
    f.settings(3, "011", "");
    test::runSql(f / "Stampanti.mdb", "INSERT INTO Stampanti VALUES (1, 'Real', 2.6, '');"
                                      "INSERT INTO Stampanti VALUES (1, 'Half', 2.5, '');");
    EXPECT_EQ(findPrintDestination(f.folder(), "Real")->tipoStampa, 3);
    EXPECT_EQ(findPrintDestination(f.folder(), "Half")->tipoStampa, 2);
    EXPECT_EQ(readPrintSettings(f.folder(), 3)->codici[1], 11);
    EXPECT_FALSE(readPrintSettings(f.folder(), 9));
}

TEST(PrintConfig, PageLengthsOptionLettersAndFont)
{
    test::PrintFolder f;
    EXPECT_FALSE(readPageLengths(f.folder(), 1)); // no record
    f.pageLengths(2, 80, 70);
    f.pageLengths(1, 90, 60);
    const auto lengths = readPageLengths(f.folder(), 1);
    ASSERT_TRUE(lengths);
    EXPECT_EQ(lengths->compressed, 90);
    EXPECT_EQ(lengths->normal, 60);
    EXPECT_FALSE(readPageLengths(f.folder(), 3));

    EXPECT_EQ(readOptionLetters(f.folder()), "");
    f.registry("AKU");
    EXPECT_EQ(readOptionLetters(f.folder()), "AKU");

    EXPECT_EQ(readPrintFont(f.folder()), "Courier New");
    test::writeFile(f / "fontstp.txt", "  Lucida Console \r\nignored\r\n");
    EXPECT_EQ(readPrintFont(f.folder()), "Lucida Console");
    test::writeFile(f / "fontstp.txt", "   \r\n");
    EXPECT_EQ(readPrintFont(f.folder()), "Courier New");
}

TEST(PrintConfig, MissingTablesOrFieldsAreNamed)
{
    test::PrintFolder f;
    test::runSql(f / "Stampanti.mdb",
                 "CREATE TABLE Stampanti (NumeroHotel INTEGER, Destinazione TEXT);");
    EXPECT_EQ(readDestinationNames(f.folder(), 1).size(), 0u);
    try {
        findPrintDestination(f.folder(), "x");
        FAIL();
    } catch (const DataError& e) {
        EXPECT_NE(e.file().find("Stampanti.mdb"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("TipoStampa"), std::string::npos) << e.what();
    }
    std::filesystem::remove(f / "Stampanti.mdb");
    EXPECT_THROW(readDestinationNames(f.folder(), 1), DataError);
}

TEST(PrintDevice, EnvironmentVariableThenLineaThenThePrinterChosen)
{
    const EnvironmentLookup env = [](std::string_view name) -> std::optional<std::string> {
        if (name == "PDF Ufficio")
            return std::string("/tmp/ufficio.pdf");
        if (name == "Vuota")
            return std::string();
        return std::nullopt;
    };
    EXPECT_EQ(chooseDevice("PDF Ufficio", "LPT1", "", env), "/tmp/ufficio.pdf");
    EXPECT_EQ(chooseDevice("Vuota", "LPT1", "", env), "LPT1");
    EXPECT_EQ(chooseDevice("Altra", "LPT1", "   ", env), "LPT1");
    EXPECT_EQ(chooseDevice("PDF Ufficio", "LPT1", " Laser ", env), "Laser");
}
