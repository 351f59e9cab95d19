#include "output/PrintOutput.h"

#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/HotelFile.h"
#include "data/Schema.h"
#include "data/Text1252.h"
#include "output/PageLayout.h"
#include "output/PdfWriter.h"
#include "output/PrintQueues.h"
#include "output/RawPrint.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace presenze {
namespace fs = std::filesystem;
namespace {

bool endsWithPdf(std::string_view device)
{
    const auto name = trimBlanks(device);
    return name.size() >= 4 && equalText(name.substr(name.size() - 4), ".pdf");
}

bool endsWithText(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           equalText(text.substr(text.size() - suffix.size()), suffix);
}

// A device that is not a plain file (a printer port, a pipe) is written in
// place; a plain file is replaced whole.
void writeToDevice(const fs::path& path, std::string_view bytes)
{
    checkPrintFile(path);
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status) || fs::is_regular_file(status)) {
        writeFileAtomically(path, bytes);
        return;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw DataError("Impossibile aprire il dispositivo di stampa: " +
                            utf8ToCp1252(std::strerror(errno)),
                        displayName(path));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const std::string reason = utf8ToCp1252(std::strerror(errno));
            ::close(fd);
            throw DataError("Errore di scrittura sul dispositivo di stampa: " + reason,
                            displayName(path));
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0)
        throw DataError("Errore di scrittura sul dispositivo di stampa: " +
                            utf8ToCp1252(std::strerror(errno)),
                        displayName(path));
}

std::string jobTitle(const PrintJob& job)
{
    return "Presenze - " + job.destination;
}

} // namespace

SystemPrinterRoute routeSystemPrint(const PrintJob& job, const std::vector<std::string>& installed,
                                    const DataFolder& folder, const fs::path& defaultPdf)
{
    SystemPrinterRoute route;
    if (endsWithPdf(job.device)) {
        route.target = SystemPrinterTarget::PdfFile;
        route.pdfFile = devicePath(folder, trimBlanks(job.device));
    } else if (auto queue = findPrintQueue(installed, job.device); queue && !job.device.empty()) {
        route.target = SystemPrinterTarget::Queue;
        route.queue = *queue;
    } else if (job.destination.find("PDF") != std::string::npos) {
        route.target = SystemPrinterTarget::PdfFile;
        route.pdfFile = defaultPdf;
    }
    return route;
}

void checkPrintFile(const fs::path& path)
{
    const std::string name = utf8ToCp1252(path.filename().string());
    bool dataFile = endsWithText(name, ".mdb") || endsWithText(name, ".accdb");
    for (const std::string_view settings :
         {schema::kCompanyListFile, schema::kFontFile, schema::kCsvSettingsFile})
        dataFile = dataFile || equalText(name, settings);
    std::error_code ec;
    if (!dataFile && fs::is_regular_file(path, ec)) {
        const FileFormat format = detectFormat(path);
        dataFile = format == FileFormat::Sqlite || format == FileFormat::Jet;
    }
    if (dataFile)
        throw DataError("Il dispositivo di stampa indica un file dei dati, che la stampa "
                        "sostituirebbe: controllare la destinazione in Stampanti.mdb",
                        displayName(path));
}

fs::path devicePath(const DataFolder& folder, std::string_view device)
{
    const fs::path path(cp1252ToUtf8(device));
    return path.is_absolute() ? path : folder.dir() / path;
}

std::vector<std::string> queueOptions(const PrintJob& job)
{
    return {job.duplex ? "sides=two-sided-long-edge" : "sides=one-sided"};
}

std::string deliverRawPrint(const PrintJob& job, const DataFolder& folder,
                            const std::vector<std::string>& queues)
{
    if (trimBlanks(job.device).empty())
        throw DataError("Nessun dispositivo di stampa indicato per la destinazione \"" +
                        job.destination + "\"");
    const std::string bytes = rawPrintBytes(job);
    if (auto queue = findPrintQueue(queues, job.device)) {
        sendToPrintQueue(*queue, bytes, {"raw"}, jobTitle(job));
        return "Stampa inviata alla coda \"" + *queue + "\"";
    }
    const fs::path path = devicePath(folder, job.device);
    writeToDevice(path, bytes);
    return "Stampa scritta su " + displayName(path);
}

PrintOutcome printReport(const DataFolder& folder, std::string_view stationTag, std::int64_t hotel,
                         const PrintChoices& choices, const fs::path& defaultPdf)
{
    PrintOutcome outcome;
    const PreparedPrint prepared = preparePrint(folder, stationTag, hotel, choices);
    outcome.status = prepared.status;
    if (prepared.status != PrintStatus::Ready)
        return outcome;
    const PrintJob& job = prepared.job;
    const auto queues = listPrintQueues();
    if (!job.systemPrinterMode()) {
        outcome.description = deliverRawPrint(job, folder, queues);
        return outcome;
    }
    const SystemPrinterRoute route = routeSystemPrint(job, queues, folder, defaultPdf);
    PdfSetup setup;
    setup.landscape = job.landscape;
    setup.bodySize = job.settings.bodyFontSize(job.compressed);
    setup.headerSize = job.settings.headerFontSize();
    const std::string pdf = renderPdf(layoutPages(job), setup);
    switch (route.target) {
    case SystemPrinterTarget::PdfFile: {
        checkPrintFile(route.pdfFile);
        std::error_code ec;
        fs::create_directories(route.pdfFile.parent_path(), ec);
        writeFileAtomically(route.pdfFile, pdf);
        outcome.pdfFile = route.pdfFile;
        outcome.description = "PDF scritto in " + displayName(route.pdfFile);
        break;
    }
    case SystemPrinterTarget::Queue:
        sendToPrintQueue(route.queue, pdf, queueOptions(job), jobTitle(job));
        outcome.description = "Stampa inviata alla stampante \"" + route.queue + "\"";
        break;
    case SystemPrinterTarget::DefaultQueue:
        if (!defaultPrintQueue())
            throw DataError("Nessuna stampante predefinita: impossibile stampare sulla "
                            "destinazione \"" +
                            job.destination + "\"");
        sendToPrintQueue({}, pdf, queueOptions(job), jobTitle(job));
        outcome.description = "Stampa inviata alla stampante predefinita";
        break;
    }
    return outcome;
}

} // namespace presenze
