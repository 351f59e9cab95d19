#include "data/JetCache.h"

#include "data/DataError.h"
#include "data/DataFolder.h"

namespace presenze {

std::filesystem::path jetCopy(const std::filesystem::path& accessFile)
{
    throw DataError("Lettura dei file Access non ancora disponibile", displayName(accessFile));
}

} // namespace presenze
