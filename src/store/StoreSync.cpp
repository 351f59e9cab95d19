#include "store/StoreSync.h"

#include "data/Text1252.h"
#include "store/CopyWriter.h"
#include "store/DailySnapshot.h"
#include "store/PgTransaction.h"
#include "store/StoreError.h"
#include "store/StoreSchema.h"

#include <future>
#include <optional>
#include <vector>

namespace presenze {
namespace {

// The group's rows of every mirrored table written by earlier syncs.
constexpr const char* kForget[] = {
    "DELETE FROM presenze.stagione WHERE gruppo = $1 AND sincronizzazione < $2",
    "DELETE FROM presenze.scheda_prenotazione WHERE gruppo = $1 AND sincronizzazione < $2",
    "DELETE FROM presenze.camere_prenotazione WHERE gruppo = $1 AND sincronizzazione < $2",
    "DELETE FROM presenze.anagraficahotels WHERE gruppo = $1 AND sincronizzazione < $2",
    "DELETE FROM presenze.tipicamere WHERE gruppo = $1 AND sincronizzazione < $2",
    "DELETE FROM presenze.ditteabituali WHERE gruppo = $1 AND sincronizzazione < $2",
    "DELETE FROM presenze.elencoditte WHERE gruppo = $1 AND sincronizzazione < $2",
};

class GroupWriter {
public:
    GroupWriter(PgConnection& connection, std::string_view group, std::int64_t sync)
        : m_connection(connection), m_group(group), m_sync(sync)
    {}

    // COPY into `sql`'s table; `rows` writes the rows after the fields of
    // the group and the sync.
    template <typename Rows> void copy(const char* sql, Rows&& rows)
    {
        m_connection.copyIn(sql, [&](const PgConnection::CopySend& send) {
            CopyWriter out(send);
            rows([&]() -> CopyWriter& { return out.text(m_group).number(m_sync); });
            out.finish();
        });
    }

private:
    PgConnection& m_connection;
    std::string_view m_group;
    std::int64_t m_sync;
};

void writeSeasons(GroupWriter& writer, const GroupData& data)
{
    writer.copy("COPY presenze.stagione (gruppo, sincronizzazione, stagione, riga) FROM STDIN",
                [&](auto row) {
                    for (std::size_t i = 0; i < data.seasons.size(); ++i) {
                        row()
                            .text(data.seasons[i].prefix)
                            .number(static_cast<std::int64_t>(i + 1))
                            .endRow();
                    }
                });
    writer.copy("COPY presenze.scheda_prenotazione (gruppo, sincronizzazione, stagione, riga, "
                "numeroprenotazione, "
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
    writer.copy("COPY presenze.camere_prenotazione (gruppo, sincronizzazione, stagione, riga, "
                "numeroprenotazione, "
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
    writer.copy(
        "COPY presenze.anagraficahotels (gruppo, sincronizzazione, riga, numero, numerohotel, "
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
    writer.copy("COPY presenze.tipicamere (gruppo, sincronizzazione, riga, numerohotel, tipologia, "
                "quantita) FROM STDIN",
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
    writer.copy("COPY presenze.ditteabituali (gruppo, sincronizzazione, riga, numerohotel, codice, "
                "ragionesociale, "
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
    writer.copy("COPY presenze.elencoditte (gruppo, sincronizzazione, riga, testo) FROM STDIN",
                [&](auto row) {
                    for (std::size_t i = 0; i < data.companyListLines.size(); ++i)
                        row()
                            .number(static_cast<std::int64_t>(i + 1))
                            .text(data.companyListLines[i])
                            .endRow();
                });
}

// The snapshot's COPY rows, made while the server takes the booking tables.
struct SnapshotText {
    std::vector<std::string> pieces;
    std::size_t rows = 0;
};

SnapshotText snapshotText(const GroupData& data, std::string_view group, std::int64_t sync,
                          const Date& day)
{
    SnapshotText text;
    const SeasonData* season = data.currentSeason();
    if (!season)
        return text;
    const PgConnection::CopySend keep = [&](std::string_view piece) {
        text.pieces.emplace_back(piece);
    };
    CopyWriter out(keep);
    forEachSnapshotRow(*season, day, [&](const SnapshotRow& r) {
        out.text(group)
            .number(sync)
            .date(day)
            .number(r.hotel)
            .date(Date::fromSerial(r.first))
            .date(Date::fromSerial(r.last))
            .text(r.company)
            .text(r.kind)
            .number(r.booking)
            .number(r.rooms)
            .number(r.persons)
            .currency(r.revenue)
            .endRow();
        ++text.rows;
    });
    out.finish();
    return text;
}

void writeSnapshot(PgConnection& connection, const SnapshotText& text)
{
    connection.copyIn("COPY presenze.istantanea (gruppo, sincronizzazione, data, numerohotel, dal, "
                      "al, ditta, tipoprenotazione, numeroprenotazione, camere, persone, ricavo) "
                      "FROM STDIN",
                      [&](const PgConnection::CopySend& send) {
                          for (const std::string& piece : text.pieces)
                              send(piece);
                      });
}

// The folder as read in the background, or why it could not be.
struct FolderRead {
    GroupData data;
    std::optional<std::string> problem;
};

// Leaves the transaction when the folder could not be read.
struct FolderProblem {
    std::string text;
};

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

SyncSummary syncFolder(const StoreAddress& address, std::string_view group,
                       const BookingSource& folder, const WarningSink& warn, const Date& day)
{
    // The folder is read while the server gets ready: the schema, the
    // group's row and the removal of the previous sync's rows, which no one
    // sees before the commit.
    auto reading = std::async(std::launch::async, [&folder, &warn] {
        FolderRead read;
        try {
            read.data = readGroupData(folder, warn);
        } catch (const DataError& e) {
            read.problem = e.what();
        }
        return read;
    });
    FolderRead read;
    SyncSummary summary;
    try {
        PgConnection connection(address);
        PgTransaction transaction(connection, PgTransaction::Kind::Write);
        // Removals and writes are plain scans and appends: compiling their
        // expressions costs more than it saves.
        connection.execute("SET LOCAL jit = off");
        prepareStoreSchema(connection);
        const std::string name = cp1252ToUtf8(group);
        const std::string date = isoDate(day);
        // The group's row, locked until the end: syncs of one group follow
        // one another.
        const PgResult counted = connection.query(
            "INSERT INTO presenze.gruppo (gruppo, sincronizzazione, sincronizzato, istantanea) "
            "VALUES ($1, 1, now(), $2) ON CONFLICT (gruppo) DO UPDATE SET "
            "sincronizzazione = presenze.gruppo.sincronizzazione + 1, "
            "sincronizzato = excluded.sincronizzato, istantanea = excluded.istantanea "
            "RETURNING sincronizzazione",
            {name, date});
        const std::string sync(counted.value(0, 0));
        for (const char* forget : kForget)
            connection.query(forget, {name, sync});
        connection.query("DELETE FROM presenze.istantanea WHERE gruppo = $1 AND data = $2",
                         {name, date});
        read = reading.get();
        if (read.problem)
            throw FolderProblem{*read.problem};
        const GroupData& data = read.data;
        auto snapshot = std::async(
            std::launch::async, [&] { return snapshotText(data, group, std::stoll(sync), day); });
        GroupWriter writer(connection, group, std::stoll(sync));
        writeSeasons(writer, data);
        writeFiles(writer, data);
        const SnapshotText text = snapshot.get();
        writeSnapshot(connection, text);
        summary.snapshotRows = text.rows;
        transaction.commit();
    } catch (const FolderProblem& problem) {
        // The transaction is rolled back: nothing was written.
        throw DataError(problem.text + "\nNulla \xE8 stato scritto sul server.");
    } catch (const StoreError& e) {
        throw failed(address, group, e.cause());
    } catch (const DataError& e) {
        throw failed(address, group, e.what());
    }
    summary.seasons = read.data.seasons.size();
    for (const SeasonData& season : read.data.seasons) {
        summary.headers += season.headers.size();
        summary.lines += season.lines.size();
    }
    return summary;
}

} // namespace presenze
