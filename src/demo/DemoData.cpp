#include "demo/DemoData.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Schema.h"
#include "demo/GroupGenerator.h"

namespace presenze {

GroupOptions demoGroup(const DemoOptions& options)
{
    GroupOptions group;
    group.hotels = 12;
    group.companies = 400;
    group.roomLines = 6000;
    group.reference = options.reference;
    group.monthsBefore = 6;
    group.monthsAfter = 6;
    group.seed = options.seed;
    group.archivedSeason = "2025";
    group.archivedYear = 2025;
    group.archivedRoomLines = 2500;
    group.companyListSize = 12;
    return group;
}

void writeDemoData(const std::filesystem::path& dir, const DemoOptions& options)
{
    // The demo must never take the place of a real group's data.
    const DataFolder folder(dir);
    for (const std::string_view name :
         {schema::kRegistryFile, schema::kCompaniesFile, schema::kRoomTypesFile,
          schema::kPrintersFile, schema::kCountersFile, schema::kCompanyListFile,
          schema::kBedsFile})
        if (folder.exists(name))
            throw DataError("La cartella contiene gi\xE0 dei dati e non viene sovrascritta",
                            displayName(dir));
    for (const std::string_view suffix : {schema::kHeadersFile, schema::kRoomsFile})
        if (!folder.namesEndingWith(suffix).empty())
            throw DataError("La cartella contiene gi\xE0 dei dati e non viene sovrascritta",
                            displayName(dir));
    writeGroup(dir, demoGroup(options));
}

} // namespace presenze
