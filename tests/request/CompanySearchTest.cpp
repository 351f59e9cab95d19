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

TEST(CompanySearch, OffersEachMatchUntilYesOrCancel)
{
    test::TempDir dir;
    test::copyFixture("hotel-edge", dir.path());
    const DataFolder folder(dir.path());

    test::ScriptedInteraction ui;
    ui.answers = {AnswerNo, AnswerYes};
    auto found = findCompany(folder, "ROSSI", std::nullopt, ui);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->ragioneSociale, "Rossi Tour");
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[0], "ROSSI TOUR\r\nLocalit\xE0 : CANT\xD9\r\nE' la Ditta cercata?");

    test::ScriptedInteraction refuse;
    refuse.answers = {AnswerNo, AnswerNo, AnswerNo};
    EXPECT_FALSE(findCompany(folder, "ROSSI", std::nullopt, refuse));
    EXPECT_EQ(refuse.questions.size(), 3u);

    test::ScriptedInteraction cancel;
    cancel.answers = {AnswerCancel};
    EXPECT_FALSE(findCompany(folder, "ROSSI", std::nullopt, cancel));
    EXPECT_EQ(cancel.questions.size(), 1u);

    test::ScriptedInteraction none;
    EXPECT_FALSE(findCompany(folder, "ZZZ", std::nullopt, none));
    EXPECT_TRUE(none.questions.empty());

    std::filesystem::remove(dir / "DitteAbituali.mdb");
    EXPECT_THROW(findCompany(folder, "ROSSI", std::nullopt, none), DataError);
}
