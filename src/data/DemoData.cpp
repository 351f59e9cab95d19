#include "data/DemoData.h"

#include "data/DataError.h"

namespace presenze {

void writeDemoData(const std::filesystem::path& dir, const DemoOptions& options)
{
    throw DataError("Dati dimostrativi non ancora disponibili.");
}

} // namespace presenze
