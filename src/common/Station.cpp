#include "common/Station.h"

#include "data/DataError.h"
#include "data/Text1252.h"

#include <cstdlib>

namespace presenze {

std::string stationTagFromEnvironment()
{
    const char* value = std::getenv("PCLocal");
    return value ? utf8ToCp1252(value) : std::string();
}

void checkStationTag(std::string_view tag)
{
    bool bad = tag.find("..") != std::string_view::npos;
    for (char c : tag)
        bad = bad || c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32;
    if (bad)
        throw DataError("Identificativo di postazione (PCLocal) non valido: \"" + std::string(tag) +
                        "\". Non pu\xF2 contenere separatori di cartella n\xE9 \"..\".");
}

} // namespace presenze
