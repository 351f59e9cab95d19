#include "demo/SeasonFiles.h"

#include "data/Dates.h"
#include "data/Schema.h"

namespace presenze::demo {
namespace {

std::string roomsTableSql()
{
    return "CREATE TABLE \"Camere_Prenotazione\" (\"NumeroPrenotazione\" INTEGER, "
           "\"NumeroHotel\" INTEGER, \"TipoPrenotazione\" TEXT, \"DataArrivo\" TEXT, "
           "\"DataPartenza\" TEXT, \"NumeroPersone\" INTEGER, \"" +
           std::string(schema::kRoomsQuantitySql) +
           "\" INTEGER, \"Note\" TEXT, \"GiorniTariffa\" INTEGER, \"Prezzo\" REAL)";
}

} // namespace

SeasonFiles::SeasonFiles(const std::filesystem::path& dir, const std::string& prefix, long firstDay,
                         long lastDay)
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

void SeasonFiles::write(const Booking& b)
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

void SeasonFiles::finish()
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

} // namespace presenze::demo
