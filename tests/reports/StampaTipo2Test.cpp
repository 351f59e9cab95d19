// The Type 2 builder over small hand-made hotel groups: a golden month
// checked by hand, and the rules of the booking query and the month loop.

#include "reports/type2/StampaTipo2.h"

#include "common/ReportFile.h"
#include "data/DataError.h"
#include "request/PrintRequest.h"
#include "support/HotelFolder.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>
#include <limits>
#include <map>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// A hotel group: headers are (number, hotel, kind, company, code), room lines
// (number, hotel, arrival, departure, persons, rooms, note, tariff days, price).
struct Group {
    test::TempDir dir;

    void season(std::string_view prefix, std::string_view headers, std::string_view rooms)
    {
        test::HotelFolder(dir.path())
            .season(prefix, headers,
                    "NumeroPrenotazione, NumeroHotel, TipoPrenotazione, Ditta, CodiceDitta", rooms,
                    "NumeroPrenotazione, NumeroHotel, DataArrivo, DataPartenza, NumeroPersone, "
                    "\"Quantit\xC3\xA0"
                    "Camere\", Note, GiorniTariffa, Prezzo");
    }

    Group(std::string_view headers, std::string_view rooms,
          std::string_view types = "(1,'C',10),(1,'C',5),(1,'S',3),(2,'C',4)")
    {
        season("", headers, rooms);
        test::HotelFolder(dir.path()).roomTypes(types);
    }

    // Builds the Type 2 report of the months and returns the report file.
    std::string report(const Selection& selection, int fromMonth, int toMonth = 0, int year = 2025)
    {
        const FixedClock clock = test::fixedClock();
        ReportContext context{DataFolder(dir.path()), "9", clock, ui};
        const MonthRange range{fromMonth, year, toMonth ? toMonth : fromMonth, year};
        return test::readFile(runPrintRequest(ReportKind::Type2, range, selection, context));
    }

    test::ScriptedInteraction ui;
};

Selection detailAll()
{
    Selection s;
    s.kind = BookingKind::All;
    s.summary = false;
    return s;
}

// Box-drawing placeholders of the expected texts: | 179, ~ 196, ^ 194, # 197, ! 166.
std::string box(std::string text)
{
    for (char& c : text) {
        switch (c) {
        case '|':
            c = '\xB3';
            break;
        case '~':
            c = '\xC4';
            break;
        case '^':
            c = '\xC2';
            break;
        case '#':
            c = '\xC5';
            break;
        case '!':
            c = '\xA6';
            break;
        }
    }
    return text;
}

// The summary line of `company` in a report (empty when absent).
std::string summaryOf(const std::string& report, std::string company)
{
    if (company.size() < 32)
        company.append(32 - company.size(), ' ');
    const auto at = report.find(box("! ") + company + '\xB3');
    return at == std::string::npos ? "" : report.substr(at, report.find('\r', at) - at);
}

} // namespace

// February 2025 (28 days: the last three columns are 1-3 March) over two
// hotels that share booking number 1. Worked out by hand: presences, the
// exact sum 10.5 + 10.5 + 100 = 121 rounded once, a 3-day tariff from 25 February
// charged on the 25th, the 28th and 3 March, room classes, free rooms.
TEST(StampaTipo2, GoldenMonth)
{
    Group g("(1,1,'C','ALFA VIAGGI',10),(2,1,'O','ALFA VIAGGI',10),(3,1,'D','beta tour',20),"
            "(1,2,'C','ALFA VIAGGI',10),(4,1,'X','GAMMA',30)",
            "(3,1,'20250225','20250305',1,1,'x <TO>',3,30),"
            "(1,1,'20250130','20250203',2,1,'',1,10.5),"
            "(2,1,'20250210','20250214',3,2,'<grp>',7,100),"
            "(1,2,'20250201','20250202',2,1,'<AS>',1,50),"
            "(4,1,'20250205','20250207',2,1,'',1,1),(5,1,'20250205','20250206',2,1,'',1,1)");
    // clang-format off
    const std::string expected = box(
        "08/12/2026                                    Stampa Presenze per Ditta / Hotel (Febbraio )                                    14:00\r\n"
        "~~~~~~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^~~~^\r\n"
        " Hotel  | 01| 02| 03| 04| 05| 06| 07| 08| 09| 10| 11| 12| 13| 14| 15| 16| 17| 18| 19| 20| 21| 22| 23| 24| 25| 26| 27| 28| 01| 02| 03|\r\n"
        "        |Sab|Dom|Lun|Mar|Mer|Gio|Ven|Sab|Dom|Lun|Mar|Mer|Gio|Ven|Sab|Dom|Lun|Mar|Mer|Gio|Ven|Sab|Dom|Lun|Mar|Mer|Gio|Ven|Sab|Dom|Lun|\r\n"
        "~~~~~~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#\r\n"
        "HOTEL: 1\r\n"
        "ALFA VIAGGI\r\n"
        "     PrC|  2|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "     CON|  1|  1|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "     PrO|   |   |   |   |   |   |   |   |   |  3|  3|  3|  3|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "     OPZ|   |   |   |   |   |   |   |   |   |  2|  2|  2|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "beta tour\r\n"
        "     PrC|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |  1|  1|  1|  1|  1|  1|  1|\r\n"
        "     CON|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |  1|  1|  1|  1|  1|  1|  1|\r\n"
        "     PrO|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "     OPZ|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "~~~~~~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#\r\n"
        "TOT  PrC|  2|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |  1|  1|  1|  1|  1|  1|  1|\r\n"
        "TOT  CON|  1|  1|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |  1|  1|  1|  1|  1|  1|  1|\r\n"
        "TOT  PrO|   |   |   |   |   |   |   |   |   |  3|  3|  3|  3|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "TOT  OPZ|   |   |   |   |   |   |   |   |   |  2|  2|  2|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  LIBERE| 14| 14| 15| 15| 15| 15| 15| 15| 15| 13| 13| 13| 13| 15| 15| 15| 15| 15| 15| 15| 15| 15| 15| 15| 14| 14| 14| 14| 14| 14| 14|\r\n"
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\r\n"
        "  GRUPPI|   |   |   |   |   |   |   |   |   |  2|  2|  2|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  GRP P.|   |   |   |   |   |   |   |   |   |  3|  3|  3|  3|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  INDIV.|  1|  1|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  IND P.|  2|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  TOUR O|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |  1|  1|  1|  1|  1|  1|  1|\r\n"
        "  T.O.P.|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |  1|  1|  1|  1|  1|  1|  1|\r\n"
        "  ACC.SP|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  A.S.P.|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\r\n"
        "HOTEL: 2\r\n"
        "ALFA VIAGGI\r\n"
        "     PrC|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "     CON|  1|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "     PrO|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "     OPZ|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "~~~~~~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#~~~#\r\n"
        "TOT  PrC|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "TOT  CON|  1|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "TOT  PrO|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "TOT  OPZ|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  LIBERE|  3|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|  4|\r\n"
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\r\n"
        "  GRUPPI|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  GRP P.|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  INDIV.|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  IND P.|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  TOUR O|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  T.O.P.|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  ACC.SP|  1|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "  A.S.P.|  2|   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |   |\r\n"
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\r\n"
        "\r\n"
        "------------------------------------------------------------------------------------\r\n"
        "!    Hotel / Agenzia              !Pres.Con!Pres.Opz!Conferm.!Opzion. ! Importo    !\r\n"
        "------------------------------------------------------------------------------------\r\n"
        "! ALFA VIAGGI                     |       4|      12|       2|       8|         121|\r\n"
        "! beta tour                       |       7|       0|       7|       0|          90|\r\n"
        "! ALFA VIAGGI                     |       2|       0|       1|       0|          50|\r\n"
        "------------------------------------------------------------------------------------\r\n"
        "                                  |      13|      12|      10|       8|         261|\r\n"
        "                                  --------------------------------------------------\r\n");
    // clang-format on
    EXPECT_EQ(g.report(detailAll(), 2), expected);
    EXPECT_EQ(g.ui.questions,
              std::vector<std::string>{"Calcolo Per presenze (Si) o per Arrivi (No)?"});
    EXPECT_TRUE(g.ui.warnings.empty());

    // The builder alone, reading the files itself, writes the same section.
    test::FailingSink sink(std::numeric_limits<std::size_t>::max());
    ReportWriter out(sink);
    const FixedClock clock = test::fixedClock();
    ReportContext context{DataFolder(g.dir.path()), "9", clock, g.ui};
    StampaTipo2(Date{2025, 2, 1}, out, detailAll(), context);
    EXPECT_EQ(sink.written, expected);
}

namespace {

std::vector<std::string> linesOf(const std::string& report)
{
    return splitLines(report);
}

// The line starting with `label` in the block that the line `name` opens.
std::string blockLine(const std::string& report, const std::string& name, const std::string& label)
{
    const auto lines = linesOf(report);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != name)
            continue;
        for (std::size_t j = i + 1; j < lines.size() && j <= i + 4; ++j)
            if (lines[j].rfind(label, 0) == 0)
                return lines[j];
    }
    return {};
}

// A day line as the report writes it: label, then "@@@" cells for the days given.
std::string dayLine(const std::string& label, std::map<int, int> values)
{
    std::string line = label + '\xB3';
    for (int d = 1; d <= 31; ++d) {
        char cell[16];
        std::snprintf(cell, sizeof cell, "%3d", values[d]);
        line += values[d] ? std::string(cell) : "   ";
        line += '\xB3';
    }
    return line;
}

std::map<int, int> days(int from, int to, int value)
{
    std::map<int, int> m;
    for (int d = from; d <= to; ++d)
        m[d] = value;
    return m;
}

} // namespace

TEST(StampaTipo2, AsksEveryMonthAndCountsArrivalsOrPresences)
{
    Group g("(1,1,'C','ALFA',1),(2,1,'C','BETA',2),(3,1,'C','GAMMA',3)",
            "(1,1,'20250130','20250205',2,1,'',1,0),(2,1,'20250210','20250210',1,1,'',1,0),"
            "(3,1,'20250301','20250303',4,2,'',1,0)");
    g.ui.answers = {AnswerNo, AnswerYes}; // February by arrivals, March by presences
    const std::string report = g.report(detailAll(), 2, 3);
    EXPECT_EQ(g.ui.questions.size(), 2u);
    const auto marchAt = report.find("(Marzo    )");
    ASSERT_NE(marchAt, std::string::npos);
    const std::string february = report.substr(0, marchAt), march = report.substr(marchAt);
    // Arrivals: ALFA arrived before the month, BETA arrives and leaves on the
    // 10th, GAMMA arrives on 1 March, the 29th column of February.
    EXPECT_EQ(blockLine(february, "ALFA", "     PrC"), "");
    EXPECT_EQ(blockLine(february, "BETA", "     PrC"), dayLine("     PrC", {{10, 1}}));
    EXPECT_EQ(blockLine(february, "GAMMA", "     PrC"), dayLine("     PrC", {{29, 4}}));
    // Presences: every night from arrival to the day before departure.
    EXPECT_EQ(blockLine(march, "GAMMA", "     PrC"), dayLine("     PrC", days(1, 2, 4)));
    EXPECT_EQ(march.find("BETA"), std::string::npos);
}

TEST(StampaTipo2, MonthsWithoutDataAreNamedInOneWarningAtTheEnd)
{
    // April's only line arrives the day after its 31 days: it counts on none of them.
    Group g("(1,1,'C','ALFA',1)", "(1,1,'20250110','20250112',2,1,'',1,0),"
                                  "(1,1,'20250310','20250312',2,1,'',1,0),"
                                  "(1,1,'20250502','20250504',2,1,'',1,0)");
    const std::string report = g.report(detailAll(), 1, 4);
    EXPECT_EQ(g.ui.warnings,
              std::vector<std::string>{"Dati mancanti: Nessun dato soddisfa i criteri di selezione "
                                       "per i mesi: Febbraio 2025, Aprile 2025."});
    EXPECT_NE(report.find("(Gennaio  )"), std::string::npos);
    EXPECT_EQ(report.find("(Febbraio )"), std::string::npos);
    EXPECT_NE(report.find("(Marzo    )"), std::string::npos);
}

namespace {

// Answers the presences/arrivals question from a queue of (answer, same
// answer for the following months); asks to stop after `stopAfter` months.
class MonthlyAnswers final : public Interaction {
public:
    std::deque<std::pair<int, bool>> answers;
    int asked = 0;
    int stopAfter = -1;
    int months = 0;

    int ask(std::string_view, std::string_view, bool) override { return AnswerYes; }
    void warn(std::string_view, std::string_view) override {}
    int askEachMonth(std::string_view, std::string_view, bool& same) override
    {
        ++asked;
        const auto [answer, keep] = answers.front();
        answers.pop_front();
        same = keep;
        return answer;
    }
    void month(int, int, std::string_view) override { ++months; }
    bool stopRequested() override { return stopAfter >= 0 && months >= stopAfter; }
};

} // namespace

TEST(StampaTipo2, OneAnswerForEveryMonthAndAStoppedRequestLeavesThePreviousReport)
{
    Group g("(1,1,'C','ALFA',1)", "(1,1,'20250110','20250112',2,1,'',1,0),"
                                  "(1,1,'20250210','20250212',2,1,'',1,0),"
                                  "(1,1,'20250310','20250312',2,1,'',1,0)");
    g.ui.answers = {AnswerNo, AnswerNo, AnswerNo};
    const std::string arrivals = g.report(detailAll(), 1, 3);

    const FixedClock clock = test::fixedClock();
    const MonthRange range{1, 2025, 3, 2025};
    MonthlyAnswers same;
    same.answers = {{AnswerNo, true}};
    ReportContext context{DataFolder(g.dir.path()), "9", clock, same};
    EXPECT_EQ(test::readFile(runPrintRequest(ReportKind::Type2, range, detailAll(), context)),
              arrivals);
    EXPECT_EQ(same.asked, 1);

    // Cancel at the second month, or a stop asked during the first.
    MonthlyAnswers cancel;
    cancel.answers = {{AnswerYes, false}, {AnswerCancel, false}};
    MonthlyAnswers stop;
    stop.answers = {{AnswerYes, false}, {AnswerYes, false}, {AnswerYes, false}};
    stop.stopAfter = 1;
    for (MonthlyAnswers* ui : {&cancel, &stop}) {
        ReportContext c{DataFolder(g.dir.path()), "9", clock, *ui};
        EXPECT_THROW(runPrintRequest(ReportKind::Type2, range, detailAll(), c), RequestCancelled);
        EXPECT_EQ(test::readFile(g.dir / "fd9"), arrivals);
        EXPECT_EQ(ui->asked, 1 + (ui == &cancel));
    }
}

TEST(StampaTipo2, JoinsOnBookingAndHotelAndReadsOnlyTheChosenKinds)
{
    // Booking 1 exists in both hotels; kind X and a line without header are never read.
    Group g("(1,1,'C','UNO',1),(1,2,'O','DUE',2),(2,1,'X','TRE',3),(3,1,'d','QUATTRO',4),"
            "(3,1,'C','CINQUE',5)",
            "(1,1,'20250203','20250204',2,1,'',1,0),(1,2,'20250203','20250204',3,1,'',1,0),"
            "(2,1,'20250203','20250204',5,1,'',1,0),(3,1,'20250203','20250204',7,1,'',1,0),"
            "(9,1,'20250203','20250204',9,1,'',1,0)");
    Selection confirmed = detailAll();
    confirmed.kind = BookingKind::Confirmed;
    const std::string c = g.report(confirmed, 2);
    EXPECT_EQ(summaryOf(c, "UNO"), box("! UNO                             |       2|"
                                       "       0|       1|       0|           0|"));
    // A header repeated under one key joins its lines twice, as the join does.
    EXPECT_NE(summaryOf(c, "QUATTRO"), "");
    EXPECT_NE(summaryOf(c, "CINQUE"), "");
    EXPECT_EQ(c.find("DUE"), std::string::npos);
    EXPECT_EQ(c.find("TRE"), std::string::npos);
    EXPECT_EQ(c.find("HOTEL: 2"), std::string::npos);

    Selection optional = detailAll();
    optional.kind = BookingKind::Optional;
    const std::string o = g.report(optional, 2);
    EXPECT_EQ(summaryOf(o, "DUE"), box("! DUE                             |       0|"
                                       "       3|       0|       1|           0|"));
    EXPECT_EQ(o.find("UNO"), std::string::npos);
    EXPECT_EQ(blockLine(o, "DUE", "     PrC"), ""); // optional blocks show PrO and OPZ only
    EXPECT_EQ(blockLine(o, "DUE", "     PrO"), dayLine("     PrO", {{3, 3}}));
}

TEST(StampaTipo2, OrdersCompaniesByFoldedTextThenBytesAndSplitsOnExactNames)
{
    Group g("(1,1,'O','rossi',1),(2,1,'C','ROSSI',1),(3,1,'C','Rossi',1),(4,1,'C','ROSSA',1),"
            "(5,2,'C','ROSSI',1),(6,1,'C','ROSSI',1)",
            "(5,2,'20250203','20250204',1,1,'',1,0),(1,1,'20250203','20250204',1,1,'',1,0),"
            "(2,1,'20250203','20250204',1,1,'',1,0),(3,1,'20250203','20250204',1,1,'',1,0),"
            "(4,1,'20250203','20250204',1,1,'',1,0),(6,1,'20250203','20250204',1,1,'',1,0)");
    const std::string report = g.report(detailAll(), 2);
    std::vector<std::string> names;
    for (const auto& line : linesOf(report))
        if (line.rfind("ROSS", 0) == 0 || line.rfind("Ross", 0) == 0 ||
            line.rfind("ross", 0) == 0 || line.rfind("HOTEL", 0) == 0)
            names.push_back(line);
    EXPECT_EQ(names, (std::vector<std::string>{"HOTEL: 1", "ROSSA", "ROSSI", "Rossi", "rossi",
                                               "HOTEL: 2", "ROSSI"}));
    EXPECT_EQ(blockLine(report, "ROSSI", "     PrC"), dayLine("     PrC", {{3, 2}}));
}

TEST(StampaTipo2, SingleCompanyIsALiteralPrefixWithoutRegardToCase)
{
    Group g("(1,1,'C','A*B SRL',1),(2,1,'C','a*b tour',2),(3,1,'C','AXB SRL',3),"
            "(4,1,'C','L''ANCORA',4),(5,1,'C','A[B]',5)",
            "(1,1,'20250203','20250204',1,1,'',1,0),(2,1,'20250203','20250204',1,1,'',1,0),"
            "(3,1,'20250203','20250204',1,1,'',1,0),(4,1,'20250203','20250204',1,1,'',1,0),"
            "(5,1,'20250203','20250204',1,1,'',1,0)");
    Selection s = detailAll();
    s.singleCompany = true;
    s.company = "a*B";
    std::string report = g.report(s, 2);
    EXPECT_NE(summaryOf(report, "A*B SRL"), "");
    EXPECT_NE(summaryOf(report, "a*b tour"), "");
    EXPECT_EQ(report.find("AXB"), std::string::npos);
    s.company = "l'an";
    report = g.report(s, 2);
    EXPECT_NE(summaryOf(report, "L'ANCORA"), "");
    EXPECT_EQ(report.find("SRL"), std::string::npos);
    s.company = "A[";
    EXPECT_NE(summaryOf(g.report(s, 2), "A[B]"), "");
}

TEST(StampaTipo2, CompanyListKeepsTheListedCodesOnly)
{
    Group g("(1,1,'C','UNO',10),(2,1,'C','DUE',20),(3,1,'C','TRE',30),(4,1,'C','SENZA',NULL)",
            "(1,1,'20250203','20250204',1,1,'',1,0),(2,1,'20250203','20250204',1,1,'',1,0),"
            "(3,1,'20250203','20250204',1,1,'',1,0),(4,1,'20250203','20250204',1,1,'',1,0)");
    test::writeFile(g.dir / "ElencoDitte.txt",
                    "    10 UNO\r\n  A1   ALTRA\r\n       VUOTA\r\n 30) X\r\n    30 TRE\r\n");
    Selection s = detailAll();
    s.companyListOnly = true;
    s.singleCompany = true; // not consulted with the list
    s.company = "DUE";
    std::string report = g.report(s, 2);
    EXPECT_NE(summaryOf(report, "UNO"), "");
    EXPECT_NE(summaryOf(report, "TRE"), "");
    EXPECT_EQ(report.find("DUE"), std::string::npos);
    EXPECT_EQ(report.find("SENZA"), std::string::npos);
    // A list without usable codes does not restrict the report.
    test::writeFile(g.dir / "ElencoDitte.txt", "       VUOTA\r\n  ABC  ALTRA\r\n");
    report = g.report(s, 2);
    EXPECT_NE(summaryOf(report, "DUE"), "");
    EXPECT_NE(summaryOf(report, "SENZA"), "");
}

TEST(StampaTipo2, EmptyValuesAndTariffPeriods)
{
    // A null and an empty company are one block; tariff days null, 0 or
    // negative charge every day; 7-day tariffs charge from the arrival on,
    // also when the stay began before the month.
    Group g("(1,1,'C',NULL,1),(2,1,'C','',1),(3,1,'C','SETTE',2),(4,1,'C','PRIMA',3)",
            "(1,1,'20250203','20250205',1,1,NULL,NULL,1),(2,1,'20250203','20250205',1,1,'',0,1),"
            "(2,1,'20250203','20250205',1,1,'',-2,1),(3,1,'20250201','20250211',1,1,'',7,10),"
            "(4,1,'20250129','20250301',1,1,'',7,100),(1,1,'20250203','20250204',NULL,NULL,'',1,"
            "NULL)");
    const std::string report = g.report(detailAll(), 2);
    const auto lines = linesOf(report);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), ""), 2); // one name line, one before the table
    EXPECT_EQ(summaryOf(report, ""), box("!                                 |       6|"
                                         "       0|       6|       0|           6|"));
    EXPECT_EQ(summaryOf(report, "SETTE"), box("! SETTE                           |      10|"
                                              "       0|      10|       0|          20|"));
    // Arrival 29 January: charges fall on 5, 12, 19 and 26 February.
    EXPECT_EQ(summaryOf(report, "PRIMA"), box("! PRIMA                           |      28|"
                                              "       0|      28|       0|         400|"));
}

TEST(StampaTipo2, TotalsModeWritesOnlyTheRoomSummaries)
{
    Group g(
        "(1,1,'C','UNO',1),(2,1,'O','DUE',2),(3,2,'C','UNO',1)",
        "(1,1,'20250203','20250205',2,1,'<GRP>',1,50),(2,1,'20250203','20250205',3,2,'<grp>',1,5),"
        "(1,1,'20250203','20250205',1,1,'<GRP> bis',1,50),(3,2,'20250210','20250211',4,2,'',1,1)");
    Selection totals = detailAll();
    totals.summary = true;
    const std::string t = g.report(totals, 2);
    const std::string d = g.report(detailAll(), 2);
    EXPECT_EQ(t.find("UNO"), std::string::npos);
    EXPECT_EQ(t.find("Totale"), std::string::npos);
    EXPECT_EQ(t.find("Hotel / Agenzia"), std::string::npos);
    EXPECT_EQ(t.substr(t.size() - 135), std::string(133, '\xC4') + "\r\n");
    // The room summaries are those of the detail report.
    const auto summaries = [](const std::string& r) {
        std::vector<std::string> kept;
        for (const auto& line : linesOf(r))
            if (line.rfind("TOT", 0) == 0 || line.rfind("HOTEL", 0) == 0 ||
                (line.rfind("  ", 0) == 0 && line[2] != ' '))
                kept.push_back(line);
        return kept;
    };
    EXPECT_EQ(summaries(t).size(), 2u * 14);
    EXPECT_TRUE(summaries(t) == summaries(d));
    EXPECT_NE(t.find(dayLine("  GRP P.", days(3, 4, 6))), std::string::npos);
    EXPECT_NE(t.find("HOTEL: 2"), std::string::npos);
}

TEST(StampaTipo2, ArchivedSeasonReadsItsOwnBookingFiles)
{
    Group g("(1,1,'C','NUOVA',1)", "(1,1,'20250203','20250204',1,1,'',1,0)");
    g.season("2023", "(1,1,'C','VECCHIA',1)", "(1,1,'20250203','20250204',1,1,'',1,0)");
    Selection s = detailAll();
    s.season = "2023";
    const std::string report = g.report(s, 2);
    EXPECT_NE(summaryOf(report, "VECCHIA"), "");
    EXPECT_EQ(report.find("NUOVA"), std::string::npos);
}

TEST(StampaTipo2, CountsThatOverflowStopTheReportWithAClearError)
{
    Group g("(1,1,'C','UNO',1),(2,1,'C','UNO',1)",
            "(1,1,'20250203','20250204',2000000000,1,'',1,0),"
            "(2,1,'20250203','20250204',2000000000,1,'',1,0)");
    try {
        g.report(detailAll(), 2);
        FAIL() << "no error";
    } catch (const DataError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("troppo grande"), std::string::npos) << message;
        EXPECT_NE(message.find("(hotel 1, ditta \"UNO\")"), std::string::npos) << message;
    }
    EXPECT_FALSE(fs::exists(g.dir / "fd9"));
}
