#include "StoreCases.h"

#include "BenchData.h"
#include "common/Clock.h"
#include "common/Interaction.h"
#include "common/ReportContext.h"
#include "common/Selection.h"
#include "data/BookingSource.h"
#include "indicators/ComputeIndicators.h"
#include "output/IndicatorCsv.h"
#include "output/IndicatorTable.h"
#include "request/PrintRequest.h"
#include "store/PgConnection.h"
#include "store/StoreIndicators.h"
#include "store/StoreSource.h"
#include "store/StoreSync.h"

#include <cstdio>
#include <stdexcept>

namespace presenze::bench {
namespace {

class SilentInteraction final : public Interaction {
public:
    int ask(std::string_view, std::string_view, bool) override { return AnswerYes; }
    void warn(std::string_view, std::string_view) override {}
};

// The whole sync: the folder read as the reports read it, then written. The
// snapshot is that of 1 January, the whole year of bookings ahead of it.
void syncGroupOf(const std::filesystem::path& data, const std::string& conninfo,
                 const std::string& group)
{
    syncFolder(storeAddress(conninfo), group, FolderSource(DataFolder(data)), {}, Date{2026, 1, 1});
}

// A 12-month report of every booking kind over the group on the server,
// written into the folder as "fd" + tag.
void printYearFromServer(const std::filesystem::path& data, const std::string& conninfo,
                         const std::string& group, ReportKind kind, const std::string& tag)
{
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    const FixedClock clock(DateTime{Date{2026, 12, 8}, 14, 0});
    SilentInteraction ui;
    const StoreSource source(storeAddress(conninfo), group);
    ReportContext context{DataFolder(data), tag, clock, ui};
    context.source = &source;
    runPrintRequest(kind, benchYear(), selection, context);
}

// The groups of the chain: the same folder synchronised ten times under
// ten names, into a database of their own (the chain's indicators cover
// every group the server holds).
constexpr int kChainGroups = 10;

std::string chainConninfo(const std::string& conninfo)
{
    return conninfo + " dbname=presenze_catena"; // the last dbname is the one taken
}

void syncChain(const std::filesystem::path& data, const std::string& conninfo)
{
    PgConnection admin(storeAddress(conninfo));
    const PgResult there =
        admin.query("SELECT 1 FROM pg_database WHERE datname = 'presenze_catena'");
    if (there.rows() == 0)
        admin.execute("CREATE DATABASE presenze_catena");
    for (int g = 1; g <= kChainGroups; ++g) {
        char name[32];
        std::snprintf(name, sizeof name, "catena %02d", g);
        syncGroupOf(data, chainConninfo(conninfo), name);
    }
    // As the server would be hours after the nightly syncs: the new rows
    // vacuumed and counted, rather than by the autovacuum during the timed
    // runs.
    PgConnection(storeAddress(chainConninfo(conninfo))).execute("VACUUM ANALYZE");
}

// `presenze-cli kpi --compare --csv` over the year, both kinds, read from the
// server: one group, or every group of the chain's database.
IndicatorRequest yearRequest()
{
    IndicatorRequest request;
    request.period.months = benchYear();
    request.kind = BookingKind::All;
    request.compare = true;
    return request;
}

void writeIndicators(const Indicators& kpi, const std::filesystem::path& csv)
{
    // The program writes the table on the terminal; here it is only made.
    if (indicatorTable(kpi).empty())
        throw std::runtime_error("tabella degli indicatori vuota");
    writeIndicatorCsv(kpi, csv);
}

void groupIndicators(const std::filesystem::path& data, const std::string& conninfo,
                     const std::string& group)
{
    const StoreSource source(storeAddress(conninfo), group);
    writeIndicators(computeIndicators(
                        DataFolder(data), yearRequest(), [](std::string_view) {}, &source),
                    data / "s7-kpi.csv");
}

void chainIndicators(const std::filesystem::path& data, const std::string& conninfo)
{
    writeIndicators(computeChainIndicators(storeAddress(chainConninfo(conninfo)), DataFolder(data),
                                           yearRequest(), [](std::string_view) {}),
                    data / "s8-kpi.csv");
}

} // namespace

std::vector<BenchCase> storeCases(const std::string& size, const std::string& conninfo)
{
    const std::string group = "bench " + size;
    const Work sync = [=](const std::filesystem::path& data) {
        syncGroupOf(data, conninfo, group);
    };
    // The reports read another group, synchronised once and vacuumed, as a
    // station finds it hours after the nightly sync (rather than rows the
    // timed syncs keep replacing between the runs).
    const std::string read = group + " letture";
    const Work settled = [=](const std::filesystem::path& data) {
        syncGroupOf(data, conninfo, read);
        PgConnection(storeAddress(conninfo)).execute("VACUUM ANALYZE");
    };
    std::vector<BenchCase> cases;
    cases.push_back({"sync into the server", size, "", {"floor"}, {}, sync});
    cases.push_back({"T1 detail, 12 months, from the server",
                     size,
                     "",
                     {"floor"},
                     settled,
                     [=](const std::filesystem::path& data) {
                         printYearFromServer(data, conninfo, read, ReportKind::Type1, "s1");
                     }});
    cases.push_back({"T2 detail (presences), 12 months, from the server",
                     size,
                     "",
                     {"floor"},
                     settled,
                     [=](const std::filesystem::path& data) {
                         printYearFromServer(data, conninfo, read, ReportKind::Type2, "s2");
                     }});
    if (size == "L") {
        cases.push_back(
            {"kpi --compare, 12 months, from the server",
             size,
             "",
             {},
             settled,
             [=](const std::filesystem::path& data) { groupIndicators(data, conninfo, read); }});
        cases.push_back(
            {"kpi --compare, 12 months, chain of 10 L groups",
             size,
             "",
             {},
             [=](const std::filesystem::path& data) { syncChain(data, conninfo); },
             [=](const std::filesystem::path& data) { chainIndicators(data, conninfo); }});
    }
    return cases;
}

} // namespace presenze::bench
