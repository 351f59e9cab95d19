#include "FullCommands.h"

#include "CommandSupport.h"
#include "ConsoleInteraction.h"
#include "PdfOutput.h"
#include "common/ReportFile.h"
#include "common/Station.h"
#include "data/BookingSource.h"
#include "data/Text1252.h"
#include "output/ArchiveCopy.h"
#include "output/PrintOutput.h"
#include "store/GroupName.h"
#include "store/PickupOutput.h"
#include "store/StoreSync.h"

#include <iostream>

namespace presenze {

int runPrint(const OutputOptions& o, const Clock& clock)
{
    const OutputPlace place = outputPlace(o);
    const std::string archive = archiveCopyName(place.tag, clock.now());
    const auto defaultPdf = place.folder.dir() / cp1252ToUtf8(archiveSibling(archive, ".pdf"));
    PdfOutput pdf;
    const PrintOutcome outcome =
        printReport(place.folder, place.tag, kFirstHotel, o.choices, defaultPdf, pdf.renderer());
    switch (outcome.status) {
    case PrintStatus::UnknownDestination:
        printError("Destinazione di stampa non trovata in Stampanti.mdb: \"" +
                   o.choices.destination + "\"");
        return 1;
    case PrintStatus::NoReport:
        printError("File di stampa non trovato: " + reportFileName(place.tag) +
                   " (crearlo con \"presenze-cli report\")");
        return 1;
    case PrintStatus::Ready:
        break;
    }
    std::cout << cp1252ToUtf8(outcome.description) << "\n";
    return 0;
}

int runSync(const SyncOptions& o, const Clock& running)
{
    const DataFolder folder = dataFolder(o);
    const std::string group = o.group ? *o.group : folderGroupName(folder);
    if (auto problem = checkGroupName(group))
        return usageError(*problem + " (indicare il gruppo con --group NOME)", "sync");
    const StoreAddress address = storeAddress(o.conninfo);
    const Date day = CommandClock(o.now, running).now().date;
    WarningsShown shown;
    const SyncSummary summary = syncFolder(
        address, group, FolderSource(folder), [&shown](std::string_view text) { shown(text); },
        day);
    shown.finish();
    std::cout << cp1252ToUtf8("Gruppo \"" + group + "\" sincronizzato sul server " +
                              address.server + ": " + std::to_string(summary.seasons) +
                              " stagioni, " + std::to_string(summary.headers) + " prenotazioni, " +
                              std::to_string(summary.lines) + " righe di camere; istantanea del " +
                              day.toDisplay() + ": " + std::to_string(summary.snapshotRows) +
                              " righe.")
              << "\n";
    return 0;
}

int runPickup(const PickupOptions& o, const Clock& running)
{
    PickupRequest request;
    request.group = o.group;
    request.days = o.days;
    request.forward = o.forward;
    request.today = CommandClock(o.now, running).now().date;
    // Outputs are checked against the current folder's files.
    const DataFolder here;
    const auto csv = userOutput(o.csv, here);
    const auto xlsx = userOutput(o.xlsx, here);
    const Pickup pickup = readPickup(storeAddress(o.conninfo), request);
    if (!csv && !xlsx)
        std::cout << cp1252ToUtf8(pickupTable(pickup));
    writeNamed(csv, [&pickup](const auto& file) { writePickupCsv(pickup, file); });
    writeNamed(xlsx, [&pickup](const auto& file) { writePickupWorkbook(pickup, file); });
    return 0;
}

} // namespace presenze
