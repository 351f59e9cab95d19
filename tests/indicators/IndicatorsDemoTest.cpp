// Properties of the indicators over the demo group: RevPAR = occupancy x ADR
// and every total from the sums of its rows, on the CSV as written; and the
// rooms, presences and revenue of the current season against the Type 2
// report's own figures of the same months.

#include "common/ReportFigures.h"
#include "demo/DemoData.h"
#include "indicators/ComputeIndicators.h"
#include "output/IndicatorCsv.h"
#include "request/PrintRequest.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace presenze;

namespace {

class DemoIndicators : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new test::TempDir;
        writeDemoData(s_dir->path(), DemoOptions{1, Date{2026, 12, 8}});
        for (const auto& entry : std::filesystem::directory_iterator(s_dir->path()))
            test::settle(entry.path());
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static Indicators year2026(BookingKind kind, std::optional<std::string> season = {})
    {
        IndicatorRequest request;
        request.period.months = MonthRange{1, 2026, 12, 2026};
        request.compare = true;
        request.kind = kind;
        request.season = std::move(season);
        return computeIndicators(DataFolder(s_dir->path()), request, [](std::string_view) {});
    }
    static test::TempDir* s_dir;
};

test::TempDir* DemoIndicators::s_dir = nullptr;

// The CSV as rows of fields by column name.
struct CsvRow {
    std::string hotel, month;
    std::map<std::string, std::string> fields;
    bool has(const std::string& name) const { return !fields.at(name).empty(); }
    double number(const std::string& name) const { return std::stod(fields.at(name)); }
};

std::vector<CsvRow> rowsOf(const std::string& csv)
{
    std::vector<std::string> lines;
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);) {
        EXPECT_FALSE(line.empty() || line.back() != '\r');
        line.pop_back();
        lines.push_back(line);
    }
    const auto split = [](const std::string& line) {
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1)
            cells.push_back(line.substr(start, comma - start));
        cells.push_back(line.substr(start));
        return cells;
    };
    const auto names = split(lines.at(0));
    std::vector<CsvRow> rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = split(lines[i]);
        EXPECT_EQ(cells.size(), names.size()) << lines[i];
        CsvRow row{cells.at(0), cells.at(1), {}};
        for (std::size_t c = 2; c < names.size(); ++c)
            row.fields[names[c]] = cells.at(c);
        rows.push_back(std::move(row));
    }
    return rows;
}

const char* const kCounts[] = {"CamereDisponibili", "CamereVendute", "CamereOpzionate", "Presenze",
                               "Arrivi"};

} // namespace

TEST_F(DemoIndicators, RevParIsOccupancyTimesAdrAndTotalsComeFromSums)
{
    for (const BookingKind kind : {BookingKind::Confirmed, BookingKind::All}) {
        const auto rows = rowsOf(indicatorCsv(year2026(kind)));
        ASSERT_GT(rows.size(), 12u * 13u);
        int defined = 0;
        for (const CsvRow& row : rows) {
            for (const std::string ap : {"", "AP"}) {
                if (!row.has("CamereDisponibili" + ap))
                    continue;
                const bool sold = row.has("ADR" + ap);
                ASSERT_EQ(row.has("RevPAR" + ap), row.number("CamereDisponibili" + ap) != 0);
                if (!sold || !row.has("RevPAR" + ap))
                    continue;
                ++defined;
                const double occupancy = row.number("Occupazione" + ap);
                const double adr = row.number("ADR" + ap);
                EXPECT_NEAR(row.number("RevPAR" + ap), occupancy * adr,
                            0.005 + 0.00005 * adr + 0.005 * occupancy + 1e-9)
                    << row.hotel << " " << row.month << ap;
            }
        }
        EXPECT_GT(defined, 200);

        // Each total row against the rows it sums: a hotel's months, and the
        // group's hotels month by month.
        std::map<std::pair<std::string, std::string>, std::map<std::string, double>> sums;
        std::map<std::pair<std::string, std::string>, int> parts;
        for (const CsvRow& row : rows) {
            std::vector<std::pair<std::string, std::string>> into;
            if (row.hotel != "Totale" && row.month != "Totale")
                into = {{row.hotel, "Totale"}, {"Totale", row.month}, {"Totale", "Totale"}};
            for (const auto& key : into) {
                ++parts[key];
                for (const std::string ap : {"", "AP"})
                    for (const std::string name :
                         {"CamereDisponibili", "CamereVendute", "CamereOpzionate", "Presenze",
                          "Arrivi", "Ricavo"})
                        if (row.has(name + ap))
                            sums[key][name + ap] += row.number(name + ap);
            }
        }
        for (const CsvRow& row : rows) {
            const auto key = std::make_pair(row.hotel, row.month);
            if (!parts.count(key))
                continue;
            for (const char* count : kCounts)
                EXPECT_EQ(row.number(count), sums[key][count]) << row.hotel << row.month << count;
            EXPECT_NEAR(row.number("Ricavo"), sums[key]["Ricavo"], 0.005 * parts[key] + 1e-6);
            // The ratios of a total from its own sums, never from its rows' ratios.
            const double sold = kind == BookingKind::All
                                    ? row.number("CamereVendute") + row.number("CamereOpzionate")
                                    : row.number("CamereVendute");
            if (row.number("CamereDisponibili") > 0) {
                EXPECT_NEAR(row.number("Occupazione"), sold / row.number("CamereDisponibili"),
                            0.00005 + 1e-12)
                    << row.hotel << row.month;
            }
            if (sold > 0) {
                EXPECT_NEAR(row.number("ADR"), row.number("Ricavo") / sold,
                            0.005 + 0.005 / sold + 1e-9)
                    << row.hotel << row.month;
            }
        }
    }
}

// The current season alone, as the Type 2 report reads it: per hotel and
// month the rooms, presences and revenue of its days inside the month.
TEST_F(DemoIndicators, CountsAndRevenueEqualTheType2ReportsFigures)
{
    const Indicators kpi = year2026(BookingKind::All, "");
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    ReportFigures figures;
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ReportContext context{DataFolder(s_dir->path()), "9", clock, ui};
    context.figures = &figures;
    runPrintRequest(ReportKind::Type2, MonthRange{1, 2026, 12, 2026}, selection, context);

    std::map<std::pair<std::int64_t, int>, PeriodFigures> report;
    for (const MonthFigures& month : figures.months()) {
        for (const HotelFigures& h : month.hotels) {
            PeriodFigures& f = report[{h.hotel, month.first.month}];
            for (int d = 1; d <= kFigureDays; ++d) {
                if (!month.inMonth(d))
                    continue;
                f.confirmed.rooms += h.days[static_cast<std::size_t>(d - 1)].camCon;
                f.optional.rooms += h.days[static_cast<std::size_t>(d - 1)].camOpz;
                f.confirmed.presences += h.days[static_cast<std::size_t>(d - 1)].presCon;
                f.optional.presences += h.days[static_cast<std::size_t>(d - 1)].presOpz;
            }
        }
        for (const CompanyFigures& c : month.companies)
            for (const FigureDay* d = month.begin(c); d != month.end(c); ++d)
                if (month.inMonth(d->day))
                    report[{c.hotel, month.first.month}].confirmed.revenue += d->figures.importo;
    }
    int compared = 0;
    for (const HotelIndicators& h : kpi.hotels) {
        for (std::size_t m = 0; m < kpi.months.size(); ++m) {
            const PeriodFigures& mine = h.months[m].current;
            const PeriodFigures& theirs = report[{h.hotel, kpi.months[m].month}];
            EXPECT_EQ(mine.confirmed.rooms, theirs.confirmed.rooms) << h.hotel << " " << m;
            EXPECT_EQ(mine.optional.rooms, theirs.optional.rooms) << h.hotel << " " << m;
            EXPECT_EQ(mine.confirmed.presences, theirs.confirmed.presences);
            EXPECT_EQ(mine.optional.presences, theirs.optional.presences);
            EXPECT_EQ(mine.counted(BookingKind::All).revenue.units, theirs.confirmed.revenue.units)
                << h.hotel << " " << m;
            compared += mine.confirmed.rooms > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(compared, 50);
}
