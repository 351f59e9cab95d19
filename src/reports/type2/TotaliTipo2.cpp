#include "reports/type2/TotaliTipo2.h"

#include "data/DataError.h"

namespace presenze {

void totalTooLarge(std::string_view what)
{
    throw DataError("Totale troppo grande per il rapporto: " + std::string(what));
}

} // namespace presenze
