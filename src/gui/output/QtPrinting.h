#pragma once
// Printing from the window. A print (drawing its pages, waiting on the print
// system or on a device: listing the queues, handing a job to lp, writing a
// printer port) runs off the window's thread (gui/desk/OffThread.h) while
// the window goes on painting, each step within its time limit.

#include "data/DataFolder.h"
#include "output/PrintJob.h"
#include "output/PrintOutput.h"

#include <QStringList>
#include <chrono>
#include <filesystem>

namespace presenze {

// The device names of the system's printers, in the system's order; empty
// when the print system cannot be reached within the limit. Waits: call it
// off the window's thread.
QStringList systemPrinterNames(std::chrono::milliseconds limit = kPrintSystemLimit);

// Prints a prepared job: raw to its device, or as a PDF to a file or a queue.
// Returns once it is done (input waits meanwhile); raises its DataError.
PrintOutcome printFromWindow(const PrintJob& job, const DataFolder& folder,
                             const std::filesystem::path& defaultPdf,
                             const PrintLimits& limits = {});

} // namespace presenze
