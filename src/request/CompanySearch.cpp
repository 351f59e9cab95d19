#include "request/CompanySearch.h"

#include "data/Text1252.h"

#include <algorithm>

namespace presenze {

std::vector<CompanyRecord> companiesStartingWith(const std::vector<CompanyRecord>& companies,
                                                 std::string_view prefix,
                                                 std::optional<std::int64_t> hotel)
{
    std::vector<CompanyRecord> found;
    for (const CompanyRecord& company : companies) {
        if (hotel && company.numeroHotel != *hotel)
            continue;
        if (startsWithText(company.ragioneSociale, prefix))
            found.push_back(company);
    }
    return found;
}

void sortByName(std::vector<CompanyRecord>& companies)
{
    std::stable_sort(companies.begin(), companies.end(),
                     [](const CompanyRecord& a, const CompanyRecord& b) {
                         if (const int c = compareText(a.ragioneSociale, b.ragioneSociale))
                             return c < 0;
                         return compareText(a.localita, b.localita) < 0;
                     });
}

std::optional<CompanyRecord> companyNamed(const std::vector<CompanyRecord>& companies,
                                          std::string_view text, std::optional<std::int64_t> hotel)
{
    std::optional<CompanyRecord> named;
    int alike = 0;
    for (const CompanyRecord& company : companies) {
        if (hotel && company.numeroHotel != *hotel)
            continue;
        if (company.ragioneSociale == text)
            return company;
        if (equalText(company.ragioneSociale, text) && alike++ == 0)
            named = company;
    }
    return alike == 1 ? named : std::nullopt;
}

std::optional<CompanyRecord> findCompany(const DataFolder& folder, std::string_view typed,
                                         std::optional<std::int64_t> hotel,
                                         const CompanyChooser& choose)
{
    return findCompany(readCompanies(folder), typed, hotel, choose);
}

std::optional<CompanyRecord> findCompany(const std::vector<CompanyRecord>& companies,
                                         std::string_view typed, std::optional<std::int64_t> hotel,
                                         const CompanyChooser& choose)
{
    std::vector<CompanyRecord> matches = companiesStartingWith(companies, typed, hotel);
    if (matches.empty())
        return std::nullopt;
    sortByName(matches);
    const std::optional<std::size_t> chosen = choose(matches);
    if (!chosen || *chosen >= matches.size())
        return std::nullopt;
    return matches[*chosen];
}

} // namespace presenze
