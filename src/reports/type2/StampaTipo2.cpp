#include "reports/type2/StampaTipo2.h"

#include "data/DataError.h"

namespace presenze {

void StampaTipo2(std::string_view primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context)
{
    throw DataError("Il rapporto di tipo 2 non \xE8 ancora disponibile.");
}

} // namespace presenze
