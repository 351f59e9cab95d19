#pragma once
// The archive copy of a report: "doc/fd" + tag + YYYYMMDDhhmm + ".doc" in the
// data folder, made when the print menu opens. Its name is built once and
// used for the copy, for opening it and for the PDF beside it.

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

// Creates the folder "doc" when missing and copies the report file "fd" +
// tag to the archive name (a copy already there is replaced). Returns its
// path. Raises DataError when the report file is missing or the copy cannot
// be written.
std::filesystem::path makeArchiveCopy(const DataFolder& folder, std::string_view stationTag,
                                      std::string_view archiveName);

} // namespace presenze
