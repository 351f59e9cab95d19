#include "output/PrintOutput.h"

#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/ProtectedFiles.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"
#include "output/ArchiveCopy.h"
#include "output/RawPrint.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>
#include <utility>

namespace presenze {
namespace fs = std::filesystem;
namespace {

using SteadyClock = std::chrono::steady_clock;

bool endsWithText(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           equalText(text.substr(text.size() - suffix.size()), suffix);
}

bool endsWithPdf(std::string_view device)
{
    return endsWithText(trimBlanks(device), ".pdf");
}

std::string jobTitle(const PrintJob& job)
{
    return "Presenze - " + job.destination;
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

[[noreturn]] void refuseDevice(std::string_view destination, std::string_view device,
                               const std::string& reason, const fs::path& file)
{
    throw DataError("Stampa non eseguita: la destinazione " + inQuotes(destination) +
                        " indica il dispositivo " + inQuotes(device) + ", che " + reason,
                    displayName(file));
}

// SIGPIPE stays pending instead of ending the program while a device is
// written; a pending one raised here is dropped at the end.
class SigpipeBlocked {
public:
    SigpipeBlocked()
    {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &m_set, &m_previous);
    }
    ~SigpipeBlocked()
    {
        if (sigismember(&m_previous, SIGPIPE))
            return;
        const timespec none{};
        while (::sigtimedwait(&m_set, nullptr, &none) > 0) {
        }
        ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    SigpipeBlocked(const SigpipeBlocked&) = delete;
    SigpipeBlocked& operator=(const SigpipeBlocked&) = delete;

private:
    sigset_t m_set;
    sigset_t m_previous;
};

// A printer port or a pipe, written in place without blocking: a write that
// makes no progress within the limit fails. A slow device that keeps taking
// bytes is fine.
class DeviceSink final : public ByteSink {
public:
    DeviceSink(fs::path path, std::chrono::milliseconds stalled)
        : m_path(std::move(path)), m_stalled(stalled)
    {
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0)
            throw DataError("Impossibile aprire il dispositivo di stampa: " +
                                systemErrorText(errno),
                            displayName(m_path));
    }
    ~DeviceSink() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DeviceSink(const DeviceSink&) = delete;
    DeviceSink& operator=(const DeviceSink&) = delete;

    void write(std::string_view bytes) override
    {
        const SigpipeBlocked blocked;
        auto deadline = SteadyClock::now() + m_stalled;
        while (!bytes.empty()) {
            const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(n));
                deadline = SteadyClock::now() + m_stalled;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                fail(systemErrorText(errno));
            waitUntilWritable(deadline);
        }
    }

    void close()
    {
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0 && errno != EINTR)
            fail(systemErrorText(errno));
    }

private:
    void waitUntilWritable(SteadyClock::time_point deadline)
    {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - SteadyClock::now());
            if (left.count() <= 0)
                fail("il dispositivo non ha accettato dati per " +
                     std::to_string((m_stalled.count() + 999) / 1000) +
                     " secondi, la stampa \xE8 stata interrotta");
            pollfd waiting{m_fd, POLLOUT, 0};
            const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
            if (ready > 0 && (waiting.revents & (POLLERR | POLLHUP)) &&
                !(waiting.revents & POLLOUT))
                fail(systemErrorText(EPIPE));
            if (ready > 0 || (ready < 0 && errno == EINTR))
                return;
        }
    }

    [[noreturn]] void fail(const std::string& reason) const
    {
        throw DataError("Errore di scrittura sul dispositivo di stampa: " + reason,
                        displayName(m_path));
    }

    fs::path m_path;
    std::chrono::milliseconds m_stalled;
    int m_fd = -1;
};

[[noreturn]] void windowsDevice(const PrintJob& job)
{
    throw DataError("Stampa non eseguita: la destinazione " + inQuotes(job.destination) +
                    " indica il dispositivo Windows " + inQuotes(job.device) +
                    ", che qui non esiste. Impostare la variabile d'ambiente " +
                    inQuotes(job.destination) +
                    " con il nome di una coda di stampa o di un file, oppure scegliere una "
                    "stampante");
}

// The installed queue a raw device names; raises DataError when the print
// system cannot say, or has no such queue.
std::string rawQueue(const PrintJob& job, const PrintLimits& limits, const PrintSystem& system)
{
    const auto queues = system.queues(limits.printSystem);
    if (!queues)
        throw DataError("Stampa non eseguita: il sistema di stampa non risponde, e la "
                        "destinazione " +
                        inQuotes(job.destination) + " stampa sulla coda " + inQuotes(job.device));
    const auto queue = findPrintQueue(*queues, job.device);
    if (!queue)
        throw DataError("Stampa non eseguita: la destinazione " + inQuotes(job.destination) +
                        " stampa sulla coda " + inQuotes(job.device) +
                        ", che il sistema di stampa non ha. Controllare la destinazione in "
                        "Stampanti.mdb, oppure scegliere una stampante");
    return *queue;
}

} // namespace

bool isWindowsDeviceName(std::string_view device)
{
    std::string_view d = trimBlanks(device);
    if (d.find('\\') != std::string_view::npos)
        return true;
    if (d.size() >= 2 && d[1] == ':' && std::isalpha(static_cast<unsigned char>(d[0])))
        return true;
    if (!d.empty() && d.back() == ':')
        d.remove_suffix(1);
    for (const std::string_view name : {"PRN", "AUX", "NUL", "CON"}) {
        if (equalText(d, name))
            return true;
    }
    return d.size() == 4 && (startsWithText(d, "LPT") || startsWithText(d, "COM")) && d[3] >= '1' &&
           d[3] <= '9';
}

bool namesPrintQueue(std::string_view device)
{
    const std::string_view d = trimBlanks(device);
    return !d.empty() && std::none_of(d.begin(), d.end(), [](char c) {
        return c == '/' || c == '.' || c == '\\' || std::isspace(static_cast<unsigned char>(c));
    });
}

fs::path devicePath(const DataFolder& folder, std::string_view device)
{
    const fs::path path(cp1252ToUtf8(trimBlanks(device)));
    return path.is_absolute() ? path : folder.dir() / path;
}

fs::path checkedDeviceFile(const DataFolder& folder, std::string_view destination,
                           std::string_view device)
{
    const fs::path path = devicePath(folder, device);
    std::error_code ec;
    const fs::path file = fs::weakly_canonical(path, ec);
    if (ec)
        refuseDevice(destination, device, "non si raggiunge: " + systemErrorText(ec), path);
    const auto status = fs::status(file, ec);
    if (fs::is_character_file(status))
        return file;
    const fs::path base = fs::weakly_canonical(folder.dir(), ec);
    const fs::path inside = file.lexically_relative(base);
    if (ec || inside.empty() || inside == "." || *inside.begin() == "..")
        refuseDevice(destination, device,
                     "\xE8 fuori dalla cartella dei dati e non \xE8 una stampante", file);
    if (equalText(utf8ToCp1252(inside.begin()->string()), "doc"))
        refuseDevice(destination, device, "\xE8 nella cartella delle copie d'archivio", file);
    if (isStationFileName(utf8ToCp1252(file.filename().string())))
        refuseDevice(destination, device,
                     "\xE8 un file scritto dal programma (stampa, archivio, posta)", file);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_fifo(status))
        refuseDevice(destination, device, "non \xE8 un file n\xE9 una stampante", file);
    checkPrintFile(file);
    return file;
}

void checkPrintFile(const fs::path& path)
{
    if (isProtectedDataFile(path))
        throw DataError("Il dispositivo di stampa indica un file dei dati, che la stampa "
                        "sostituirebbe: controllare la destinazione in Stampanti.mdb",
                        displayName(path));
}

SystemPrinterRoute routeSystemPrint(const PrintJob& job, const DataFolder& folder,
                                    const fs::path& defaultPdf, const PrintLimits& limits,
                                    const PrintSystem& system)
{
    SystemPrinterRoute route;
    const bool pdfDestination = job.destination.find("PDF") != std::string::npos;
    if (endsWithPdf(job.device)) {
        route.target = SystemPrinterTarget::PdfFile;
        route.pdfFile = checkedDeviceFile(folder, job.destination, job.device);
        std::error_code ec;
        if (fs::is_character_file(fs::status(route.pdfFile, ec)))
            refuseDevice(job.destination, job.device, "non \xE8 un file", route.pdfFile);
        return route;
    }
    if (namesPrintQueue(job.device)) {
        const auto queues = system.queues(limits.printSystem);
        if (queues) {
            if (auto queue = findPrintQueue(*queues, job.device)) {
                route.target = SystemPrinterTarget::Queue;
                route.queue = *queue;
                return route;
            }
        } else if (!pdfDestination) {
            throw DataError("Stampa non eseguita: il sistema di stampa non risponde, e la "
                            "destinazione " +
                            inQuotes(job.destination) + " stampa sulla stampante " +
                            inQuotes(job.device));
        }
    }
    if (pdfDestination) {
        route.target = SystemPrinterTarget::PdfFile;
        route.pdfFile = defaultPdf;
        route.newName = true;
        checkPrintFile(route.pdfFile);
        // Beside the archive copies: only where "doc" lies inside the folder.
        if (defaultPdf.parent_path() == folder.dir() / kArchiveFolder)
            archiveFolder(folder);
        return route;
    }
    if (!system.defaultQueue(limits.printSystem))
        throw DataError("Nessuna stampante predefinita raggiungibile: impossibile stampare sulla "
                        "destinazione " +
                        inQuotes(job.destination));
    return route;
}

std::vector<std::string> queueOptions(const PrintJob& job)
{
    return {job.duplex ? "sides=two-sided-long-edge" : "sides=one-sided"};
}

std::string deliverRawPrint(const PrintJob& job, const DataFolder& folder,
                            const PrintLimits& limits, const PrintSystem& system)
{
    if (trimBlanks(job.device).empty())
        throw DataError("Nessun dispositivo di stampa indicato per la destinazione " +
                        inQuotes(job.destination));
    if (isWindowsDeviceName(job.device))
        windowsDevice(job);
    if (namesPrintQueue(job.device)) {
        const std::string queue = rawQueue(job, limits, system);
        const SpoolFile spool;
        AtomicFile bytes(spool.path(), FileAccess::Private);
        writeRawPrint(job, bytes);
        bytes.commit();
        system.send(queue, spool.path(), {"raw"}, jobTitle(job), limits.sending);
        return "Stampa inviata alla coda " + inQuotes(queue);
    }
    const fs::path file = checkedDeviceFile(folder, job.destination, job.device);
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (fs::is_character_file(status) || fs::is_fifo(status)) {
        DeviceSink device(file, limits.stalled);
        writeRawPrint(job, device);
        device.close();
        return "Stampa inviata al dispositivo " + displayName(file);
    }
    AtomicFile out(file);
    writeRawPrint(job, out);
    out.commit();
    return "Stampa scritta nel file " + displayName(file);
}

fs::path writePdfFile(const PrintJob& job, const SystemPrinterRoute& route,
                      const PdfRenderer& render)
{
    AtomicFile file(route.pdfFile);
    render(job, file.path());
    if (route.newName)
        return file.commitAsNew();
    file.commit();
    return route.pdfFile;
}

void sendPdf(const PrintJob& job, const SystemPrinterRoute& route, const fs::path& pdf,
             const PrintLimits& limits, const PrintSystem& system)
{
    system.send(route.target == SystemPrinterTarget::Queue ? route.queue : std::string(), pdf,
                queueOptions(job), jobTitle(job), limits.sending);
}

std::string describeRoute(const SystemPrinterRoute& route)
{
    switch (route.target) {
    case SystemPrinterTarget::PdfFile:
        return "PDF scritto in " + displayName(route.pdfFile);
    case SystemPrinterTarget::Queue:
        return "Stampa inviata alla stampante " + inQuotes(route.queue);
    case SystemPrinterTarget::DefaultQueue:
        break;
    }
    return "Stampa inviata alla stampante predefinita";
}

PrintOutcome printJob(const PrintJob& job, const DataFolder& folder, const fs::path& defaultPdf,
                      const PdfRenderer& render, const PrintLimits& limits,
                      const PrintSystem& system)
{
    PrintOutcome outcome;
    if (!job.systemPrinterMode()) {
        outcome.description = deliverRawPrint(job, folder, limits, system);
        return outcome;
    }
    SystemPrinterRoute route = routeSystemPrint(job, folder, defaultPdf, limits, system);
    if (route.target == SystemPrinterTarget::PdfFile) {
        route.pdfFile = writePdfFile(job, route, render);
        outcome.pdfFile = route.pdfFile;
    } else {
        const SpoolFile spool;
        render(job, spool.path());
        sendPdf(job, route, spool.path(), limits, system);
    }
    outcome.description = describeRoute(route);
    return outcome;
}

PrintOutcome printReport(const DataFolder& folder, std::string_view stationTag, std::int64_t hotel,
                         const PrintChoices& choices, const fs::path& defaultPdf,
                         const PdfRenderer& render, const PrintLimits& limits,
                         const PrintSystem& system)
{
    const PreparedPrint prepared = preparePrint(folder, stationTag, hotel, choices);
    if (prepared.status != PrintStatus::Ready) {
        PrintOutcome outcome;
        outcome.status = prepared.status;
        return outcome;
    }
    return printJob(prepared.job, folder, defaultPdf, render, limits, system);
}

} // namespace presenze
