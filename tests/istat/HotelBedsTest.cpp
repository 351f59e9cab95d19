// LettiHotel.txt: the lines it takes, the lines it refuses (naming the file
// and the line), and a write that reads back.

#include "istat/HotelBeds.h"

#include "data/DataError.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace presenze;

TEST(HotelBeds, ReadsHotelBlankBedsLines)
{
    struct Case {
        std::string content;
        HotelBeds beds;
    };
    const Case cases[] = {
        {"", {}},
        {"1 20\r\n2 35\r\n", {{1, 20}, {2, 35}}},
        {"  3\t\t84  \n\n   \n12 0", {{3, 84}, {12, 0}}}, // blanks, tabs, LF, no last line end
        {"7 9\r5 1\r", {{5, 1}, {7, 9}}},                 // CR alone
    };
    for (const Case& c : cases) {
        std::istringstream in(c.content);
        EXPECT_EQ(parseHotelBeds(in, "LettiHotel.txt"), c.beds) << c.content;
    }
}

TEST(HotelBeds, ABadLineIsNamedWithItsFile)
{
    const std::pair<std::string, std::string> cases[] = {
        {"1 20\r\nuno 20\r\n", "Riga 2 non valida: \"uno 20\""},
        {"1 20 30", "Riga 1 non valida"},
        {"1", "Riga 1 non valida"},
        {"0 20", "Riga 1 non valida"},
        {"9999 20", "Riga 1 non valida"},
        {"1 -4", "Riga 1 non valida"},
        {"1 1000000", "Riga 1 non valida"},
        {"1,20", "Riga 1 non valida"},
        {"\n\n2 5\n2 6\n", "Riga 4: l'hotel 2 \xE8 gi\xE0 indicato"},
        {"1 2\n" + std::string(5000, '7'), "Riga 2 troppo lunga"},
    };
    for (const auto& [content, message] : cases) {
        std::istringstream in(content);
        try {
            parseHotelBeds(in, "LettiHotel.txt");
            ADD_FAILURE() << content;
        } catch (const DataError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(message, 0), 0u) << what;
            EXPECT_NE(what.find("(file \"LettiHotel.txt\")"), std::string::npos) << what;
        }
    }
}

TEST(HotelBeds, WrittenWholeAndReadBack)
{
    test::TempDir dir;
    const DataFolder folder(dir.path());
    EXPECT_FALSE(readHotelBeds(folder));
    writeHotelBeds(folder, {{12, 40}, {2, 0}});
    EXPECT_EQ(test::readFile(dir / "LettiHotel.txt"), "2 0\r\n12 40\r\n");
    EXPECT_EQ(readHotelBeds(folder), (HotelBeds{{2, 0}, {12, 40}}));
    // The name as the folder spells it, whatever its case.
    std::filesystem::rename(dir / "LettiHotel.txt", dir / "LETTIHOTEL.TXT");
    writeHotelBeds(folder, {{1, 8}});
    EXPECT_EQ(test::readFile(dir / "LETTIHOTEL.TXT"), "1 8\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "LettiHotel.txt"));
    EXPECT_THROW(writeHotelBeds(folder, {{0, 8}}), DataError);
}
