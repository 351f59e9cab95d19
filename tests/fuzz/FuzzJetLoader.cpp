// Damaged Access files under their names in a data folder, read by the
// program's readers: the helper process reads them; whatever happens there
// (an error, a crash, a hang), the caller gets records or a DataError that
// names the file, and goes on.

#include "FuzzSupport.h"
#include "JetMutation.h"
#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Records.h"
#include "data/Sqlite.h"

#include <cstdlib>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

void readAll(const DataFolder& folder, const std::string& name)
{
    const auto warn = [](std::string_view) {};
    if (name == "AnagraficaHotels.mdb")
        readHotelRegistry(folder);
    else if (name == "TipiCamere.mdb")
        readRoomTypes(folder);
    else if (name == "DitteAbituali.mdb")
        readCompanies(folder);
    else if (name == "Scheda_Prenotazione.mdb")
        readBookingHeaders(folder, "");
    else if (name == "Camere_Prenotazione.mdb")
        readRoomLines(folder, "", "20000101", "20991231", warn);
    else {
        const Database db = openHotelFile(folder, name);
        Statement tables = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table'");
        while (tables.step()) {
            Statement rows = db.prepare("SELECT * FROM \"" + tables.text(0) + "\"");
            while (rows.step()) {
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::jetSamples();
    const fs::path cache = fuzz::scratchFolder() / "cache";
    ::setenv("PRESENZE_CACHE_DIR", cache.c_str(), 1);
    if (!std::getenv("PRESENZE_JET_TIMEOUT"))
        ::setenv("PRESENZE_JET_TIMEOUT", "20", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto jet = fuzz::mutateJet(data, size);
    if (!jet)
        return 0;
    const fs::path dir = fuzz::scratchFolder() / "dati";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fuzz::writeBytes(dir / jet->sample->name, jet->bytes);
    try {
        readAll(DataFolder(dir), jet->sample->name);
    } catch (const DataError& e) {
        if (e.file().find(jet->sample->name) == std::string::npos)
            fuzz::broken(std::string("an error that does not name the file: ") + e.what());
    } catch (const std::exception& e) {
        fuzz::broken(std::string("not a DataError: ") + e.what());
    }
    return 0;
}
