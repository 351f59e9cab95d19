#include "tally/WorkingDatabase.h"

#include "data/Sqlite.h"

namespace presenze {

std::string workingDatabaseName(std::string_view stationTag)
{
    return "Vallomir" + std::string(stationTag) + ".mdb";
}

void CreaArchivioLocale(const DataFolder& folder, std::string_view stationTag)
{
    const std::string name = workingDatabaseName(stationTag);
    if (folder.exists(name))
        return;
    const Database db(folder.target(name), Database::Mode::Create);
    db.exec("CREATE TABLE Presenze ("
            "NumeroHotel SMALLINT, NomeDitta VARCHAR(100), Contatore SMALLINT, "
            "Presenze INTEGER, PresOpz INTEGER, Camere INTEGER, Opzioni INTEGER, "
            "Libere INTEGER, Gruppi INTEGER, Individuali INTEGER, TourOp INTEGER, "
            "AccSpec INTEGER, GruppiC INTEGER, IndividualiC INTEGER, TourOpC INTEGER, "
            "AccSpecC INTEGER)");
}

} // namespace presenze
