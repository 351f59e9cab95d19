#include "demo/GroupGenerator.h"

#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Schema.h"
#include "data/Sqlite.h"
#include "data/Text1252.h"
#include "demo/GroupNames.h"
#include "demo/SeededRandom.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace presenze {
namespace {

namespace fs = std::filesystem;
using names::Category;

// Longest stay drawn, in nights, and the days a line may end after it.
constexpr int kLongestStay = 45;
constexpr int kStayMargin = 50;

// Arrivals by month of the year (the tourist season), January first.
constexpr int kMonthWeight[12] = {50, 55, 70, 90, 100, 130, 170, 190, 120, 90, 60, 90};
// Price of the month against the hotel's base rate, in percent.
constexpr int kMonthPrice[12] = {80, 80, 85, 95, 100, 115, 140, 160, 110, 95, 85, 100};
// The smallest hotel of a group.
constexpr int kFewestRooms = 12;

struct Weighted {
    const char* value;
    int weight;
};

constexpr Weighted kNationalities[] = {
    {"I", 50}, {"", 8},   {"D", 10},  {"GB", 6}, {"F", 6}, {"CH", 4},
    {"A", 4},  {"NL", 4}, {"USA", 3}, {"E", 2},  {"B", 2}, {"PL", 1},
};

struct Hotel {
    int number = 0;
    std::string name;
    std::int64_t baseCents = 0; // one room, one night, at the month factor 100
};

struct Company {
    std::int64_t code = 0;
    int hotel = 0;
    std::string name;
    std::string town;
};

struct Line {
    long arrival = 0;   // day serial
    long departure = 0; // day serial, after arrival
    int persons = 0;
    int rooms = 0;
    std::string note;
    int tariffDays = 1;
    std::int64_t priceCents = 0;
};

struct Booking {
    int hotel = 0;
    std::int64_t number = 0;
    std::string kind;
    std::string ditta;
    std::int64_t code = 0; // 0: no company code (null)
    std::string nazione;
    std::string commento;
    std::vector<Line> lines;
};

std::vector<std::uint64_t> cumulative(const std::vector<std::uint64_t>& weights)
{
    std::vector<std::uint64_t> sums(weights.size());
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i)
        sums[i] = sum += weights[i];
    return sums;
}

template <std::size_t N> const char* pickWeighted(const Weighted (&table)[N], SeededRandom& random)
{
    int total = 0;
    for (const auto& w : table)
        total += w.weight;
    int target = static_cast<int>(random.below(static_cast<std::uint64_t>(total)));
    for (const auto& w : table) {
        if (target < w.weight)
            return w.value;
        target -= w.weight;
    }
    return table[0].value;
}

long serialOf(int year, int month, int day)
{
    return Date{year, month, day}.toSerial();
}

// The first day of the month `offset` months away from (year, month).
Date monthStart(int year, int month, int offset)
{
    int index = year * 12 + (month - 1) + offset;
    return Date{index / 12, index % 12 + 1, 1};
}

// ---------------------------------------------------------------------------
// Files

[[noreturn]] void writeFailed(const fs::path& file, const std::error_code& ec)
{
    throw DataError("Impossibile scrivere il file: " + utf8ToCp1252(ec.message()),
                    displayName(file));
}

// A data file being written: a fresh SQLite file beside its place, renamed
// over it when finished, removed when abandoned.
class NewDataFile {
public:
    NewDataFile(const fs::path& dir, std::string_view name)
        : m_file(DataFolder(dir).target(name)),
          m_db(std::in_place, m_file.path(), Database::Mode::Create)
    {
        // The file is private until renamed: no journal needed.
        m_db->exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    }

    const Database& db() const { return *m_db; }

    void finish()
    {
        m_db.reset();
        m_file.commit();
    }

private:
    AtomicFile m_file; // first, so that the database is closed before it goes
    std::optional<Database> m_db;
};

void writeTextFile(const fs::path& dir, std::string_view name, std::string_view bytes)
{
    writeFileAtomically(DataFolder(dir).target(name), bytes);
}

std::string roomsTableSql()
{
    return "CREATE TABLE \"Camere_Prenotazione\" (\"NumeroPrenotazione\" INTEGER, "
           "\"NumeroHotel\" INTEGER, \"TipoPrenotazione\" TEXT, \"DataArrivo\" TEXT, "
           "\"DataPartenza\" TEXT, \"NumeroPersone\" INTEGER, \"" +
           std::string(schema::kRoomsQuantitySql) +
           "\" INTEGER, \"Note\" TEXT, \"GiorniTariffa\" INTEGER, \"Prezzo\" REAL)";
}

// The two booking files of one season, written booking by booking. Dates
// from firstDay to lastDay are written from a table of their keys.
class SeasonFiles {
public:
    SeasonFiles(const fs::path& dir, const std::string& prefix, long firstDay, long lastDay)
        : m_headers(dir, schema::headersFile(prefix)), m_rooms(dir, schema::roomsFile(prefix)),
          m_firstDay(firstDay)
    {
        for (long d = firstDay; d <= lastDay; ++d)
            m_keys.push_back(Date::fromSerial(d).toKey());
        m_headers.db().exec("CREATE TABLE \"Scheda_Prenotazione\" (\"NumeroPrenotazione\" INTEGER, "
                            "\"NumeroHotel\" INTEGER, \"TipoPrenotazione\" TEXT, \"Ditta\" TEXT, "
                            "\"CodiceDitta\" INTEGER, \"Nazione\" TEXT, \"Commento\" TEXT)");
        m_rooms.db().exec(roomsTableSql());
        m_headerTx.emplace(m_headers.db());
        m_roomTx.emplace(m_rooms.db());
        m_insertHeader.emplace(m_headers.db().prepare(
            "INSERT INTO \"Scheda_Prenotazione\" VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
        m_insertLine.emplace(m_rooms.db().prepare("INSERT INTO \"Camere_Prenotazione\" VALUES (?1, "
                                                  "?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
    }

    void write(const Booking& b)
    {
        Statement& h = *m_insertHeader;
        h.bind(1, b.number).bind(2, b.hotel).bindText(3, b.kind).bindText(4, b.ditta);
        if (b.code > 0)
            h.bind(5, b.code);
        else
            h.bindNull(5);
        h.bindText(6, b.nazione).bindText(7, b.commento);
        h.step();
        h.reset();
        Statement& r = *m_insertLine;
        for (const Line& line : b.lines) {
            r.bind(1, b.number).bind(2, b.hotel).bindText(3, b.kind);
            r.bindText(4, m_keys.at(static_cast<std::size_t>(line.arrival - m_firstDay)));
            r.bindText(5, m_keys.at(static_cast<std::size_t>(line.departure - m_firstDay)));
            r.bind(6, line.persons).bind(7, line.rooms).bindText(8, line.note);
            r.bind(9, line.tariffDays).bind(10, static_cast<double>(line.priceCents) / 100.0);
            r.step();
            r.reset();
        }
    }

    void finish()
    {
        m_insertHeader.reset();
        m_insertLine.reset();
        m_headerTx->commit();
        m_roomTx->commit();
        m_headerTx.reset();
        m_roomTx.reset();
        m_headers.finish();
        m_rooms.finish();
    }

private:
    NewDataFile m_headers;
    NewDataFile m_rooms;
    std::optional<Transaction> m_headerTx;
    std::optional<Transaction> m_roomTx;
    std::optional<Statement> m_insertHeader;
    std::optional<Statement> m_insertLine;
    long m_firstDay;
    std::vector<std::string> m_keys;
};

// ---------------------------------------------------------------------------
// Bookings

// One season to generate: arrivals from firstArrival to lastArrival (day
// serials, inclusive), `lines` room lines in all.
struct SeasonPlan {
    std::string prefix;
    long firstArrival = 0;
    long lastArrival = 0;
    std::int64_t lines = 0;
    long referenceFirst = 0; // the reference month, for the kinds
    long referenceLast = 0;
};

// Rooms in use per hotel and night, to size the room counts afterwards.
class Occupancy {
public:
    Occupancy(int hotels, long firstDay, long lastDay)
        : m_first(firstDay), m_days(lastDay - firstDay + 1),
          m_rooms(static_cast<std::size_t>(hotels) * static_cast<std::size_t>(m_days), 0)
    {}

    void add(int hotel, const std::vector<Line>& lines)
    {
        int* row = rowOf(hotel);
        for (const Line& line : lines)
            for (long d = line.arrival; d < line.departure; ++d)
                row[d - m_first] += line.rooms;
    }

    // True when the lines find free rooms in a hotel of `rooms` rooms.
    bool fits(int hotel, const std::vector<Line>& lines, int rooms) const
    {
        if (lines.empty())
            return true;
        const int* row = rowOf(hotel);
        // Lines of one booking mostly share their nights: add them up first.
        long first = lines.front().arrival, last = lines.front().departure;
        for (const Line& line : lines) {
            first = std::min(first, line.arrival);
            last = std::max(last, line.departure);
        }
        for (long d = first; d < last; ++d) {
            int wanted = row[d - m_first];
            for (const Line& line : lines)
                if (line.arrival <= d && d < line.departure)
                    wanted += line.rooms;
            if (wanted > rooms)
                return false;
        }
        return true;
    }

    // Rooms in use on the average night of the busiest month, for a season
    // scaled by `scale`; only nights within [first, last] count.
    int busiestMonth(int hotel, long first, long last, double scale) const
    {
        const int* row = rowOf(hotel);
        double best = 0;
        long d = first;
        while (d <= last) {
            const Date date = Date::fromSerial(d);
            const long monthEnd =
                std::min(last, d + Date::daysInMonth(date.year, date.month) - date.day);
            double sum = 0;
            for (long x = d; x <= monthEnd; ++x)
                sum += row[x - m_first];
            best = std::max(best, sum * scale / static_cast<double>(monthEnd - d + 1));
            d = monthEnd + 1;
        }
        return static_cast<int>(best + 0.5);
    }

private:
    int* rowOf(int hotel)
    {
        return &m_rooms[static_cast<std::size_t>(hotel - 1) * static_cast<std::size_t>(m_days)];
    }
    const int* rowOf(int hotel) const
    {
        return &m_rooms[static_cast<std::size_t>(hotel - 1) * static_cast<std::size_t>(m_days)];
    }

    long m_first;
    long m_days;
    std::vector<int> m_rooms;
};

class BookingFactory {
public:
    BookingFactory(const std::vector<Hotel>& hotels, const std::vector<Company>& companies,
                   const SeasonPlan& plan, SeededRandom& random)
        : m_hotels(hotels), m_companies(companies), m_plan(plan), m_random(random),
          m_nextNumber(hotels.size() + 1, 1)
    {
        std::vector<std::uint64_t> hotelWeights;
        for (std::size_t i = 0; i < hotels.size(); ++i)
            hotelWeights.push_back(static_cast<std::uint64_t>(m_random.between(50, 150)));
        m_hotelCumulative = cumulative(hotelWeights);

        std::vector<std::uint64_t> dayWeights;
        for (long d = plan.firstArrival; d <= plan.lastArrival; ++d) {
            const Date date = Date::fromSerial(d);
            std::uint64_t w = kMonthWeight[date.month - 1];
            const long weekday = ((d % 7) + 7 + 3) % 7; // 0 = Monday (1970-01-01 was Thursday)
            if (weekday == 4 || weekday == 5)
                w = w * 3 / 2;
            dayWeights.push_back(w);
        }
        m_dayCumulative = cumulative(dayWeights);

        // A few companies book a lot, most book now and then: weight by rank.
        std::vector<std::uint64_t> companyWeights;
        m_byHotel.resize(hotels.size() + 1);
        std::vector<std::vector<std::uint64_t>> hotelCompanyWeights(hotels.size() + 1);
        for (std::size_t i = 0; i < companies.size(); ++i) {
            const std::uint64_t w = 600000 / (i + 20);
            companyWeights.push_back(w);
            m_byHotel[companies[i].hotel].push_back(i);
            hotelCompanyWeights[companies[i].hotel].push_back(w);
        }
        m_companyCumulative = cumulative(companyWeights);
        m_byHotelCumulative.resize(hotels.size() + 1);
        for (std::size_t h = 1; h <= hotels.size(); ++h)
            if (!hotelCompanyWeights[h].empty())
                m_byHotelCumulative[h] = cumulative(hotelCompanyWeights[h]);
    }

    // The next booking, with at most maxLines room lines, without its number.
    Booking make(std::int64_t maxLines)
    {
        Booking b;
        b.hotel = static_cast<int>(m_random.weighted(m_hotelCumulative)) + 1;
        const Category category = drawCategory();
        const long arrival =
            m_plan.firstArrival + static_cast<long>(m_random.weighted(m_dayCumulative));
        b.kind = drawKind(arrival);

        const Company* company = nullptr;
        const bool byCompany = category == Category::Group || category == Category::TourOperator ||
                               category == Category::Special || m_random.chance(550);
        if (byCompany && !m_companies.empty())
            company = &drawCompany(b.hotel);
        if (company) {
            b.ditta = company->name;
            b.code = company->code;
        } else {
            b.ditta = names::guest(m_random);
        }
        b.nazione = pickWeighted(kNationalities, m_random);
        if (category == Category::TourOperator && b.nazione == "I")
            b.nazione = pickWeighted(kNationalities, m_random);
        b.commento = names::comment(category, m_random);

        const int nights = drawNights(category);
        const std::int64_t count = std::min<std::int64_t>(drawLineCount(category), maxLines);
        for (std::int64_t i = 0; i < count; ++i)
            b.lines.push_back(makeLine(b.hotel, category, arrival, nights));
        return b;
    }

    // Booking numbers run per hotel.
    void number(Booking& b) { b.number = m_nextNumber[b.hotel]++; }

private:
    Category drawCategory()
    {
        const int r = static_cast<int>(m_random.below(100));
        if (r < 8)
            return Category::Group;
        if (r < 22)
            return Category::TourOperator;
        if (r < 30)
            return Category::Special;
        if (r < 60)
            return Category::Individual;
        return Category::Untagged;
    }

    // Options are more frequent for stays still to come.
    std::string drawKind(long arrival)
    {
        int optionPerMille = 50;
        if (arrival > m_plan.referenceLast)
            optionPerMille = 300;
        else if (arrival >= m_plan.referenceFirst)
            optionPerMille = 150;
        if (m_random.chance(optionPerMille))
            return "O";
        return m_random.chance(180) ? "D" : "C";
    }

    const Company& drawCompany(int hotel)
    {
        if (!m_byHotel[hotel].empty() && m_random.chance(700))
            return m_companies[m_byHotel[hotel][m_random.weighted(m_byHotelCumulative[hotel])]];
        return m_companies[m_random.weighted(m_companyCumulative)];
    }

    int drawNights(Category category)
    {
        if (category == Category::Group)
            return static_cast<int>(m_random.between(1, 5));
        if (m_random.chance(20))
            return static_cast<int>(m_random.between(21, kLongestStay));
        static constexpr int kNights[] = {1, 2, 3, 4, 5, 6, 7, 10, 14};
        static constexpr int kWeights[] = {10, 14, 15, 11, 9, 7, 18, 5, 7};
        int target = static_cast<int>(m_random.below(96));
        for (std::size_t i = 0; i < std::size(kNights); ++i) {
            if (target < kWeights[i])
                return kNights[i];
            target -= kWeights[i];
        }
        return 7;
    }

    std::int64_t drawLineCount(Category category)
    {
        switch (category) {
        case Category::Group:
            return m_random.between(2, 6);
        case Category::TourOperator:
            return m_random.between(1, 4);
        case Category::Special:
            return m_random.between(1, 3);
        case Category::Individual:
            return m_random.chance(800) ? 1 : 2;
        case Category::Untagged:
            break;
        }
        return m_random.chance(700) ? 1 : m_random.between(2, 3);
    }

    Line makeLine(int hotel, Category category, long arrival, int nights)
    {
        Line line;
        line.arrival = arrival;
        line.departure = arrival + nights;
        if (m_random.chance(150)) {
            // A room that arrives a day later or stays a little longer or shorter.
            if (nights > 1 && arrival < m_plan.lastArrival && m_random.chance(500))
                line.arrival += 1;
            line.departure += m_random.between(-1, 2);
            if (line.departure <= line.arrival)
                line.departure = line.arrival + 1;
        }
        switch (category) {
        case Category::Group:
            line.rooms = static_cast<int>(m_random.between(2, 8));
            break;
        case Category::TourOperator:
            line.rooms = static_cast<int>(m_random.between(1, 3));
            break;
        case Category::Special:
            line.rooms = static_cast<int>(m_random.between(1, 2));
            break;
        default:
            line.rooms = m_random.chance(100) ? 2 : 1;
            break;
        }
        for (int r = 0; r < line.rooms; ++r) {
            const int p = static_cast<int>(m_random.below(100));
            line.persons += p < 20 ? 1 : p < 78 ? 2 : p < 94 ? 3 : 4;
        }
        if (m_random.chance(3))
            line.persons = 0; // a room held without guests
        line.note = names::note(category, m_random);

        const int stay = static_cast<int>(line.departure - line.arrival);
        line.tariffDays = 1;
        if (stay >= 7 && m_random.chance(300))
            line.tariffDays = 7;
        else if (m_random.chance(50))
            line.tariffDays = 3;
        const int month = Date::fromSerial(line.arrival).month;
        std::int64_t nightly =
            m_hotels[hotel - 1].baseCents * kMonthPrice[month - 1] / 100 * line.rooms;
        nightly += 2500 * std::max(0, line.persons - 2 * line.rooms);
        std::int64_t price = nightly * line.tariffDays;
        if (line.tariffDays == 7)
            price = price * 90 / 100;
        if (m_random.chance(600))
            price = (price + 50) / 100 * 100; // whole euros
        if (m_random.chance(10))
            price = 0; // complimentary
        line.priceCents = price;
        return line;
    }

    const std::vector<Hotel>& m_hotels;
    const std::vector<Company>& m_companies;
    const SeasonPlan& m_plan;
    SeededRandom& m_random;
    std::vector<std::int64_t> m_nextNumber; // per hotel
    std::vector<std::uint64_t> m_hotelCumulative;
    std::vector<std::uint64_t> m_dayCumulative;
    std::vector<std::uint64_t> m_companyCumulative;
    std::vector<std::vector<std::size_t>> m_byHotel;
    std::vector<std::vector<std::uint64_t>> m_byHotelCumulative;
};

// Room lines per company code that overlap the reference month.
using ReferenceCounts = std::map<std::int64_t, std::int64_t>;

struct SeasonResult {
    std::int64_t headers = 0;
    std::int64_t lines = 0;
};

// Rooms each hotel needs for a season: a trial run of the same draws, scaled
// to the season's lines, sized so that the busiest month is about 80% full.
std::vector<int> roomsNeeded(const SeasonPlan& plan, const std::vector<Hotel>& hotels,
                             const std::vector<Company>& companies, SeededRandom random)
{
    constexpr std::int64_t kTrialLines = 100000;
    constexpr double kBusiestMonthOccupancy = 0.80;
    const int hotelCount = static_cast<int>(hotels.size());
    std::vector<int> rooms(hotels.size(), 0);
    const std::int64_t trial = std::min(plan.lines, kTrialLines);
    if (trial == 0)
        return rooms;
    BookingFactory factory(hotels, companies, plan, random);
    Occupancy occupancy(hotelCount, plan.firstArrival, plan.lastArrival + kStayMargin);
    for (std::int64_t lines = 0; lines < trial;) {
        const Booking b = factory.make(trial - lines);
        occupancy.add(b.hotel, b.lines);
        lines += static_cast<std::int64_t>(b.lines.size());
    }
    const double scale = static_cast<double>(plan.lines) / static_cast<double>(trial);
    for (int h = 1; h <= hotelCount; ++h) {
        const int busy = occupancy.busiestMonth(h, plan.firstArrival, plan.lastArrival, scale);
        rooms[h - 1] = static_cast<int>(static_cast<double>(busy) / kBusiestMonthOccupancy + 0.999);
    }
    return rooms;
}

// Writes a season's bookings. A booking that finds its hotel full on some
// night goes to the next hotel of the group with room, or is dropped and
// another drawn; after many full hotels in a row it is taken as it is (an
// overbooking), so that the season always gets its lines.
SeasonResult writeSeason(const fs::path& dir, const SeasonPlan& plan,
                         const std::vector<Hotel>& hotels, const std::vector<Company>& companies,
                         SeededRandom random, const std::vector<int>& rooms,
                         ReferenceCounts* counts)
{
    constexpr int kMaxRedraws = 100;
    const int hotelCount = static_cast<int>(hotels.size());
    SeasonFiles files(dir, plan.prefix, plan.firstArrival, plan.lastArrival + kStayMargin);
    BookingFactory factory(hotels, companies, plan, random);
    Occupancy occupancy(hotelCount, plan.firstArrival, plan.lastArrival + kStayMargin);
    SeasonResult result;
    int redraws = 0;
    while (result.lines < plan.lines) {
        Booking b = factory.make(plan.lines - result.lines);
        if (!occupancy.fits(b.hotel, b.lines, rooms[b.hotel - 1])) {
            const int wanted = b.hotel;
            for (int k = 1; k < hotelCount; ++k) {
                const int other = (wanted - 1 + k) % hotelCount + 1;
                if (occupancy.fits(other, b.lines, rooms[other - 1])) {
                    b.hotel = other;
                    break;
                }
            }
            if (b.hotel == wanted && ++redraws < kMaxRedraws)
                continue;
        }
        redraws = 0;
        factory.number(b);
        files.write(b);
        occupancy.add(b.hotel, b.lines);
        ++result.headers;
        result.lines += static_cast<std::int64_t>(b.lines.size());
        if (counts && b.code > 0)
            for (const Line& line : b.lines)
                if (line.arrival <= plan.referenceLast && line.departure > plan.referenceFirst)
                    ++(*counts)[b.code];
    }
    files.finish();
    return result;
}

// ---------------------------------------------------------------------------
// The other files

std::vector<Hotel> makeHotels(const GroupOptions& group)
{
    SeededRandom random = SeededRandom::stream(group.seed, "hotels");
    const auto hotelNames = names::hotels(group.hotels, random);
    std::vector<Hotel> hotels;
    for (int k = 1; k <= group.hotels; ++k)
        hotels.push_back({k, hotelNames[k - 1], random.between(60, 180) * 100});
    return hotels;
}

std::vector<Company> makeCompanies(const GroupOptions& group)
{
    SeededRandom random = SeededRandom::stream(group.seed, "companies");
    const auto companyNames = names::companies(group.companies, random);
    std::vector<Company> companies;
    for (int i = 0; i < group.companies; ++i) {
        Company c;
        c.code = i + 1;
        c.hotel = static_cast<int>(random.between(1, group.hotels));
        c.name = companyNames[i];
        c.town = names::town(random);
        companies.push_back(std::move(c));
    }
    return companies;
}

void writeRegistry(const fs::path& dir, const std::vector<Hotel>& hotels)
{
    NewDataFile file(dir, schema::kRegistryFile);
    file.db().exec("CREATE TABLE \"AnagraficaHotels\" (\"Numero\" INTEGER, \"NumeroHotel\" "
                   "INTEGER, \"RagioneSociale\" TEXT, \"CodiceAssistenza\" TEXT)");
    Transaction tx(file.db());
    {
        Statement st =
            file.db().prepare("INSERT INTO \"AnagraficaHotels\" VALUES (?1, ?2, ?3, ?4)");
        for (const Hotel& h : hotels) {
            st.bind(1, h.number).bind(2, h.number).bindText(3, h.name);
            st.bindText(4, h.number == 1 ? "ABT" : "");
            st.step();
            st.reset();
        }
    }
    tx.commit();
    file.finish();
}

void writeCompanies(const fs::path& dir, const std::vector<Company>& companies)
{
    NewDataFile file(dir, schema::kCompaniesFile);
    file.db().exec("CREATE TABLE \"DitteAbituali\" (\"NumeroHotel\" INTEGER, \"Codice\" INTEGER, "
                   "\"RagioneSociale\" TEXT, \"Localita\" TEXT)");
    Transaction tx(file.db());
    {
        Statement st = file.db().prepare("INSERT INTO \"DitteAbituali\" VALUES (?1, ?2, ?3, ?4)");
        for (const Company& c : companies) {
            st.bind(1, c.hotel).bind(2, c.code).bindText(3, c.name).bindText(4, c.town);
            st.step();
            st.reset();
        }
    }
    tx.commit();
    file.finish();
}

// The hotel's rooms as two "C" rows, plus suites and apartments that do not
// count as the hotel's rooms.
void writeRoomTypes(const fs::path& dir, const std::vector<int>& rooms)
{
    NewDataFile file(dir, schema::kRoomTypesFile);
    file.db().exec("CREATE TABLE \"TipiCamere\" (\"NumeroHotel\" INTEGER, \"Tipologia\" TEXT, "
                   "\"Quantita\" INTEGER)");
    Transaction tx(file.db());
    {
        Statement st = file.db().prepare("INSERT INTO \"TipiCamere\" VALUES (?1, ?2, ?3)");
        auto row = [&st](int hotel, const char* type, int quantity) {
            st.bind(1, hotel).bindText(2, type).bind(3, quantity);
            st.step();
            st.reset();
        };
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            const int hotel = static_cast<int>(i) + 1;
            const int total = rooms[i];
            const int doubles = total * 55 / 100;
            row(hotel, "C", doubles);
            row(hotel, "C", total - doubles);
            row(hotel, "S", std::max(1, total / 20));
            if (hotel % 2 == 1 && total >= 20)
                row(hotel, "A", total / 10);
        }
    }
    tx.commit();
    file.finish();
}

void writePrinters(const fs::path& dir)
{
    NewDataFile file(dir, schema::kPrintersFile);
    const Database& db = file.db();
    db.exec("CREATE TABLE \"Stampanti\" (\"NumeroHotel\" INTEGER, \"Destinazione\" TEXT, "
            "\"TipoStampa\" INTEGER, \"Linea\" TEXT)");
    db.exec("CREATE TABLE \"SetStampa\" (\"TipoStampa\" INTEGER, \"Compresso\" TEXT, "
            "\"Grassetto\" TEXT)");
    Transaction tx(db);
    {
        Statement dest = db.prepare("INSERT INTO \"Stampanti\" VALUES (?1, ?2, ?3, ?4)");
        auto destination = [&dest](int hotel, const char* name, int type, const char* line) {
            dest.bind(1, hotel).bindText(2, name).bind(3, type).bindText(4, line);
            dest.step();
            dest.reset();
        };
        // Windows printer (the system's default device), a dot-matrix printer
        // written raw to a file of the data folder, a PDF printer.
        destination(1, "Laser Ufficio", 1, "");
        destination(1, "Aghi Reception", 2, kRawPrintFile);
        destination(1, "PDF Ufficio", 3, "PDF");
        destination(2, "Laser Ricevimento", 1, "");

        // Twelve groups of three digits each. Compresso: font sizes or start
        // sequences in groups 1-5 and 7-11, group 6 = 1 for the Windows
        // printer. Grassetto: group 6 top margin, 7 and 8 page lengths.
        Statement set = db.prepare("INSERT INTO \"SetStampa\" VALUES (?1, ?2, ?3)");
        auto settings = [&set](int type, const char* compresso, const char* grassetto) {
            set.bind(1, type).bindText(2, compresso).bindText(3, grassetto);
            set.step();
            set.reset();
        };
        settings(1, "007000000000000001010000000000000000", "000000000000000002080066000000000000");
        settings(2, "027064018027015000027064018027080000", "000000000000000001088066000000000000");
        settings(3, "008000000000000001011000000000000000", "000000000000000000070062000000000000");
    }
    tx.commit();
    file.finish();
}

void writeCounters(const fs::path& dir, int hotels)
{
    NewDataFile file(dir, schema::kCountersFile);
    file.db().exec("CREATE TABLE \"Contatori\" (\"NumeroHotel\" INTEGER, \"LungPagComp\" "
                   "INTEGER, \"LungPagNoComp\" INTEGER)");
    Transaction tx(file.db());
    {
        Statement st = file.db().prepare("INSERT INTO \"Contatori\" VALUES (?1, ?2, ?3)");
        for (int h = 1; h <= hotels; ++h) {
            st.bind(1, h).bind(2, h == 1 ? 84 : 80).bind(3, h == 1 ? 62 : 60);
            st.step();
            st.reset();
        }
    }
    tx.commit();
    file.finish();
}

// Companies with bookings in the reference month: first the fixed names
// (apostrophes, accents) up to half of the list, then the busiest; written in
// code order, code right-aligned in 6, a blank, the name, CR LF.
std::vector<std::string> writeCompanyList(const fs::path& dir,
                                          const std::vector<Company>& companies,
                                          const ReferenceCounts& counts, int size)
{
    std::vector<std::int64_t> chosen;
    const auto fixedCount = static_cast<std::int64_t>(names::fixedCompanyCount());
    for (const auto& [code, n] : counts)
        if (code <= fixedCount && static_cast<int>(chosen.size()) < size / 2)
            chosen.push_back(code);
    std::vector<std::pair<std::int64_t, std::int64_t>> busiest; // (-count, code)
    for (const auto& [code, n] : counts)
        if (std::find(chosen.begin(), chosen.end(), code) == chosen.end())
            busiest.emplace_back(-n, code);
    std::sort(busiest.begin(), busiest.end());
    for (const auto& entry : busiest) {
        if (static_cast<int>(chosen.size()) >= size)
            break;
        chosen.push_back(entry.second);
    }
    std::sort(chosen.begin(), chosen.end());

    std::string text;
    std::vector<std::string> listed;
    for (std::int64_t code : chosen) {
        const Company& c = companies[static_cast<std::size_t>(code - 1)];
        char buf[16];
        std::snprintf(buf, sizeof buf, "%6lld ", static_cast<long long>(code));
        text += buf + c.name + "\r\n";
        listed.push_back(c.name);
    }
    writeTextFile(dir, schema::kCompanyListFile, text);
    return listed;
}

} // namespace

GroupSummary writeGroup(const std::filesystem::path& dir, const GroupOptions& group)
{
    if (group.hotels < 1 || group.companies < 0 || group.roomLines < 0 ||
        group.archivedRoomLines < 0 || group.monthsBefore < 0 || group.monthsAfter < 0 ||
        !group.reference.isValid())
        throw DataError("Parametri non validi per i dati generati.");
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        writeFailed(dir, ec);

    const auto hotels = makeHotels(group);
    const auto companies = makeCompanies(group);
    writeRegistry(dir, hotels);
    writeCompanies(dir, companies);

    SeasonPlan current;
    current.firstArrival =
        monthStart(group.reference.year, group.reference.month, -group.monthsBefore).toSerial();
    current.lastArrival =
        monthStart(group.reference.year, group.reference.month, group.monthsAfter + 1).toSerial() -
        1;
    current.lines = group.roomLines;
    current.referenceFirst = serialOf(group.reference.year, group.reference.month, 1);
    current.referenceLast =
        monthStart(group.reference.year, group.reference.month, 1).toSerial() - 1;

    SeasonPlan archived;
    archived.prefix = group.archivedSeason;
    archived.firstArrival = serialOf(group.archivedYear, 1, 1);
    archived.lastArrival = serialOf(group.archivedYear, 12, 31);
    archived.lines = group.archivedSeason.empty() ? 0 : group.archivedRoomLines;
    // Every stay of an archived season is past: no month of its own.
    archived.referenceFirst = archived.lastArrival + 1;
    archived.referenceLast = archived.lastArrival + 1;

    const SeededRandom currentDraws = SeededRandom::stream(group.seed, "season");
    const SeededRandom archivedDraws = SeededRandom::stream(group.seed, "archive");
    std::vector<int> rooms = roomsNeeded(current, hotels, companies, currentDraws);
    const std::vector<int> archivedRooms = roomsNeeded(archived, hotels, companies, archivedDraws);
    for (std::size_t i = 0; i < rooms.size(); ++i)
        rooms[i] = std::max({rooms[i], archivedRooms[i], kFewestRooms});

    GroupSummary summary;
    summary.hotels = group.hotels;
    summary.companies = group.companies;
    summary.hotelRooms = rooms;
    writeRoomTypes(dir, rooms);
    ReferenceCounts counts;
    const auto r = writeSeason(dir, current, hotels, companies, currentDraws, rooms, &counts);
    summary.headers = r.headers;
    summary.roomLines = r.lines;
    if (!group.archivedSeason.empty()) {
        const auto a = writeSeason(dir, archived, hotels, companies, archivedDraws, rooms, nullptr);
        summary.archivedHeaders = a.headers;
        summary.archivedRoomLines = a.lines;
    }
    writePrinters(dir);
    writeCounters(dir, group.hotels);
    summary.listed = writeCompanyList(dir, companies, counts, group.companyListSize);
    writeTextFile(dir, schema::kCsvSettingsFile, ";\r\n,\r\n\x80\r\n");
    writeTextFile(dir, schema::kFontFile, "Courier New\r\n");
    return summary;
}

} // namespace presenze
