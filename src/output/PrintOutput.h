#pragma once
// Where a prepared print goes, and sending it there.
//
// Raw mode: a Windows device name (LPT1:, COM2:, PRN, \\SERVER\PRINTER) is
// refused with a word on what to set instead. A device of one word, with no
// path separator and no extension, is a print queue: the bytes go to it
// unchanged as a raw job, and a print system that cannot be reached, or has
// no such queue, fails the print (it never becomes a file of that name). Any
// other device is a file device.
//
// A file device (raw, or a PDF named by the device) is a character device
// (a printer port such as /dev/usb/lp0) written in place, or a file inside
// the data folder, links resolved: a plain file is replaced whole, a pipe is
// written in place. It is never a data file, a station's own file (fd*,
// Vallomir*, e-mail*), nor in the folder "doc" of the archive copies.
// Devices are opened without blocking, and a write that makes no progress
// within the limit fails.
//
// System printer mode: D ending in ".pdf" is a PDF file; D naming an
// installed queue prints there; otherwise a destination whose name contains
// "PDF" writes a PDF file (by default beside the archive copy), and any other
// goes to the default queue. The pages are always a PDF (laid out by Qt, see
// src/render/ReportPdf.h), saved as the file or handed to the print
// system, which takes it like any document.
//
// The print system is asked through a PrintSystem (output/PrintSystem.h): the
// machine's own unless the caller gives another.

#include "data/DataFolder.h"
#include "output/PrintJob.h"
#include "output/PrintQueues.h"
#include "output/PrintSystem.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// How long each step of a print may wait.
struct PrintLimits {
    std::chrono::milliseconds printSystem = kPrintSystemLimit; // listing the queues
    std::chrono::milliseconds sending = kPrintSendLimit;       // handing a job over
    std::chrono::milliseconds stalled{30'000};                 // a device taking no byte
};

// LPT1:, COM2, PRN, AUX, NUL, a drive letter or any path with "\".
bool isWindowsDeviceName(std::string_view device);
// One word with no path separator and no extension.
bool namesPrintQueue(std::string_view device);

// The path a device names: relative paths lie in the data folder.
std::filesystem::path devicePath(const DataFolder& folder, std::string_view device);

// The file device of a destination, links resolved, checked as above.
// Raises DataError naming the destination, the device and the file when it
// may not be written.
std::filesystem::path checkedDeviceFile(const DataFolder& folder, std::string_view destination,
                                        std::string_view device);

// Raises DataError when a print would replace a data file or a companion of
// one (data/ProtectedFiles.h): a database (by its name ending in .mdb or
// .accdb, or by its first bytes), its "-wal", "-shm" or "-journal", an Access
// lock file, or one of the settings files of the data folder.
void checkPrintFile(const std::filesystem::path& path);

enum class SystemPrinterTarget { PdfFile, Queue, DefaultQueue };

struct SystemPrinterRoute {
    SystemPrinterTarget target = SystemPrinterTarget::DefaultQueue;
    std::filesystem::path pdfFile; // PdfFile
    // The PDF beside the archive copies: it replaces nothing, and takes the
    // first free name after pdfFile ("-2", "-3"...).
    bool newName = false;
    std::string queue; // Queue: the name as installed
};

// Where a system print goes; asks the print system only when the device may
// name a queue, or for the default queue. `defaultPdf`: the file of a PDF
// destination whose device is no printer. Raises DataError when there is
// nowhere to print.
SystemPrinterRoute routeSystemPrint(const PrintJob& job, const DataFolder& folder,
                                    const std::filesystem::path& defaultPdf,
                                    const PrintLimits& limits = {},
                                    const PrintSystem& system = systemPrintSystem());

// The lp options of a job on a system printer.
std::vector<std::string> queueOptions(const PrintJob& job);

// Sends a raw job to its device; returns an Italian description of where it
// went (Windows-1252). Raises DataError when it cannot be delivered.
std::string deliverRawPrint(const PrintJob& job, const DataFolder& folder,
                            const PrintLimits& limits = {},
                            const PrintSystem& system = systemPrintSystem());

// Writes the PDF of a job into a file (the page layout of src/render).
using PdfRenderer = std::function<void(const PrintJob&, const std::filesystem::path&)>;

// The PDF of a PdfFile route written in its place, whole or not at all;
// returns the file written.
std::filesystem::path writePdfFile(const PrintJob& job, const SystemPrinterRoute& route,
                                   const PdfRenderer& render);
// A PDF handed to the queue of a Queue or DefaultQueue route.
void sendPdf(const PrintJob& job, const SystemPrinterRoute& route, const std::filesystem::path& pdf,
             const PrintLimits& limits = {}, const PrintSystem& system = systemPrintSystem());
// Where a route's print went, in Italian (Windows-1252).
std::string describeRoute(const SystemPrinterRoute& route);

struct PrintOutcome {
    PrintStatus status = PrintStatus::Ready;
    std::string description;       // where the print went (Windows-1252)
    std::filesystem::path pdfFile; // set when a PDF file was written
};

// Prints a prepared job: raw to its device, or as a PDF to a file or a queue.
PrintOutcome printJob(const PrintJob& job, const DataFolder& folder,
                      const std::filesystem::path& defaultPdf, const PdfRenderer& render,
                      const PrintLimits& limits = {},
                      const PrintSystem& system = systemPrintSystem());

// The whole print of the report file "fd" + tag, in one thread.
PrintOutcome printReport(const DataFolder& folder, std::string_view stationTag, std::int64_t hotel,
                         const PrintChoices& choices, const std::filesystem::path& defaultPdf,
                         const PdfRenderer& render, const PrintLimits& limits = {},
                         const PrintSystem& system = systemPrintSystem());

} // namespace presenze
