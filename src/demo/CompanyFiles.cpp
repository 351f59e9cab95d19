#include "demo/CompanyFiles.h"

#include "data/CompanyListLine.h"
#include "data/Schema.h"
#include "demo/GroupNames.h"
#include "demo/NewDataFile.h"
#include "demo/SeededRandom.h"

#include <algorithm>

namespace presenze::demo {
namespace fs = std::filesystem;

std::vector<Company> makeCompanies(const GroupOptions& group)
{
    SeededRandom random = SeededRandom::stream(group.seed, "companies");
    const auto companyNames = names::companies(group.companies, random);
    std::vector<Company> companies;
    for (int i = 0; i < group.companies; ++i) {
        Company c;
        c.code = i + 1;
        c.hotel = static_cast<int>(random.between(1, group.hotels));
        c.name = companyNames[i];
        c.town = names::town(random);
        companies.push_back(std::move(c));
    }
    return companies;
}

void writeCompanies(const fs::path& dir, const std::vector<Company>& companies)
{
    NewDataFile file(dir, schema::kCompaniesFile);
    file.db().exec("CREATE TABLE \"DitteAbituali\" (\"NumeroHotel\" INTEGER, \"Codice\" INTEGER, "
                   "\"RagioneSociale\" TEXT, \"Localita\" TEXT)");
    Transaction tx(file.db());
    {
        Statement st = file.db().prepare("INSERT INTO \"DitteAbituali\" VALUES (?1, ?2, ?3, ?4)");
        for (const Company& c : companies) {
            st.bind(1, c.hotel).bind(2, c.code).bindText(3, c.name).bindText(4, c.town);
            st.step();
            st.reset();
        }
    }
    tx.commit();
    file.finish();
}

std::vector<std::string> writeCompanyList(const fs::path& dir,
                                          const std::vector<Company>& companies,
                                          const ReferenceCounts& counts, int size)
{
    std::vector<std::int64_t> chosen;
    const auto fixedCount = static_cast<std::int64_t>(names::fixedCompanyCount());
    for (const auto& [code, n] : counts)
        if (code <= fixedCount && static_cast<int>(chosen.size()) < size / 2)
            chosen.push_back(code);
    std::vector<std::pair<std::int64_t, std::int64_t>> busiest; // (-count, code)
    for (const auto& [code, n] : counts)
        if (std::find(chosen.begin(), chosen.end(), code) == chosen.end())
            busiest.emplace_back(-n, code);
    std::sort(busiest.begin(), busiest.end());
    for (const auto& entry : busiest) {
        if (static_cast<int>(chosen.size()) >= size)
            break;
        chosen.push_back(entry.second);
    }
    std::sort(chosen.begin(), chosen.end());

    std::string text;
    std::vector<std::string> listed;
    for (std::int64_t code : chosen) {
        const Company& c = companies[static_cast<std::size_t>(code - 1)];
        text += companyListLine(code, c.name) + "\r\n";
        listed.push_back(c.name);
    }
    writeTextFile(dir, schema::kCompanyListFile, text);
    return listed;
}

} // namespace presenze::demo
