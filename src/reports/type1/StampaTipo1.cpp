#include "reports/type1/StampaTipo1.h"

#include "data/DataError.h"

namespace presenze {

void StampaTipo1(std::string_view primoGiorno, ReportWriter& out, const Selection& selection,
                 ReportContext& context)
{
    throw DataError("Il rapporto di tipo 1 non \xE8 ancora disponibile.");
}

} // namespace presenze
