#include "gui/output/QtPrinting.h"

#include "gui/desk/QtText.h"
#include "gui/output/ReportPdf.h"
#include "output/PrintQueues.h"

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
    PrintOutcome outcome;
    if (!job.systemPrinterMode()) {
        outcome.description = waitOffThread(
            [&job, &folder, &limits] { return deliverRawPrint(job, folder, limits); });
        return outcome;
    }
    const SystemPrinterRoute route = waitOffThread([&job, &folder, &defaultPdf, &limits] {
        return routeSystemPrint(job, folder, defaultPdf, limits);
    });
    // A long report takes a while to draw: the window repaints between pages.
    const auto draw = [](const PrintJob& j, const std::filesystem::path& file) {
        writeReportPdf(j, file,
                       [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    };
    if (route.target == SystemPrinterTarget::PdfFile) {
        writePdfFile(job, route, draw);
        outcome.pdfFile = route.pdfFile;
    } else {
        const SpoolFile spool;
        draw(job, spool.path());
        waitOffThread([&] { sendPdf(job, route, spool.path(), limits); });
    }
    outcome.description = describeRoute(route);
    return outcome;
}

} // namespace presenze
