#include "reports/type2/FiltroDitte.h"

#include "data/CompanyListLine.h"
#include "data/Records.h"

namespace presenze {

std::vector<std::int64_t> FiltroDitte(const DataFolder& folder)
{
    return companyCodes(readCompanyListLines(folder));
}

std::vector<std::int64_t> companyCodes(const std::vector<std::string>& lines)
{
    std::vector<std::int64_t> codes;
    for (const auto& line : lines)
        if (const auto code = parseCompanyListLine(line).code)
            codes.push_back(*code);
    return codes;
}

} // namespace presenze
