#include "data/DemoData.h"

#include "data/GroupGenerator.h"

namespace presenze
{

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
    writeGroup(dir, demoGroup(options));
}

} // namespace presenze
