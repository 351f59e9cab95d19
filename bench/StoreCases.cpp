#include "StoreCases.h"

#include "BenchData.h"
#include "common/Clock.h"
#include "common/Interaction.h"
#include "common/ReportContext.h"
#include "common/Selection.h"
#include "data/BookingSource.h"
#include "request/PrintRequest.h"
#include "store/StoreSource.h"
#include "store/StoreSync.h"

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

} // namespace

std::vector<BenchCase> storeCases(const std::string& size, const std::string& conninfo)
{
    const std::string group = "bench " + size;
    const Work sync = [=](const std::filesystem::path& data) {
        syncGroupOf(data, conninfo, group);
    };
    std::vector<BenchCase> cases;
    cases.push_back({"sync into the server", size, "", {"floor"}, {}, sync});
    cases.push_back({"T1 detail, 12 months, from the server",
                     size,
                     "",
                     {"floor"},
                     sync,
                     [=](const std::filesystem::path& data) {
                         printYearFromServer(data, conninfo, group, ReportKind::Type1, "s1");
                     }});
    cases.push_back({"T2 detail (presences), 12 months, from the server",
                     size,
                     "",
                     {"floor"},
                     sync,
                     [=](const std::filesystem::path& data) {
                         printYearFromServer(data, conninfo, group, ReportKind::Type2, "s2");
                     }});
    return cases;
}

} // namespace presenze::bench
