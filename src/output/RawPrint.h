#pragma once
// Raw printing: the bytes a line printer (or a file standing for one)
// receives. First the start sequence of the destination, then the report
// lines in pages: each page begins with M lines holding one blank and holds
// P lines in all; it ends with a form feed, or, when the option letters carry
// "U", with empty lines up to the L lines of the physical page. A form-feed
// line of the report ends the page at once. A page is begun only when a
// report line is there to go on it, so no page of bare margin is ever sent.
// Lines go out with their frames turned into "|" and "-" (TogliGrafica),
// unless the option letters carry "K".

#include "data/AtomicFile.h"
#include "output/PrintJob.h"

#include <string>

namespace presenze {

// Writes the whole print to `out`, reading the report as it goes.
void writeRawPrint(const PrintJob& job, ByteSink& out);
// The same bytes in memory.
std::string rawPrintBytes(const PrintJob& job);

} // namespace presenze
