#include "cli/CommandLine.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;

TEST(CommandLine, ReadsTheReportOptionsIntoASelection)
{
    const auto r =
        parseReportOptions({"--type", "2", "--from", "11/2025", "--to", "02/2026", "--kind", "all",
                            "--hotels", "1,3", "--detail", "--company", "L'ANCORA", "--arrivals",
                            "--now", "08/12/2026 14:00", "--station", "07"});
    ASSERT_TRUE(r.options) << r.error;
    const auto& o = *r.options;
    EXPECT_EQ(o.kind, ReportKind::Type2);
    EXPECT_EQ(monthsOf(o.range), (std::vector<Date>{Date{2025, 11, 1}, Date{2025, 12, 1},
                                                    Date{2026, 1, 1}, Date{2026, 2, 1}}));
    EXPECT_EQ(o.selection.kind, BookingKind::All);
    EXPECT_TRUE(o.selection.hotelTicked(3));
    EXPECT_FALSE(o.selection.hotelTicked(2));
    EXPECT_FALSE(o.selection.summary);
    EXPECT_TRUE(o.selection.singleCompany);
    EXPECT_EQ(o.selection.company, "L'ANCORA");
    EXPECT_EQ(o.selection.dayCount, DayCount::Arrivals);
    EXPECT_EQ(*o.station, "07");
    EXPECT_EQ(o.now->hour, 14);
}

TEST(CommandLine, RefusesBadRangesAndValues)
{
    EXPECT_FALSE(
        parseReportOptions({"--type", "1", "--from", "05/2026", "--to", "04/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "13/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "00/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "01/1995"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "01/26"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "3", "--from", "01/2026"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1"}).options);
    EXPECT_FALSE(
        parseReportOptions({"--type", "1", "--from", "01/2026", "--hotels", "1,,2"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from", "01/2026", "--bogus"}).options);
    EXPECT_FALSE(parseReportOptions({"--type", "1", "--from"}).options);
    // A season is a prefix of file names, never a way into another folder.
    for (const char* season : {"../2023", "/tmp/x", "a\\b", "20\n23"})
        EXPECT_FALSE(
            parseReportOptions({"--type", "1", "--from", "01/2026", "--season", season}).options)
            << season;
    // "/" written in two bytes is no "/".
    const auto overlong = parseReportOptions({"--type", "1", "--from", "01/2026", "--season",
                                              "..\xC0\xAF"
                                              "2023"});
    ASSERT_TRUE(overlong.options);
    EXPECT_EQ(overlong.options->selection.season, "..?2023");
    EXPECT_TRUE(
        parseReportOptions({"--type", "1", "--from", "02/2016", "--to", "01/2026"}).options);
    EXPECT_TRUE(
        parseReportOptions({"--type", "1", "--from", "01/1996", "--to", "12/9999", "--allow-long"})
            .options);
    const auto one = parseReportOptions({"--type", "1", "--from", "3/2026"});
    ASSERT_TRUE(one.options);
    EXPECT_EQ(monthsOf(one.options->range), (std::vector<Date>{Date{2026, 3, 1}}));
}

// The program itself: help on stdout with status 0, mistakes on stderr with
// status 2, both in Italian (none of the argument library's English words).
namespace {

bool hasEnglish(const std::string& text)
{
    for (const char* word : {"Usage", "Options", "OPTIONS", "Positionals", "ubcommand", "REQUIRED",
                             "TEXT", "rror", "xpected", "required", "Print this"})
        if (text.find(word) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(CommandLine, ReadsTheKpiOptionsIntoARequest)
{
    const auto r = parseKpiOptions({"--forward", "90", "--hotels", "2,3", "--kind", "all", "--by",
                                    "company", "--compare", "--season", "2025", "--now",
                                    "29/02/2028 08:00", "--csv", "k.csv", "--xlsx", "k.xlsx"});
    ASSERT_TRUE(r.options) << r.error;
    const IndicatorRequest& request = r.options->request;
    EXPECT_EQ(request.period.forward, 90);
    EXPECT_EQ(*request.hotels, (std::set<std::int64_t>{2, 3}));
    EXPECT_EQ(request.kind, BookingKind::All);
    EXPECT_EQ(request.breakdown, IndicatorBreakdown::Company);
    EXPECT_TRUE(request.compare);
    EXPECT_EQ(*request.season, "2025");
    EXPECT_EQ(r.options->now->date, (Date{2028, 2, 29}));
    EXPECT_EQ(*r.options->csv, "k.csv");
    const auto one = parseKpiOptions({"--from", "02/2026"});
    ASSERT_TRUE(one.options) << one.error;
    EXPECT_EQ(one.options->request.period.months.lastMonth, 2);
    EXPECT_FALSE(one.options->request.compare);
    EXPECT_FALSE(one.options->request.season);
}

TEST(CommandLine, EveryCommandAnswersHelp)
{
    for (const auto& [args, usage] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--help"}, "Uso: presenze-cli [OPZIONI] [COMANDO]\n"},
             {{"report", "--help"}, "Uso: presenze-cli report [OPZIONI]\n"},
             {{"kpi", "--help"}, "Uso: presenze-cli kpi [OPZIONI]\n"},
             {{"csv", "--help"}, "Uso: presenze-cli csv [OPZIONI]\n"},
             {{"print", "--help"}, "Uso: presenze-cli print [OPZIONI]\n"},
             {{"istat", "--help"}, "Uso: presenze-cli istat [OPZIONI]\n"},
             {{"demo", "--help"}, "Uso: presenze-cli demo [OPZIONI] CARTELLA\n"},
             // Help comes before the checks of a command line left unfinished.
             {{"print", "--compressed", "-h"}, "Uso: presenze-cli print [OPZIONI]\n"}}) {
        const auto result = test::runProgram("presenze-cli", args);
        EXPECT_EQ(result.status, 0) << args[0] << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_NE(result.out.find(usage), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("Opzioni:\n"), std::string::npos) << result.out;
        EXPECT_FALSE(hasEnglish(result.out)) << result.out;
        ASSERT_FALSE(result.out.empty());
        EXPECT_EQ(result.out.back(), '\n');
        EXPECT_NE(result.out.substr(result.out.size() - 2), "\n\n") << args[0];
    }
}

TEST(CommandLine, MistakesEndWithStatus2AndAnItalianMessage)
{
    for (const auto& [args, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{}, "Manca il comando."},
             {{"stampa"}, "Comando sconosciuto: stampa"},
             {{"report", "--type", "1", "--from"}, "Manca il valore dell'opzione --from"},
             {{"report", "--type", "1", "--from", "01/2026", "--detail=no"},
              "L'opzione --detail non prevede un valore"},
             // An unknown word before a missing option: often the same, misspelt.
             {{"report", "--type", "1", "--frm", "01/2026"}, "Opzione non riconosciuta: --frm"},
             {{"report", "--type", "1"}, "Indicare il primo mese con --from MM/AAAA"},
             {{"report", "--type", "1", "--from", "01/2026", "csv"},
              "Argomento non riconosciuto: csv"},
             {{"print", "--landscape"},
              "Indicare la destinazione di stampa con --destination NOME"},
             {{"kpi"}, "Indicare il periodo con --from MM/AAAA oppure con --forward 30|90|365"},
             {{"kpi", "--from", "01/2026", "--forward", "30"},
              "Indicare il periodo con --from oppure con --forward, non con entrambi"},
             {{"kpi", "--forward", "45"}, "Numero di notti non valido: 45 (30, 90 o 365)"},
             {{"kpi", "--forward", "30", "--to", "02/2026"}, "L'opzione --to vale solo con --from"},
             {{"kpi", "--from", "01/2026", "--by", "hotel"},
              "Raggruppamento non valido: hotel (month o company)"},
             {{"kpi", "--from", "01/2016", "--to", "02/2026"},
              "Periodo troppo lungo: gli indicatori coprono al massimo 120 mesi."},
             // Hotel numbers are each group's own: a chain has none to pick.
             {{"kpi", "--from", "01/2026", "--source", "dbname=presenze", "--hotels", "1"},
              "L'opzione --hotels vale solo per un gruppo: indicarlo con --group"},
             {{"istat", "--month", "01/2026", "--source", "dbname=presenze"},
              "Indicare il gruppo del server con --group NOME"},
             {{"demo"}, "Indicare la cartella da creare: presenze-cli demo CARTELLA"},
             {{"demo", "a", "--seed", "-1"}, "Seme non valido: -1"},
             // Thousands of months run for hours: only when asked for.
             {{"report", "--type", "1", "--from", "01/1996", "--to", "12/9999"},
              "Richiesta di 96048 mesi: aggiungere --allow-long"},
             {{"report", "--type", "2", "--from", "01/2016", "--to", "01/2026"},
              "Richiesta di 121 mesi: aggiungere --allow-long"}}) {
        const auto result = test::runProgram("presenze-cli", args);
        EXPECT_EQ(result.status, 2) << message;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("presenze-cli: " + message + "\n", 0), 0u) << result.err;
        EXPECT_FALSE(hasEnglish(result.err)) << result.err;
    }
}
