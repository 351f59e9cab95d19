#pragma once
// The window's WaitNotice (data/DataFolder.h) for the reads it makes on its
// own thread: while a data file is waited for, a small dialog over the
// active window names it, with "Annulla" to stop waiting, and the windows
// keep painting. Told from another thread it shows nothing: the report
// worker shows its waits in the status line (QtPrintJob).

#include "data/DataFolder.h"

namespace presenze {

WaitNotice windowWaitNotice();

} // namespace presenze
