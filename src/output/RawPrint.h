#pragma once
// Raw printing: the bytes a line printer (or a file standing for one)
// receives. First the start sequence of the destination, then the report
// lines in pages: each page begins with M lines holding one blank and holds
// P lines in all; it ends with a form feed, or, when the option letters carry
// "U", with empty lines up to the L lines of the physical page. A form-feed
// line of the report ends the page at once. A page is begun only when a
// report line is there to go on it, so no page of bare margin is ever sent.

#include "data/AtomicFile.h"
#include "output/PrintJob.h"

#include <string>

namespace presenze {

std::string rawPrintBytes(const PrintJob& job);
void writeRawPrint(const PrintJob& job, ByteSink& out);

} // namespace presenze
