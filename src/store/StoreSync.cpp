#include "store/StoreSync.h"

#include "data/Text1252.h"
#include "store/CopyWriter.h"
#include "store/DailySnapshot.h"
#include "store/PgTransaction.h"
#include "store/StoreError.h"
#include "store/StoreSchema.h"

namespace presenze {
namespace {

// The group's rows of every mirrored table, gone before the new ones come.
constexpr const char* kForget[] = {
    "DELETE FROM presenze.stagione WHERE gruppo = $1",
    "DELETE FROM presenze.scheda_prenotazione WHERE gruppo = $1",
    "DELETE FROM presenze.camere_prenotazione WHERE gruppo = $1",
    "DELETE FROM presenze.anagraficahotels WHERE gruppo = $1",
    "DELETE FROM presenze.tipicamere WHERE gruppo = $1",
    "DELETE FROM presenze.ditteabituali WHERE gruppo = $1",
    "DELETE FROM presenze.elencoditte WHERE gruppo = $1",
};

class GroupWriter {
public:
    GroupWriter(PgConnection& connection, std::string_view group)
        : m_connection(connection), m_group(group)
    {}

    // COPY into `sql`'s table; `rows` writes the rows after the group's field.
    template <typename Rows> void copy(const char* sql, Rows&& rows)
    {
        m_connection.copyIn(sql, [&](const PgConnection::CopySend& send) {
            CopyWriter out(send);
            rows([&]() -> CopyWriter& { return out.text(m_group); });
            out.finish();
        });
    }

private:
    PgConnection& m_connection;
    std::string_view m_group;
};

void writeSeasons(GroupWriter& writer, const GroupData& data)
{
    writer.copy("COPY presenze.stagione (gruppo, stagione, riga) FROM STDIN", [&](auto row) {
        for (std::size_t i = 0; i < data.seasons.size(); ++i) {
            row().text(data.seasons[i].prefix).number(static_cast<std::int64_t>(i + 1)).endRow();
        }
    });
    writer.copy("COPY presenze.scheda_prenotazione (gruppo, stagione, riga, numeroprenotazione, "
                "numerohotel, tipoprenotazione, ditta, codiceditta, nazione, commento) FROM STDIN",
                [&](auto row) {
                    for (const SeasonData& season : data.seasons)
                        for (const BookingHeader& h : season.headers)
                            row()
                                .text(season.prefix)
                                .number(h.order)
                                .number(h.numeroPrenotazione)
                                .number(h.numeroHotel)
                                .text(h.tipoPrenotazione)
                                .text(h.ditta)
                                .number(h.codiceDitta)
                                .text(h.nazione)
                                .text(h.commento)
                                .endRow();
                });
    writer.copy("COPY presenze.camere_prenotazione (gruppo, stagione, riga, numeroprenotazione, "
                "numerohotel, tipoprenotazione, dataarrivo, datapartenza, numeropersone, "
                "quantitacamere, note, giornitariffa, prezzo) FROM STDIN",
                [&](auto row) {
                    for (const SeasonData& season : data.seasons)
                        for (std::size_t i = 0; i < season.lines.size(); ++i) {
                            const RoomLine& l = season.lines[i];
                            row()
                                .text(season.prefix)
                                .number(static_cast<std::int64_t>(i + 1))
                                .number(l.numeroPrenotazione)
                                .number(l.numeroHotel)
                                .text(l.tipoPrenotazione)
                                .text(l.dataArrivo)
                                .text(l.dataPartenza)
                                .number(l.numeroPersone)
                                .number(l.quantitaCamere)
                                .text(l.note)
                                .number(l.giorniTariffa)
                                .currency(l.prezzo)
                                .endRow();
                        }
                });
}

void writeFiles(GroupWriter& writer, const GroupData& data)
{
    writer.copy("COPY presenze.anagraficahotels (gruppo, riga, numero, numerohotel, "
                "ragionesociale, codiceassistenza) FROM STDIN",
                [&](auto row) {
                    for (std::size_t i = 0; i < data.registry.size(); ++i) {
                        const HotelRecord& h = data.registry[i];
                        row()
                            .number(static_cast<std::int64_t>(i + 1))
                            .number(h.numero)
                            .number(h.numeroHotel)
                            .text(h.ragioneSociale)
                            .text(h.codiceAssistenza)
                            .endRow();
                    }
                });
    writer.copy(
        "COPY presenze.tipicamere (gruppo, riga, numerohotel, tipologia, quantita) FROM STDIN",
        [&](auto row) {
            for (std::size_t i = 0; i < data.roomTypes.size(); ++i) {
                const RoomTypeRecord& t = data.roomTypes[i];
                row()
                    .number(static_cast<std::int64_t>(i + 1))
                    .number(t.numeroHotel)
                    .text(t.tipologia)
                    .number(t.quantita)
                    .endRow();
            }
        });
    writer.copy("COPY presenze.ditteabituali (gruppo, riga, numerohotel, codice, ragionesociale, "
                "localita) FROM STDIN",
                [&](auto row) {
                    for (std::size_t i = 0; i < data.companies.size(); ++i) {
                        const CompanyRecord& c = data.companies[i];
                        row()
                            .number(static_cast<std::int64_t>(i + 1))
                            .number(c.numeroHotel)
                            .number(c.codice)
                            .text(c.ragioneSociale)
                            .text(c.localita)
                            .endRow();
                    }
                });
    writer.copy("COPY presenze.elencoditte (gruppo, riga, testo) FROM STDIN", [&](auto row) {
        for (std::size_t i = 0; i < data.companyListLines.size(); ++i)
            row().number(static_cast<std::int64_t>(i + 1)).text(data.companyListLines[i]).endRow();
    });
}

std::size_t writeSnapshot(GroupWriter& writer, const GroupData& data, const Date& day)
{
    std::size_t count = 0;
    const SeasonData* season = data.currentSeason();
    if (!season)
        return count;
    writer.copy("COPY presenze.istantanea (gruppo, data, numerohotel, notte, ditta, "
                "tipoprenotazione, numeroprenotazione, camere, persone, ricavo) FROM STDIN",
                [&](auto row) {
                    forEachSnapshotRow(*season, day, [&](const SnapshotRow& r) {
                        row()
                            .date(day)
                            .number(r.hotel)
                            .date(Date::fromSerial(r.night))
                            .text(r.company)
                            .text(r.kind)
                            .number(r.booking)
                            .number(r.rooms)
                            .number(r.persons)
                            .currency(r.revenue)
                            .endRow();
                        ++count;
                    });
                });
    return count;
}

StoreError failed(const StoreAddress& address, std::string_view group, std::string_view cause)
{
    std::string text(cause);
    if (text.empty() || (text.back() != '.' && text.back() != '?' && text.back() != '!'))
        text += '.';
    return StoreError("Sincronizzazione del gruppo \"" + std::string(group) + "\" sul server " +
                      address.server + " non riuscita: " + text +
                      " Sul server resta lo stato precedente.");
}

} // namespace

SyncSummary syncGroup(const StoreAddress& address, std::string_view group, const GroupData& data,
                      const Date& day)
{
    SyncSummary summary;
    try {
        PgConnection connection(address);
        PgTransaction transaction(connection, PgTransaction::Kind::Write);
        prepareStoreSchema(connection);
        const std::string name = cp1252ToUtf8(group);
        const std::string date = isoDate(day);
        // The group's row, locked until the end: syncs of one group follow
        // one another.
        connection.query("INSERT INTO presenze.gruppo (gruppo, sincronizzato, istantanea) "
                         "VALUES ($1, now(), $2) ON CONFLICT (gruppo) DO UPDATE SET "
                         "sincronizzato = excluded.sincronizzato, istantanea = excluded.istantanea",
                         {name, date});
        for (const char* forget : kForget)
            connection.query(forget, {name});
        GroupWriter writer(connection, group);
        writeSeasons(writer, data);
        writeFiles(writer, data);
        connection.query("DELETE FROM presenze.istantanea WHERE gruppo = $1 AND data = $2",
                         {name, date});
        summary.snapshotRows = writeSnapshot(writer, data, day);
        transaction.commit();
    } catch (const StoreError& e) {
        throw failed(address, group, e.cause());
    } catch (const DataError& e) {
        throw failed(address, group, e.what());
    }
    summary.seasons = data.seasons.size();
    for (const SeasonData& season : data.seasons) {
        summary.headers += season.headers.size();
        summary.lines += season.lines.size();
    }
    return summary;
}

} // namespace presenze
