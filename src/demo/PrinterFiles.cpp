#include "demo/PrinterFiles.h"

#include "data/Schema.h"
#include "demo/GroupGenerator.h"
#include "demo/NewDataFile.h"

namespace presenze::demo {
namespace fs = std::filesystem;

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

} // namespace presenze::demo
