#include "output/ArchiveCopy.h"

#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace presenze {

std::string archiveCopyName(std::string_view stationTag, const DateTime& at)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d", at.date.year, at.date.month,
                  at.date.day, at.hour, at.minute);
    return std::string(kArchiveFolder) + "/" + reportFileName(stationTag) + stamp + ".doc";
}

std::string archiveSibling(std::string_view archiveName, std::string_view extension)
{
    std::string name(archiveName);
    const auto dot = name.rfind('.');
    const auto slash = name.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        name.erase(dot);
    return name + std::string(extension);
}

std::filesystem::path makeArchiveCopy(const DataFolder& folder, std::string_view stationTag,
                                      std::string_view archiveName)
{
    const auto report = folder.locate(reportFileName(stationTag));
    const std::filesystem::path target = folder.dir() / cp1252ToUtf8(archiveName);
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec)
        throw DataError("Impossibile creare la cartella: " + systemErrorText(ec),
                        displayName(target.parent_path()));
    // Copied as a stream: a report of any size in little memory.
    std::ifstream in(report, std::ios::binary);
    if (!in)
        throw DataError("Impossibile leggere il file", displayName(report));
    AtomicFile out(target);
    std::vector<char> block(1 << 16);
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
        out.write(std::string_view(block.data(), static_cast<std::size_t>(in.gcount())));
    if (in.bad())
        throw DataError("Errore di lettura", displayName(report));
    out.commit();
    return target;
}

} // namespace presenze
