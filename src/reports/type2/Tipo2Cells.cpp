#include "reports/type2/Tipo2Cells.h"

namespace presenze {

std::string rightAligned(std::int64_t value, std::size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), ' ');
    return text;
}

} // namespace presenze
