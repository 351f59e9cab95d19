// The Access reader of the helper program, run in this process over damaged
// Access files: it either writes a copy that opens as an SQLite database or
// names the reason it cannot, and never reads or writes outside its buffers.
// (libmdb's own faults show up here too; in the program they stay inside the
// helper process.)

#include "FuzzSupport.h"
#include "JetMutation.h"
#include "jet/JetReader.h"

#include <sqlite3.h>

using namespace presenze;
namespace fs = std::filesystem;

// libmdb leaves the texts of a damaged catalog's properties behind
// (mdb_kkd_to_props): in the program that happens in the helper process,
// which ends right after. That leak alone is not reported; full allocation
// stacks let the suppression see the function.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:mdb_kkd_to_props\n";
}

extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0:print_suppressions=0";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::jetSamples();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto jet = fuzz::mutateJet(data, size);
    if (!jet)
        return 0;
    const fs::path source = fuzz::scratchFolder() / jet->sample->name;
    const fs::path copy = fuzz::scratchFolder() / "copia.sqlite";
    fuzz::writeBytes(source, jet->bytes);
    const std::string error = convertJetToSqlite(source, copy);
    if (!error.empty()) {
        if (fs::exists(copy))
            fuzz::broken("a copy left behind after: " + error);
        return 0;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(copy.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "SELECT count(*) FROM _jet_columns", nullptr, nullptr, nullptr) !=
            SQLITE_OK)
        fuzz::broken("the copy does not open");
    sqlite3_close(db);
    fs::remove(copy);
    return 0;
}
