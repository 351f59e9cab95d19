#pragma once
// Opening a file with the program associated with its type (the archive
// copy, the CSV export, a PDF just written). The windows take the opener as
// a value so that tests can see what would be opened.

#include <filesystem>
#include <functional>

namespace presenze {

using FileOpener = std::function<bool(const std::filesystem::path&)>;

// QDesktopServices: the desktop's associated program.
bool openWithAssociatedProgram(const std::filesystem::path& file);

} // namespace presenze
