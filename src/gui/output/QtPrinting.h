#pragma once
// Printing from the window. The pages are drawn on the window's thread (the
// PDF of ReportPdf.h); whatever waits on the print system or on a device
// (listing the queues, handing a job to lp, writing a printer port) runs on a
// thread of its own while the window goes on painting, each step within its
// time limit.

#include "data/DataFolder.h"
#include "output/PrintJob.h"
#include "output/PrintOutput.h"

#include <QCoreApplication>
#include <QStringList>
#include <chrono>
#include <filesystem>
#include <future>

namespace presenze {

// Runs `work` on a thread of its own while the window repaints (input waits
// until it is done); returns its result or raises its exception.
template <typename Work> auto waitOffThread(Work work) -> decltype(work())
{
    auto done = std::async(std::launch::async, std::move(work));
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    return done.get();
}

// The device names of the system's printers, in the system's order; empty
// when the print system cannot be reached within the limit.
QStringList systemPrinterNames(std::chrono::milliseconds limit = kPrintSystemLimit);

// Prints a prepared job: raw to its device, or as a PDF to a file or a queue.
PrintOutcome printFromWindow(const PrintJob& job, const DataFolder& folder,
                             const std::filesystem::path& defaultPdf,
                             const PrintLimits& limits = {});

} // namespace presenze
