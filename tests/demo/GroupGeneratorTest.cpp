#include "demo/GroupGenerator.h"

#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Records.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "demo/DemoData.h"
#include "demo/SeededRandom.h"
#include "istat/HotelBeds.h"
#include "support/TestSupport.h"
#include "tally/HotelRooms.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

DemoOptions demoOn(int day, int month, int year, std::uint32_t seed = 1)
{
    DemoOptions options;
    options.seed = seed;
    options.reference = Date{year, month, day};
    return options;
}

std::map<std::string, std::string> filesOf(const fs::path& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        files[entry.path().filename().string()] = test::readFile(entry.path());
    return files;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

// Twelve groups of three digits, as the print settings hold them.
bool isTwelveGroups(const std::string& text)
{
    return text.size() == 36 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int settingsGroup(const std::string& text, int k)
{
    return std::stoi(text.substr(static_cast<std::size_t>(3 * (k - 1)), 3));
}

// Every room line of a season, whatever its dates.
std::vector<RoomLine> allLines(const DataFolder& folder, std::string_view season,
                               std::vector<std::string>* warnings = nullptr)
{
    return readRoomLines(folder, season, "00000000", "99999999", [&](std::string_view w) {
        if (warnings)
            warnings->emplace_back(w);
    });
}

class DemoFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new test::TempDir;
        writeDemoData(s_dir->path(), demoOn(8, 12, 2026));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static DataFolder folder() { return DataFolder(s_dir->path()); }
    static test::TempDir* s_dir;
};

test::TempDir* DemoFolder::s_dir = nullptr;

} // namespace

TEST(DemoData, SameSeedAndDateGiveTheSameBytesAndOthersDoNot)
{
    test::TempDir a, b, c, d;
    writeDemoData(a.path(), demoOn(15, 3, 2027, 7));
    writeDemoData(b.path(), demoOn(15, 3, 2027, 7));
    writeDemoData(c.path(), demoOn(15, 3, 2027, 8));
    writeDemoData(d.path(), demoOn(15, 4, 2027, 7));
    const auto first = filesOf(a.path());
    ASSERT_EQ(first.size(), 13u);
    EXPECT_EQ(first, filesOf(b.path()));

    const auto otherSeed = filesOf(c.path());
    ASSERT_EQ(otherSeed.size(), first.size());
    for (const char* name : {"Scheda_Prenotazione.mdb", "Camere_Prenotazione.mdb",
                             "2025Camere_Prenotazione.mdb", "DitteAbituali.mdb"})
        EXPECT_NE(first.at(name), otherSeed.at(name)) << name;
    EXPECT_NE(first.at("Camere_Prenotazione.mdb"), filesOf(d.path()).at("Camere_Prenotazione.mdb"));
}

TEST_F(DemoFolder, HotelsAreNumberedWithoutGapsAndNamedForTheReport)
{
    const auto hotels = readHotelRegistry(folder());
    ASSERT_EQ(hotels.size(), 12u);
    std::set<std::string> names;
    for (std::size_t i = 0; i < hotels.size(); ++i) {
        EXPECT_EQ(hotels[i].numero, static_cast<std::int64_t>(i + 1));
        EXPECT_EQ(hotels[i].numeroHotel, hotels[i].numero);
        EXPECT_GE(hotels[i].ragioneSociale.size(), 15u) << hotels[i].ragioneSociale;
        EXPECT_LE(hotels[i].ragioneSociale.size(), 30u) << hotels[i].ragioneSociale;
        names.insert(hotels[i].ragioneSociale);
    }
    EXPECT_EQ(names.size(), 12u);
    EXPECT_FALSE(hotels[0].codiceAssistenza.empty());
    // The installation's letters must not switch off the line conversion.
    EXPECT_EQ(hotels[0].codiceAssistenza.find('K'), std::string::npos);

    std::map<std::int64_t, std::int64_t> counted;
    std::set<std::string> otherTypes;
    for (const auto& t : readRoomTypes(folder())) {
        EXPECT_GT(t.quantita, 0);
        if (t.tipologia == "C")
            counted[t.numeroHotel] += t.quantita;
        else
            otherTypes.insert(t.tipologia);
    }
    EXPECT_EQ(counted.size(), 12u);
    EXPECT_FALSE(otherTypes.empty());
}

TEST_F(DemoFolder, CompaniesIncludeApostrophesAndAccents)
{
    const auto companies = readCompanies(folder());
    ASSERT_EQ(companies.size(), 400u);
    std::set<std::int64_t> codes;
    std::set<std::string> names;
    int apostrophes = 0, accents = 0;
    for (const auto& c : companies) {
        codes.insert(c.codice);
        names.insert(c.ragioneSociale);
        EXPECT_GE(c.numeroHotel, 1);
        EXPECT_LE(c.numeroHotel, 12);
        apostrophes += contains(c.ragioneSociale, "'");
        accents += std::any_of(c.ragioneSociale.begin(), c.ragioneSociale.end(),
                               [](char ch) { return static_cast<unsigned char>(ch) >= 0xC0; });
    }
    EXPECT_EQ(codes.size(), 400u);
    EXPECT_EQ(*codes.begin(), 1);
    EXPECT_EQ(names.size(), 400u);
    EXPECT_TRUE(names.count("L'ANCORA VIAGGI"));
    EXPECT_TRUE(names.count("SOCIET\xC0 ALBA"));
    EXPECT_GE(apostrophes, 3);
    EXPECT_GE(accents, 3);
}

TEST_F(DemoFolder, EveryRoomLineHasItsHeaderAndTheSeasonLooksReal)
{
    const auto headers = readBookingHeaders(folder(), "");
    std::map<std::pair<std::int64_t, std::int64_t>, const BookingHeader*> byKey;
    std::map<std::int64_t, std::set<std::int64_t>> hotelsOfNumber;
    std::set<std::string> kinds, nations;
    std::map<std::string, int> tags;
    for (const auto& h : headers) {
        EXPECT_TRUE(byKey.emplace(std::make_pair(h.numeroHotel, h.numeroPrenotazione), &h).second)
            << "booking " << h.numeroPrenotazione << " twice in hotel " << h.numeroHotel;
        hotelsOfNumber[h.numeroPrenotazione].insert(h.numeroHotel);
        kinds.insert(h.tipoPrenotazione);
        nations.insert(h.nazione);
        for (const char* tag : {"<GRP>", "<IND>", "<TO>", "<AS>"})
            tags[tag] += contains(h.commento, tag);
        if (h.codiceDitta) {
            EXPECT_FALSE(h.ditta.empty());
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"C", "D", "O"}));
    EXPECT_TRUE(nations.count("I"));
    EXPECT_TRUE(nations.count(""));
    EXPECT_GE(nations.size(), 6u);
    for (const auto& [tag, n] : tags)
        EXPECT_GT(n, 0) << tag;
    // Numbers run per hotel: the same number names bookings of several hotels.
    EXPECT_GT(hotelsOfNumber[1].size(), 1u);

    std::vector<std::string> warnings;
    const auto lines = allLines(folder(), "", &warnings);
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(lines.size(), 6000u);
    const auto first = Date{2026, 6, 1}.toKey(), last = Date{2027, 6, 30}.toKey();
    int crossing = 0, weekly = 0, noted = 0, priced = 0;
    std::set<std::pair<std::int64_t, std::int64_t>> used;
    for (const auto& line : lines) {
        const auto it = byKey.find({line.numeroHotel, line.numeroPrenotazione});
        ASSERT_NE(it, byKey.end()) << "line without header: " << line.numeroPrenotazione;
        EXPECT_EQ(line.tipoPrenotazione, it->second->tipoPrenotazione);
        used.insert(it->first);
        EXPECT_GE(line.dataArrivo, first);
        EXPECT_LE(line.dataArrivo, last);
        EXPECT_LT(line.dataArrivo, line.dataPartenza);
        EXPECT_GE(line.quantitaCamere, 1);
        crossing += line.dataArrivo.substr(0, 6) != line.dataPartenza.substr(0, 6);
        weekly += line.giorniTariffa == 7;
        noted += contains(line.note, "<GRP>") || contains(line.note, "<TO>") ||
                 contains(line.note, "<AS>");
        priced += line.prezzo.units > 0;
    }
    EXPECT_EQ(used.size(), headers.size()) << "every header has room lines";
    EXPECT_GT(crossing, 100);
    EXPECT_GT(weekly, 10);
    EXPECT_GT(noted, 10);
    EXPECT_GT(priced, 5000);
}

TEST_F(DemoFolder, NoNightHasMoreRoomsBookedThanTheHotelHas)
{
    std::map<std::int64_t, std::int64_t> rooms;
    for (const auto& t : readRoomTypes(folder()))
        if (t.tipologia == "C")
            rooms[t.numeroHotel] += t.quantita;
    for (const char* season : {"", "2025"}) {
        std::map<std::pair<std::int64_t, long>, std::int64_t> booked;
        std::int64_t roomNights = 0;
        for (const auto& line : allLines(folder(), season)) {
            const long from = Date::parseKey(line.dataArrivo)->toSerial();
            const long to = Date::parseKey(line.dataPartenza)->toSerial();
            for (long d = from; d < to; ++d)
                booked[{line.numeroHotel, d}] += line.quantitaCamere;
            roomNights += line.quantitaCamere * (to - from);
        }
        for (const auto& [key, n] : booked)
            ASSERT_LE(n, rooms[key.first]) << "hotel " << key.first << ", season " << season;
        EXPECT_GT(roomNights, 0);
    }
}

TEST_F(DemoFolder, HoldsAnArchivedSeason)
{
    const auto headers = readBookingHeaders(folder(), "2025");
    const auto lines = allLines(folder(), "2025");
    EXPECT_FALSE(headers.empty());
    ASSERT_EQ(lines.size(), 2500u);
    for (const auto& line : lines)
        EXPECT_EQ(line.dataArrivo.substr(0, 4), "2025");
}

TEST_F(DemoFolder, PrintersPageLengthsAndSmallFiles)
{
    const Database printers = openHotelFile(folder(), "Stampanti.mdb");
    printers.requireColumns("Stampanti", {"NumeroHotel", "Destinazione", "TipoStampa", "Linea"});
    printers.requireColumns("SetStampa", {"TipoStampa", "Compresso", "Grassetto"});
    std::map<std::int64_t, std::pair<std::string, std::string>> settings;
    Statement set = printers.prepare("SELECT TipoStampa, Compresso, Grassetto FROM SetStampa");
    while (set.step()) {
        EXPECT_TRUE(isTwelveGroups(set.text(1))) << set.text(1);
        EXPECT_TRUE(isTwelveGroups(set.text(2))) << set.text(2);
        settings[set.integer(0)] = {set.text(1), set.text(2)};
    }
    bool windows = false, raw = false, pdf = false;
    Statement dest = printers.prepare(
        "SELECT Destinazione, TipoStampa, Linea FROM Stampanti WHERE NumeroHotel = 1");
    while (dest.step()) {
        ASSERT_TRUE(settings.count(dest.integer(1))) << dest.text(0);
        const auto& [compresso, grassetto] = settings[dest.integer(1)];
        EXPECT_GT(settingsGroup(grassetto, 8), 0);
        if (settingsGroup(compresso, 6) == 1) {
            windows = true;
            pdf = pdf || contains(dest.text(0), "PDF");
        } else {
            raw = true;
            EXPECT_EQ(dest.text(2), kRawPrintFile);
        }
    }
    EXPECT_TRUE(windows);
    EXPECT_TRUE(raw);
    EXPECT_TRUE(pdf);

    const Database counters = openHotelFile(folder(), "Contatori.mdb");
    counters.requireColumns("Contatori", {"NumeroHotel", "LungPagComp", "LungPagNoComp"});
    Statement pages = counters.prepare("SELECT count(*), min(LungPagNoComp) FROM Contatori");
    ASSERT_TRUE(pages.step());
    EXPECT_EQ(pages.integer(0), 12);
    EXPECT_GT(pages.integer(1), 20);

    EXPECT_EQ(test::readFile(s_dir->path() / "SeparatoreXLS.txt"), ";\r\n,\r\n\x80\r\n");
    EXPECT_EQ(test::readFile(s_dir->path() / "FontStp.txt"), "Courier New\r\n");

    // Every hotel has beds for its counted rooms, one or two a room.
    const auto beds = readHotelBeds(folder());
    ASSERT_TRUE(beds);
    EXPECT_EQ(beds->size(), 12u);
    const HotelRooms rooms = readHotelRooms(folder());
    for (const auto& [hotel, count] : *beds) {
        EXPECT_GE(count, rooms.of(hotel)) << hotel;
        EXPECT_LE(count, 2 * rooms.of(hotel)) << hotel;
    }
}

TEST_F(DemoFolder, CompanyListNamesCompaniesBookedInTheReferenceMonth)
{
    const std::string bytes = test::readFile(s_dir->path() / "ElencoDitte.txt");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const auto lines = readCompanyListLines(folder());
    ASSERT_EQ(lines.size(), 12u);

    std::map<std::int64_t, std::string> companies;
    for (const auto& c : readCompanies(folder()))
        companies[c.codice] = c.ragioneSociale;
    std::set<std::string> booked;
    std::map<std::pair<std::int64_t, std::int64_t>, std::string> ditta;
    for (const auto& h : readBookingHeaders(folder(), ""))
        ditta[{h.numeroHotel, h.numeroPrenotazione}] = h.ditta;
    for (const auto& line :
         readRoomLines(folder(), "", "20261201", "20261231", [](std::string_view) {}))
        booked.insert(ditta[{line.numeroHotel, line.numeroPrenotazione}]);

    bool apostrophe = false;
    for (const auto& line : lines) {
        ASSERT_GT(line.size(), 7u);
        EXPECT_NE(line[5], ' ') << "code right-aligned in 6: " << line;
        EXPECT_EQ(line[6], ' ');
        const std::int64_t code = std::stoll(std::string(trimBlanks(line.substr(0, 6))));
        const std::string name(trimBlanks(line.substr(7)));
        EXPECT_EQ(companies[code], name);
        EXPECT_TRUE(booked.count(name)) << name;
        apostrophe = apostrophe || contains(name, "'");
    }
    EXPECT_TRUE(apostrophe);
}

TEST(GroupGenerator, WritesTheLinesAskedForAndReplacesOnlyItsOwnFiles)
{
    test::TempDir dir;
    test::writeFile(dir / "TIPICAMERE.MDB", "not a database");
    test::writeFile(dir / "fd1", "a report");
    GroupOptions group;
    group.hotels = 3;
    group.companies = 5;
    group.roomLines = 257;
    group.reference = Date{2027, 1, 20};
    group.monthsBefore = 0;
    group.monthsAfter = 0;
    group.archivedSeason = "Inverno23";
    group.archivedYear = 2023;
    group.archivedRoomLines = 31;
    group.companyListSize = 50;
    const GroupSummary summary = writeGroup(dir.path(), group);

    EXPECT_EQ(summary.roomLines, 257);
    EXPECT_EQ(summary.archivedRoomLines, 31);
    const DataFolder folder(dir.path());
    EXPECT_EQ(allLines(folder, "").size(), 257u);
    EXPECT_EQ(allLines(folder, "Inverno23").size(), 31u);
    for (const auto& line : allLines(folder, ""))
        EXPECT_EQ(line.dataArrivo.substr(0, 6), "202701");
    std::set<std::int64_t> withRooms;
    for (const auto& t : readRoomTypes(folder))
        if (t.tipologia == "C")
            withRooms.insert(t.numeroHotel);
    EXPECT_EQ(withRooms, (std::set<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(test::readFile(dir / "fd1"), "a report");
    EXPECT_FALSE(fs::exists(dir / "TipiCamere.mdb"));
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
    // Five companies: the list holds those of them that have bookings.
    EXPECT_LE(summary.listed.size(), 5u);
    EXPECT_EQ(readCompanyListLines(folder).size(), summary.listed.size());
}

TEST(GroupGenerator, RefusesImpossibleSizes)
{
    test::TempDir dir;
    GroupOptions group;
    group.reference = Date{2027, 1, 1};
    group.hotels = 0;
    EXPECT_THROW(writeGroup(dir.path(), group), DataError);
    group.hotels = 2;
    group.roomLines = -1;
    EXPECT_THROW(writeGroup(dir.path(), group), DataError);
}

TEST(SeededRandom, StaysWithinBoundsAndNeverDrawsAZeroWeight)
{
    SeededRandom random(42);
    const std::vector<std::uint64_t> cumulative = {0, 5, 5, 10, 10}; // weights 0,5,0,5,0
    std::map<std::size_t, int> drawn;
    for (int i = 0; i < 10000; ++i) {
        const auto v = random.between(-3, 3);
        ASSERT_GE(v, -3);
        ASSERT_LE(v, 3);
        ++drawn[random.weighted(cumulative)];
    }
    EXPECT_EQ(drawn.size(), 2u);
    EXPECT_GT(drawn[1], 4000);
    EXPECT_GT(drawn[3], 4000);
    // Streams of one seed are independent of each other and repeatable.
    EXPECT_EQ(SeededRandom::stream(1, "a").next(), SeededRandom::stream(1, "a").next());
    EXPECT_NE(SeededRandom::stream(1, "a").next(), SeededRandom::stream(1, "b").next());
}
