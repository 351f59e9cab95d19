#include "request/CompanySearch.h"

#include "data/Text1252.h"

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

std::string companyQuestion(const CompanyRecord& company)
{
    return company.ragioneSociale + "\r\nLocalit\xE0 : " + company.localita +
           "\r\nE' la Ditta cercata?";
}

std::optional<CompanyRecord> findCompany(const DataFolder& folder, std::string_view typed,
                                         std::optional<std::int64_t> hotel, Interaction& ui)
{
    for (const CompanyRecord& company :
         companiesStartingWith(readCompanies(folder), typed, hotel)) {
        const int answer = ui.ask("Ditte Abituali", companyQuestion(company), true);
        if (answer == AnswerYes)
            return company;
        if (answer != AnswerNo)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace presenze
