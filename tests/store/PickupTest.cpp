// The pickup over hand-made snapshots on the private server: the newest
// snapshot on or before each day is taken, kinds other than C, D and O are
// off the books, and new, lost and confirmed bookings are told apart.

#include "store/PgConnection.h"
#include "store/PgTransaction.h"
#include "store/StoreSchema.h"
#include "store/StoreSupport.h"

using namespace presenze;

namespace {

// (data, numerohotel, dal, al, ditta, tipoprenotazione, numeroprenotazione,
//  camere, persone, ricavo)
constexpr const char* kSnapshots = R"sql(
INSERT INTO presenze.gruppo VALUES ('catena', 1, now(), '2026-12-07'),
    ('solo', 1, now(), '2026-12-07');
INSERT INTO presenze.anagraficahotels VALUES ('catena', 1, 1, 1, 1, 'EDEN', ''),
    ('catena', 1, 2, 2, 2, 'MIRAMARE', '');
INSERT INTO presenze.istantanea (gruppo, sincronizzazione, data, numerohotel, dal, al, ditta,
    tipoprenotazione, numeroprenotazione, camere, persone, ricavo) VALUES
  ('catena', 1, '2026-11-01', 1, '2026-12-08', '2026-12-08', 'ZZ', 'C', 99, 50, 50, 9999),
  ('catena', 1, '2026-11-08', 1, '2026-12-08', '2026-12-09', 'ROSSI', 'C', 10, 2, 4, 0),
  ('catena', 1, '2026-11-08', 1, '2026-12-08', '2026-12-08', 'BIANCHI', 'O', 11, 1, 2, 90),
  ('catena', 1, '2026-11-08', 1, '2026-12-08', '2026-12-08', 'VERDI', 'C', 12, 3, 6, 300),
  ('catena', 1, '2026-11-08', 1, '2026-12-09', '2026-12-09', 'NERI', 'O', 13, 1, 1, 50),
  ('catena', 1, '2026-11-08', 2, '2026-12-09', '2026-12-09', 'GIALLI', 'D', 20, 1, 2, 80),
  ('catena', 1, '2026-11-08', 1, '2026-12-20', '2026-12-21', 'ROSSI', 'C', 10, 2, 4, 0),
  ('catena', 1, '2026-12-07', 1, '2026-12-08', '2026-12-08', 'ROSSI', 'C', 10, 3, 5, 250),
  ('catena', 1, '2026-12-07', 1, '2026-12-09', '2026-12-09', 'ROSSI', 'C', 10, 3, 5, 0),
  ('catena', 1, '2026-12-07', 1, '2026-12-08', '2026-12-08', 'BIANCHI', 'C', 11, 1, 2, 90),
  ('catena', 1, '2026-12-07', 1, '2026-12-08', '2026-12-08', 'BLU', 'C', 14, 2, 2, 150.5),
  ('catena', 1, '2026-12-07', 1, '2026-12-09', '2026-12-09', 'NERI', 'X', 13, 1, 1, 50),
  ('catena', 1, '2026-12-07', 2, '2026-12-09', '2026-12-10', 'GIALLI', 'D', 20, 1, 2, 80),
  ('solo', 1, '2026-12-07', 1, '2026-12-08', '2026-12-08', 'ROSSI', 'C', 1, 1, 1, 10);
)sql";

const char* const kHeader = "Gruppo,Hotel,Notte,CamereOra,CamereAllora,PersoneOra,PersoneAllora,"
                            "RicavoOra,RicavoAllora,Nuove,Cancellate,Confermate\r\n";

} // namespace

TEST(Pickup, ComparesTheNewestSnapshotsOnOrBeforeTheTwoDays)
{
    PRESENZE_PRIVATE_SERVER(server);
    {
        PgConnection connection(StoreAddress{server->adminConninfo(), "test"});
        PgTransaction transaction(connection, PgTransaction::Kind::Write);
        prepareStoreSchema(connection);
        connection.execute(kSnapshots);
        transaction.commit();
    }
    test::TempDir dir;
    const auto pickup = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"pickup", "--source", server->conninfo(), "--now",
                                   "08/12/2026 09:00", "--forward", "2"});
        return test::cli(args);
    };

    auto r = pickup({"--csv", (dir / "p.csv").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile(dir / "p.csv"),
              std::string(kHeader) + "catena,1,08/12/2026,6,6,9,12,490.50,390.00,2,3,1\r\n"
                                     "catena,1,09/12/2026,3,3,5,5,0.00,50.00,0,1,0\r\n"
                                     "catena,2,08/12/2026,0,0,0,0,0.00,0.00,0,0,0\r\n"
                                     "catena,2,09/12/2026,1,1,2,2,80.00,80.00,0,0,0\r\n");

    // The text table names the snapshots, and the group without an old one.
    r = pickup({"--group", "catena", "--days", "30"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("istantanea del 07/12/2026 contro quella del 08/11/2026"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("  1 EDEN"), std::string::npos) << r.out;
    r = pickup({});
    EXPECT_NE(r.out.find("\"solo\""), std::string::npos) << r.out;

    // A day ago the newest snapshot was the same one: nothing moved.
    r = pickup({"--group", "catena", "--days", "1", "--csv", (dir / "d.csv").string(), "--xlsx",
                (dir / "d.xlsx").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(test::readFile(dir / "d.csv").find("catena,1,08/12/2026,6,6,9,9,490.50,490.50,0,0,0"),
              std::string::npos);
    EXPECT_EQ(test::readFile(dir / "d.xlsx").substr(0, 2), "PK");

    // No snapshot old enough, a group the server does not hold, a bad choice.
    const std::vector<std::pair<std::vector<std::string>, int>> refused = {
        {{"--group", "catena", "--days", "7", "--now", "05/11/2026 09:00"}, 1},
        {{"--group", "altro"}, 1},
        {{"--days", "3"}, 2},
        {{"--forward", "0"}, 2},
        {{"--csv", (dir / "Camere_Prenotazione.mdb").string()}, 2},
    };
    for (const auto& [args, status] : refused) {
        r = pickup(args);
        EXPECT_EQ(r.status, status) << testing::PrintToString(args) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Camere_Prenotazione.mdb"));
}
