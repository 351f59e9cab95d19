#include "common/CompanyListFile.h"

#include "common/KV7Routine.h"
#include "data/AtomicFile.h"
#include "data/CompanyListLine.h"
#include "data/Schema.h"
#include "data/Text1252.h"

namespace presenze {
namespace {

constexpr char kAcute = '\xB4';

bool sameSearchChar(char name, char search)
{
    if (search == kAcute)
        return name == kAcute || name == '\'';
    return equalText(std::string_view(&name, 1), std::string_view(&search, 1));
}

bool matchesSearch(std::string_view name, std::string_view search)
{
    if (name.size() < search.size())
        return false;
    for (std::size_t i = 0; i < search.size(); ++i) {
        if (!sameSearchChar(name[i], search[i]))
            return false;
    }
    return true;
}

} // namespace

std::string companySearchText(std::string_view typed)
{
    return std::string(trimBlanks(FiltraTesto(typed, 0)));
}

std::vector<std::string> candidateItems(const std::vector<CompanyRecord>& companies,
                                        std::optional<std::string_view> search,
                                        std::optional<std::int64_t> hotel, std::size_t limit)
{
    std::vector<std::string> items;
    for (const CompanyRecord& company : companies) {
        if (items.size() >= limit)
            break;
        if (company.codice <= 0 || (hotel && company.numeroHotel != *hotel))
            continue;
        if (search && !matchesSearch(company.ragioneSociale, *search))
            continue;
        items.push_back(companyListLine(company.codice, company.ragioneSociale));
    }
    return items;
}

void writeCompanyListFile(const DataFolder& folder, const std::vector<std::string>& items)
{
    std::string content;
    for (const std::string& item : items)
        content += item + "\r\n";
    writeFileAtomically(folder.target(schema::kCompanyListFile), content);
}

} // namespace presenze
