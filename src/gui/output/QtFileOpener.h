#pragma once
// Opening a file with the program associated with its type (the archive
// copy, the CSV export, a PDF just written). The windows take the opener as
// a value so that tests can see what would be opened.

#include "output/Handover.h"

#include <filesystem>
#include <functional>
#include <string>

namespace presenze {

using FileOpener = std::function<Handover(const std::filesystem::path&)>;

// The desktop's opener (output/Handover.h), waited for on a thread of its
// own while the window repaints.
Handover openWithAssociatedProgram(const std::filesystem::path& file);

// Hands `file` to `opener` (none: nobody) and tells what came of it, for the
// end of a status line: " (aperto con xdg-open)", ", non aperto: ...", or
// nothing when there is no opener. "Opened" only when the opener says so.
std::string openedNote(const FileOpener& opener, const std::filesystem::path& file);

} // namespace presenze
