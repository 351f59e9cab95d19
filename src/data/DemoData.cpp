#include "data/DemoData.h"

#include "data/GroupGenerator.h"

namespace presenze
{

GroupSpec demoGroupSpec(const DemoOptions& options)
{
    GroupSpec spec;
    spec.hotels = 12;
    spec.companies = 400;
    spec.roomLines = 6000;
    spec.reference = options.reference;
    spec.monthsBefore = 6;
    spec.monthsAfter = 6;
    spec.seed = options.seed;
    spec.archivedSeason = "2025";
    spec.archivedYear = 2025;
    spec.archivedRoomLines = 2500;
    spec.companyListSize = 12;
    return spec;
}

void writeDemoData(const std::filesystem::path& dir, const DemoOptions& options)
{
    writeGroup(dir, demoGroupSpec(options));
}

} // namespace presenze
