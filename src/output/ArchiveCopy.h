#pragma once
// The archive copy of a report: "doc/fd" + tag + YYYYMMDDhhmm + ".doc" in the
// data folder, made when the print menu opens. Its name is built once and
// used for the copy and for the PDF beside it; when a file of that name is
// there (a print of the same minute, another station), the copy takes the
// first free name "...-2.doc", "...-3.doc", and so does the PDF, numbered
// on its own. The folder "doc" is used only when it lies inside the data
// folder: a link that leads elsewhere stops the copy and the PDF.

#include "common/Clock.h"
#include "data/DataFolder.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace presenze {

inline constexpr std::string_view kArchiveFolder = "doc";

// "doc/fd7202612081400.doc" (relative to the data folder).
std::string archiveCopyName(std::string_view stationTag, const DateTime& at);

// The same name with another extension ("doc/fd7202612081400.pdf").
std::string archiveSibling(std::string_view archiveName, std::string_view extension);

// The folder "doc", made when missing (DataFolder::subfolder). Raises
// DataError naming it when it cannot be used.
std::filesystem::path archiveFolder(const DataFolder& folder);

// Copies the report file "fd" + tag under the archive name, or the first
// free name after it, and returns the path written. Raises DataError when
// the report file is missing or the copy cannot be written.
std::filesystem::path makeArchiveCopy(const DataFolder& folder, std::string_view stationTag,
                                      std::string_view archiveName);

} // namespace presenze
