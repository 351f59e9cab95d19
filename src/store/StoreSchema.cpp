#include "store/StoreSchema.h"

#include "data/Text1252.h"
#include "store/PgConnection.h"
#include "store/StoreError.h"

#include <charconv>

namespace presenze {
namespace {

// The tables, as one script. Text compared as dates or keys is compared by
// its bytes (COLLATE "C").
constexpr const char* kTables = R"sql(
CREATE TABLE presenze.versione (versione integer NOT NULL);
INSERT INTO presenze.versione (versione) VALUES (1);
CREATE TABLE presenze.gruppo (
    gruppo text COLLATE "C" PRIMARY KEY,
    sincronizzazione bigint NOT NULL,
    sincronizzato timestamptz NOT NULL,
    istantanea date NOT NULL
);
CREATE TABLE presenze.stagione (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    stagione text COLLATE "C" NOT NULL,
    riga integer NOT NULL,
    PRIMARY KEY (gruppo, sincronizzazione, stagione)
);
CREATE TABLE presenze.anagraficahotels (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    riga integer NOT NULL,
    numero bigint NOT NULL,
    numerohotel bigint NOT NULL,
    ragionesociale text NOT NULL,
    codiceassistenza text NOT NULL,
    PRIMARY KEY (gruppo, sincronizzazione, riga)
);
CREATE TABLE presenze.tipicamere (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    riga integer NOT NULL,
    numerohotel bigint NOT NULL,
    tipologia text NOT NULL,
    quantita bigint NOT NULL,
    PRIMARY KEY (gruppo, sincronizzazione, riga)
);
CREATE TABLE presenze.ditteabituali (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    riga integer NOT NULL,
    numerohotel bigint NOT NULL,
    codice bigint NOT NULL,
    ragionesociale text NOT NULL,
    localita text NOT NULL,
    PRIMARY KEY (gruppo, sincronizzazione, riga)
);
CREATE TABLE presenze.elencoditte (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    riga integer NOT NULL,
    testo text NOT NULL,
    PRIMARY KEY (gruppo, sincronizzazione, riga)
);
CREATE TABLE presenze.scheda_prenotazione (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    stagione text COLLATE "C" NOT NULL,
    riga integer NOT NULL,
    numeroprenotazione bigint NOT NULL,
    numerohotel bigint NOT NULL,
    tipoprenotazione text NOT NULL,
    ditta text NOT NULL,
    codiceditta bigint,
    nazione text NOT NULL,
    commento text NOT NULL
);
CREATE TABLE presenze.camere_prenotazione (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    stagione text COLLATE "C" NOT NULL,
    riga integer NOT NULL,
    numeroprenotazione bigint NOT NULL,
    numerohotel bigint NOT NULL,
    tipoprenotazione text NOT NULL,
    dataarrivo text COLLATE "C" NOT NULL,
    datapartenza text COLLATE "C" NOT NULL,
    numeropersone bigint NOT NULL,
    quantitacamere bigint NOT NULL,
    note text NOT NULL,
    giornitariffa bigint NOT NULL,
    prezzo numeric(19,4) NOT NULL
);
CREATE TABLE presenze.istantanea (
    gruppo text COLLATE "C" NOT NULL,
    sincronizzazione bigint NOT NULL,
    data date NOT NULL,
    numerohotel bigint NOT NULL,
    dal date NOT NULL,
    al date NOT NULL,
    ditta text NOT NULL,
    tipoprenotazione text NOT NULL,
    numeroprenotazione bigint NOT NULL,
    camere bigint NOT NULL,
    persone bigint NOT NULL,
    ricavo numeric(19,4) NOT NULL
);
CREATE INDEX istantanea_giorno ON presenze.istantanea
    USING brin (data, gruppo) WITH (autosummarize = on);
CREATE VIEW presenze.istantanea_notti AS
    SELECT i.gruppo, i.data, i.numerohotel, n.notte::date AS notte, i.ditta,
           i.tipoprenotazione, i.numeroprenotazione, i.camere, i.persone, i.ricavo
    FROM presenze.istantanea i,
         LATERAL generate_series(i.dal, i.al, interval '1 day') AS n (notte);
)sql";

// The block range indexes of the booking tables: a sync writes a group's
// seasons one after the other, so the season too leads a read to its own
// block ranges, not to those of the group's other seasons. A layout made
// before they held the season gets them at its next sync.
constexpr const char* kSeasonIndexes = R"sql(
CREATE INDEX IF NOT EXISTS scheda_prenotazione_stagione ON presenze.scheda_prenotazione
    USING brin (gruppo, sincronizzazione, stagione) WITH (autosummarize = on);
CREATE INDEX IF NOT EXISTS camere_prenotazione_stagione ON presenze.camere_prenotazione
    USING brin (gruppo, sincronizzazione, stagione) WITH (autosummarize = on);
DROP INDEX IF EXISTS presenze.scheda_prenotazione_gruppo;
DROP INDEX IF EXISTS presenze.camere_prenotazione_gruppo;
)sql";

bool hasSeasonIndexes(PgConnection& connection)
{
    const PgResult result =
        connection.query("SELECT to_regclass('presenze.scheda_prenotazione_stagione') IS NOT NULL "
                         "AND to_regclass('presenze.camere_prenotazione_stagione') IS NOT NULL "
                         "AND to_regclass('presenze.camere_prenotazione_gruppo') IS NULL");
    return result.value(0, 0) == "t";
}

int versionOf(PgConnection& connection)
{
    const PgResult result = connection.query("SELECT max(versione) FROM presenze.versione");
    int version = 0;
    const std::string_view text = result.rows() == 1 ? result.value(0, 0) : std::string_view();
    std::from_chars(text.data(), text.data() + text.size(), version);
    return version;
}

void checkVersion(int version)
{
    if (version != kStoreVersion)
        throw StoreError("lo schema presenze del server \xE8 della versione " +
                         std::to_string(version) + ", questo programma conosce la versione " +
                         std::to_string(kStoreVersion));
}

struct Found {
    bool schema = false;
    bool versionTable = false;
};

Found look(PgConnection& connection)
{
    const PgResult result = connection.query("SELECT to_regnamespace('presenze') IS NOT NULL, "
                                             "to_regclass('presenze.versione') IS NOT NULL");
    return {result.value(0, 0) == "t", result.value(0, 1) == "t"};
}

} // namespace

void prepareStoreSchema(PgConnection& connection)
{
    // Two stations syncing for the first time at once create it once.
    connection.query("SELECT pg_advisory_xact_lock(7301873255)");
    const Found found = look(connection);
    if (!found.schema)
        connection.execute("CREATE SCHEMA presenze");
    if (!found.versionTable)
        connection.execute(kTables);
    else
        checkVersion(versionOf(connection));
    if (!hasSeasonIndexes(connection))
        connection.execute(kSeasonIndexes);
}

void requireStoreSchema(PgConnection& connection)
{
    const Found found = look(connection);
    if (!found.schema || !found.versionTable)
        throw StoreError("sul server non ci sono dati di Presenze (manca lo schema presenze)");
    checkVersion(versionOf(connection));
}

} // namespace presenze
