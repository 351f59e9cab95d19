#pragma once
// Where a prepared print goes, and sending it there without Qt.
//
// Raw mode: the device D is the name of an installed print queue (the bytes
// go to it unchanged, as a raw job), or else a path: a device or a file, taken
// from the data folder when relative.
//
// System printer mode: D ending in ".pdf" is a PDF file; D naming an
// installed queue prints there; otherwise a destination whose name contains
// "PDF" writes a PDF file (by default beside the archive copy), and any other
// goes to the default queue. Without Qt the pages go out as a PDF written by
// PdfWriter, which the print system takes like any document.

#include "data/DataFolder.h"
#include "output/PrintJob.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

enum class SystemPrinterTarget { PdfFile, Queue, DefaultQueue };

struct SystemPrinterRoute {
    SystemPrinterTarget target = SystemPrinterTarget::DefaultQueue;
    std::filesystem::path pdfFile; // PdfFile
    std::string queue;             // Queue: the name as installed
};

// `installed`: the system's printers; `defaultPdf`: the file of a PDF
// destination whose device is no printer.
SystemPrinterRoute routeSystemPrint(const PrintJob& job, const std::vector<std::string>& installed,
                                    const DataFolder& folder,
                                    const std::filesystem::path& defaultPdf);

// Raises DataError when a print would replace a data file: a database (by
// its name ending in .mdb or .accdb, or by its first bytes) or one of the
// settings files of the data folder. Every print to a file passes here.
void checkPrintFile(const std::filesystem::path& path);

// The path a device names: relative paths lie in the data folder.
std::filesystem::path devicePath(const DataFolder& folder, std::string_view device);

// The lp options of a job on a system printer.
std::vector<std::string> queueOptions(const PrintJob& job);

// Sends a raw job to its device; returns an Italian description of where it
// went (Windows-1252). Raises DataError when it cannot be delivered.
std::string deliverRawPrint(const PrintJob& job, const DataFolder& folder,
                            const std::vector<std::string>& queues);

struct PrintOutcome {
    PrintStatus status = PrintStatus::Ready;
    std::string description;       // where the print went (Windows-1252)
    std::filesystem::path pdfFile; // set when a PDF file was written
};

// The whole print of the report file "fd" + tag for the command line.
PrintOutcome printReport(const DataFolder& folder, std::string_view stationTag, std::int64_t hotel,
                         const PrintChoices& choices, const std::filesystem::path& defaultPdf);

} // namespace presenze
