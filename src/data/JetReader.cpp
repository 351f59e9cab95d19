#include "data/JetReader.h"

namespace presenze {

std::string convertJetToSqlite(const std::filesystem::path& accessFile,
                               const std::filesystem::path& output)
{
    return "not implemented";
}

} // namespace presenze
