#include "request/CompanySearch.h"

#include "data/DataError.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

namespace {

std::vector<std::string> names(const std::vector<CompanyRecord>& companies)
{
    std::vector<std::string> out;
    for (const auto& c : companies)
        out.push_back(c.ragioneSociale);
    return out;
}

} // namespace

TEST(CompanySearch, MatchesThePrefixLiterallyWithoutRegardToCase)
{
    test::TempDir dir;
    test::copyFixture("hotel-edge", dir.path());
    const auto companies = readCompanies(DataFolder(dir.path()));

    EXPECT_EQ(names(companiesStartingWith(companies, "l'anc")),
              std::vector<std::string>{"L'ANCORA VIAGGI"});
    EXPECT_EQ(names(companiesStartingWith(companies, "rossi")),
              (std::vector<std::string>{"ROSSI TOUR", "Rossi Tour", "ROSSI SRL"}));
    EXPECT_EQ(names(companiesStartingWith(companies, "rossi", 6)),
              std::vector<std::string>{"Rossi Tour"});
    // Accented letters fold too; quoting characters and wildcards are plain text.
    EXPECT_EQ(names(companiesStartingWith(companies, "societ\xE0")),
              (std::vector<std::string>{"SOCIET\xC0 ALBA", "Societ\xE0 Alba"}));
    EXPECT_TRUE(companiesStartingWith(companies, "' or 1=1 --").empty());
    EXPECT_TRUE(companiesStartingWith(companies, "*").empty());
    EXPECT_TRUE(companiesStartingWith(companies, "ROSSI TOUR ").empty());
    EXPECT_EQ(companiesStartingWith(companies, "").size(), companies.size());
}

TEST(CompanySearch, OffersTheMatchesSortedByNameAndTakesTheChosenOne)
{
    test::TempDir dir;
    test::copyFixture("hotel-edge", dir.path());
    const DataFolder folder(dir.path());

    std::vector<std::string> offered;
    const auto pick = [&](std::optional<std::size_t> choice) {
        return [&offered, choice](const std::vector<CompanyRecord>& matches) {
            offered = names(matches);
            return choice;
        };
    };
    auto found = findCompany(folder, "rossi", std::nullopt, pick(1));
    ASSERT_TRUE(found);
    EXPECT_EQ(offered, (std::vector<std::string>{"ROSSI SRL", "ROSSI TOUR", "Rossi Tour"}));
    EXPECT_EQ(found->ragioneSociale, "ROSSI TOUR");
    EXPECT_FALSE(findCompany(folder, "ROSSI", std::nullopt, pick(std::nullopt)));

    offered.clear();
    EXPECT_FALSE(findCompany(folder, "ZZZ", std::nullopt, pick(0)));
    EXPECT_TRUE(offered.empty());

    std::filesystem::remove(dir / "DitteAbituali.mdb");
    EXPECT_THROW(findCompany(folder, "ROSSI", std::nullopt, pick(0)), DataError);
}

TEST(CompanySearch, ANameIsTheCompanysWithoutRegardToCaseUnlessItIsAmbiguous)
{
    test::TempDir dir;
    test::copyFixture("hotel-edge", dir.path());
    const auto companies = readCompanies(DataFolder(dir.path()));
    const struct {
        const char* text;
        std::optional<std::int64_t> hotel;
        const char* named; // nullptr: no company of that name
    } cases[] = {
        {"l'ancora viaggi", std::nullopt, "L'ANCORA VIAGGI"},
        {"l'ancora", std::nullopt, nullptr},
        {"Rossi Tour", std::nullopt, "Rossi Tour"},
        {"rossi tour", std::nullopt, nullptr}, // two names differ only in case
        {"rossi tour", 6, "Rossi Tour"},
    };
    for (const auto& c : cases) {
        const auto named = companyNamed(companies, c.text, c.hotel);
        EXPECT_EQ(named ? named->ragioneSociale : "(nessuna)", c.named ? c.named : "(nessuna)")
            << c.text;
    }
}
