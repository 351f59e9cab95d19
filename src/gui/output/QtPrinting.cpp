#include "gui/output/QtPrinting.h"

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
    // A long report takes a while to draw: the window repaints between pages.
    const auto draw = [](const PrintJob& j, const std::filesystem::path& file) {
        writeReportPdf(j, file,
                       [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    };
    return printJob(job, folder, defaultPdf, draw, limits,
                    [](const std::function<void()>& step) { waitOffThread(step); });
}

} // namespace presenze
