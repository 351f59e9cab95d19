#include "request/SeasonChoice.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>

using namespace presenze;

namespace {

// Answers the input box from a script (nullopt = Cancel) and records what it was asked.
struct ScriptedInput {
    std::deque<std::optional<std::string>> answers;
    std::vector<std::pair<std::string, std::string>> asked; // prompt, proposed
    std::optional<std::string> operator()(std::string_view prompt, std::string_view proposed)
    {
        asked.emplace_back(prompt, proposed);
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

std::string choose(const DataFolder& folder, std::string_view current, ScriptedInput& input)
{
    return chooseSeason(folder, current, std::ref(input));
}

} // namespace

TEST(SeasonChoice, ListsThePrefixesOfTheHeaderFiles)
{
    test::TempDir dir;
    for (const char* name : {"Scheda_Prenotazione.mdb", "2024Scheda_Prenotazione.mdb",
                             "Inverno23SCHEDA_PRENOTAZIONE.MDB", "2024Camere_Prenotazione.mdb",
                             "Scheda_Prenotazione.mdb.bak"})
        test::writeFile(dir / name, "x");
    const DataFolder folder(dir.path());
    auto seasons = archivedSeasons(folder);
    std::vector<std::string> sorted = seasons;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"", "2024", "Inverno23"}));

    std::string listing;
    for (const auto& s : seasons)
        listing += s + "\r\n";
    EXPECT_EQ(seasonPrompt(seasons), "Elenco Stagioni Archiviate\r\n\r\n" + listing +
                                         "\r\n\r\nInserire la stagione da consultare,\r\n"
                                         "(Premere 'Annulla' per la stagione corrente)");
}

TEST(SeasonChoice, TrimsTheAnswerAndAsksAgainForAMissingSeason)
{
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    const DataFolder folder(dir.path());

    ScriptedInput input;
    input.answers = {std::string("  2023 ")};
    EXPECT_EQ(choose(folder, "", input), "2023");
    ASSERT_EQ(input.asked.size(), 1u);
    EXPECT_EQ(input.asked[0].second, "");

    // A season without its file is asked again, saying so, with the list again,
    // proposing it.
    ScriptedInput retry;
    retry.answers = {std::string("2019"), std::string(" 2019 "), std::string("2023")};
    EXPECT_EQ(choose(folder, "2023", retry), "2023");
    ASSERT_EQ(retry.asked.size(), 3u);
    EXPECT_EQ(retry.asked[0].second, "2023");
    EXPECT_NE(retry.asked[0].first.find("Elenco Stagioni Archiviate"), std::string::npos);
    EXPECT_EQ(retry.asked[1].first,
              "La stagione \"2019\" non ha file di prenotazioni (2019Scheda_Prenotazione.mdb)."
              "\r\n\r\n" +
                  seasonPrompt(archivedSeasons(folder)));
    EXPECT_EQ(retry.asked[1].second, "2019");
    EXPECT_EQ(retry.asked[2].second, "2019");

    // Cancel, or an empty answer, is the current season.
    ScriptedInput cancel;
    EXPECT_EQ(choose(folder, "2023", cancel), "");
    ScriptedInput blank;
    blank.answers = {std::string("   ")};
    EXPECT_EQ(choose(folder, "2023", blank), "");
}

TEST(SeasonChoice, CancelKeepsThePreviousSeasonWhenTheCurrentOneIsMissing)
{
    test::TempDir dir;
    test::writeFile(dir / "2023Scheda_Prenotazione.mdb", "x");
    const DataFolder folder(dir.path());
    ScriptedInput input;
    input.answers = {std::string("2019"), std::nullopt};
    EXPECT_EQ(choose(folder, "2023", input), "2023");
    EXPECT_EQ(input.asked.size(), 2u);
}

TEST(SeasonChoice, APrefixNeverNamesAFileOutsideTheFolder)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "data");
    test::writeFile(dir / "data" / "Scheda_Prenotazione.mdb", "x");
    test::writeFile(dir / "xScheda_Prenotazione.mdb", "x");
    const DataFolder folder(dir / "data");
    EXPECT_TRUE(seasonExists(folder, ""));
    EXPECT_FALSE(seasonExists(folder, "../x"));
    EXPECT_FALSE(seasonExists(folder, "..\\x"));
    EXPECT_FALSE(seasonExists(folder, std::string("a\0b", 3)));
    EXPECT_FALSE(seasonExists(folder, "2024"));
}
