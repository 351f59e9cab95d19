#include "reports/type2/TotaliTipo2.h"

#include "data/DataError.h"

namespace presenze
{

void addChecked(std::int32_t& counter, std::int64_t value, std::string_view what)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(static_cast<std::int64_t>(counter), value, &sum) ||
        sum < INT32_MIN || sum > INT32_MAX)
        throw DataError("Totale troppo grande per il rapporto: " + std::string(what));
    counter = static_cast<std::int32_t>(sum);
}

} // namespace presenze
