#pragma once
// Printing on a system printer through Qt: the pages of PageLayout drawn with
// QPainter on a QPrinter, in the font of "FontStp.txt" (with fixed-pitch
// fallbacks) and a blank line in Times New Roman at the top of each page.
// Where the route is a PDF file, Qt's own PDF output writes it.

#include "data/DataFolder.h"
#include "output/PrintJob.h"

#include <QStringList>
#include <filesystem>
#include <optional>

namespace presenze {

// The device names of the system's printers, in the system's order.
QStringList systemPrinterNames();

// Prints the job. Returns the PDF file written, when the route was a PDF
// file. Raises DataError when the printer cannot be used.
std::optional<std::filesystem::path> printOnSystemPrinter(const PrintJob& job,
                                                          const DataFolder& folder,
                                                          const std::filesystem::path& defaultPdf);

} // namespace presenze
