#include "demo/HotelFiles.h"

#include "data/Schema.h"
#include "demo/GroupNames.h"
#include "demo/NewDataFile.h"
#include "demo/SeededRandom.h"

#include <algorithm>
#include <string>

namespace presenze::demo {
namespace fs = std::filesystem;
namespace {

// The double rooms among a hotel's counted rooms.
int doubleRooms(int total)
{
    return total * 55 / 100;
}

} // namespace

std::vector<Hotel> makeHotels(const GroupOptions& group)
{
    SeededRandom random = SeededRandom::stream(group.seed, "hotels");
    const auto hotelNames = names::hotels(group.hotels, random);
    std::vector<Hotel> hotels;
    for (int k = 1; k <= group.hotels; ++k)
        hotels.push_back({k, hotelNames[k - 1], random.between(60, 180) * 100});
    return hotels;
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
            const int doubles = doubleRooms(total);
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

void writeBeds(const fs::path& dir, const std::vector<int>& rooms)
{
    std::string lines;
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        const int others = rooms[i] - doubleRooms(rooms[i]);
        const int beds = 2 * doubleRooms(rooms[i]) + others + others / 2;
        lines += std::to_string(i + 1) + " " + std::to_string(beds) + "\r\n";
    }
    writeTextFile(dir, schema::kBedsFile, lines);
}

} // namespace presenze::demo
