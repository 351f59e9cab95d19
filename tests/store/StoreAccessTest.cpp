// Who may do what on the chain's server, set up as the README tells a chain
// to (a role that syncs and owns schema "presenze", a role that only reads),
// and the faults that must each end in one Italian message with the server
// left as it was: a wrong or missing password, missing rights, a schema of
// another version, bad group names, a folder that cannot be read, a server
// that does not answer.

#include "store/PgConnection.h"
#include "store/StoreError.h"
#include "store/StoreSupport.h"
#include "support/PrivateCups.h"

#include <chrono>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

constexpr const char* kChainSetup = R"sql(
CREATE ROLE presenze_sync LOGIN PASSWORD 'sync-segreta';
CREATE ROLE presenze_lettura LOGIN PASSWORD 'lettura-segreta';
CREATE SCHEMA presenze AUTHORIZATION presenze_sync;
GRANT USAGE ON SCHEMA presenze TO presenze_lettura;
ALTER DEFAULT PRIVILEGES FOR ROLE presenze_sync IN SCHEMA presenze
    GRANT SELECT ON TABLES TO presenze_lettura;
)sql";

const std::string kSyncPassword = "PGPASSWORD=sync-segreta";
const std::string kReadPassword = "PGPASSWORD=lettura-segreta";

// What the server holds of every group, as one text.
std::string serverState(const test::PrivatePostgres& server)
{
    return server.value("SELECT coalesce(string_agg(gruppo || ':' || istantanea, ','), '') || '/' "
                        "|| (SELECT count(*) FROM presenze.camere_prenotazione) || '/' || "
                        "(SELECT count(*) FROM presenze.istantanea) FROM presenze.gruppo");
}

// Whether `sql` may run as `user` (with that user's password).
std::string refusal(const test::PrivatePostgres& server, const std::string& user,
                    const std::string& password, const char* sql)
{
    test::ScopedEnv env("PGPASSWORD", password.c_str());
    try {
        PgConnection(StoreAddress{server.conninfo(user), "test"}).execute(sql);
        return {};
    } catch (const StoreError& e) {
        return e.what();
    }
}

} // namespace

TEST(StoreAccess, EachRoleDoesOnlyWhatItMayAndFaultsLeaveTheServerAsItWas)
{
    PRESENZE_PRIVATE_SERVER(server);
    server->sql(kChainSetup);
    test::TempDir hotel, station;
    test::copyFixture("hotel", hotel.path());
    auto r = test::sync(*server, hotel.path(), "Hotel Nord", "08/12/2026 14:00", "presenze_sync",
                        {kSyncPassword});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Gruppo \"Hotel Nord\" sincronizzato"), std::string::npos) << r.out;
    const std::string state = serverState(*server);

    // Readers read, and write nowhere; the sync role writes only its schema.
    r = test::cli({"report", "--type", "1", "--from", "02/2024", "--data-dir",
                   station.path().string(), "--station", "1", "--source",
                   server->conninfo("presenze_lettura"), "--group", "Hotel Nord"},
                  {kReadPassword});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* sql :
         {"DELETE FROM presenze.camere_prenotazione",
          "INSERT INTO presenze.gruppo VALUES ('x', 1, now(), now())",
          "CREATE TABLE presenze.altro (x integer)", "CREATE TABLE public.altro (x integer)"})
        EXPECT_NE(refusal(*server, "presenze_lettura", "lettura-segreta", sql)
                      .find("permessi insufficienti"),
                  std::string::npos)
            << sql;
    EXPECT_NE(refusal(*server, "presenze_sync", "sync-segreta", "CREATE TABLE public.altro (x int)")
                  .find("permessi insufficienti"),
              std::string::npos);

    // Each fault: its exit status and words, and the server as it was.
    test::TempDir broken;
    test::copyFixture("hotel", broken.path());
    test::writeFile(broken / "Camere_Prenotazione.mdb", std::string(4096, '\x5A'));
    struct Fault {
        const char* what;
        std::vector<std::string> args;
        std::vector<std::string> env;
        int status;
        const char* words;
    };
    const std::string folder = hotel.path().string();
    const std::string asSync = server->conninfo("presenze_sync");
    const std::vector<Fault> faults = {
        {"a reader syncing",
         {"--to", server->conninfo("presenze_lettura")},
         {kReadPassword},
         1,
         "permessi insufficienti"},
        {"a wrong password",
         {"--to", asSync},
         {"PGPASSWORD=sbagliata"},
         1,
         "utente o password non validi"},
        {"no password", {"--to", asSync}, {"PGPASSWORD"}, 1, "chiede una password"},
        {"a password on the command line",
         {"--to", asSync + " password=sync-segreta"},
         {},
         2,
         "password non va scritta"},
        {"a connection string that is none",
         {"--to", "host=x dbname"},
         {},
         2,
         "Stringa di connessione non valida"},
        {"a name with a quote", {"--to", asSync, "--group", "O'Hara"}, {}, 2, "non valido"},
        {"a name with double quotes", {"--to", asSync, "--group", "\"Nord\""}, {}, 2, "non valido"},
        {"a name of 200 characters",
         {"--to", asSync, "--group", std::string(200, 'a')},
         {},
         2,
         "troppo lungo"},
        {"an empty name", {"--to", asSync, "--group", ""}, {}, 2, "vuoto"},
        {"a folder that cannot be read",
         {"--to", asSync, "--data-dir", broken.path().string()},
         {kSyncPassword},
         1,
         "Nulla \xC3\xA8 stato scritto"},
    };
    for (const Fault& f : faults) {
        std::vector<std::string> args = {"sync", "--group", "Hotel Nord", "--data-dir", folder};
        args.insert(args.end(), f.args.begin(), f.args.end());
        r = test::cli(args, f.env);
        EXPECT_EQ(r.status, f.status) << f.what << ": " << r.err;
        EXPECT_NE(r.err.find(f.words), std::string::npos) << f.what << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << f.what;
        EXPECT_EQ(serverState(*server), state) << f.what;
    }

    // A layout of another version is refused by syncs and reports alike.
    server->sql("UPDATE presenze.versione SET versione = 2");
    r = test::sync(*server, hotel.path(), "Hotel Nord", "08/12/2026 14:00", "presenze_sync",
                   {kSyncPassword});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("versione 2"), std::string::npos) << r.err;
    r = test::cli({"report", "--type", "2", "--from", "02/2024", "--data-dir",
                   station.path().string(), "--source", server->conninfo("presenze_lettura"),
                   "--group", "Hotel Nord"},
                  {kReadPassword});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("versione 2"), std::string::npos) << r.err;
    server->sql("UPDATE presenze.versione SET versione = 1");
    EXPECT_EQ(serverState(*server), state);

    // A group the server does not hold.
    r = test::cli({"report", "--type", "1", "--from", "02/2024", "--data-dir",
                   station.path().string(), "--source", server->conninfo(), "--group", "Sud"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("il gruppo non \xC3\xA8 sul server"), std::string::npos) << r.err;
}

TEST(StoreAccess, AServerThatDoesNotAnswerFailsWithinItsLimit)
{
    // A listener nobody reads from: the connection is made, no answer comes.
    test::LoopbackListener silent;
    ASSERT_GT(silent.port(), 0);
    test::TempDir hotel;
    test::copyFixture("hotel", hotel.path());
    const auto start = std::chrono::steady_clock::now();
    const auto r = test::cli(
        {"sync", "--to",
         "host=127.0.0.1 port=" + std::to_string(silent.port()) + " dbname=presenze user=nessuno",
         "--group", "g", "--data-dir", hotel.path().string()});
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("il server non risponde"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("gruppo \"g\""), std::string::npos) << r.err;
    EXPECT_LT(seconds, 20);
}
