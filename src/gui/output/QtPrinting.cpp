#include "gui/output/QtPrinting.h"

#include "gui/desk/OffThread.h"
#include "render/QtText.h"
#include "render/ReportPdf.h"

namespace presenze {

QStringList systemPrinterNames(std::chrono::milliseconds limit)
{
    QStringList names;
    for (const auto& queue : listPrintQueues(limit).value_or(std::vector<std::string>()))
        names.push_back(fromCp1252(queue));
    return names;
}

PrintOutcome printFromWindow(const PrintJob& job, const DataFolder& folder,
                             const std::filesystem::path& defaultPdf, const PrintLimits& limits)
{
    return waitOffThread([&] { return printJob(job, folder, defaultPdf, writeReportPdf, limits); });
}

} // namespace presenze
