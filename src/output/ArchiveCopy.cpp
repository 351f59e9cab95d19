#include "output/ArchiveCopy.h"

#include "common/ReportFile.h"
#include "data/AtomicFile.h"
#include "data/InputFile.h"
#include "data/Text1252.h"

#include <cstdio>
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

std::filesystem::path archiveFolder(const DataFolder& folder)
{
    return folder.subfolder(kArchiveFolder);
}

std::filesystem::path makeArchiveCopy(const DataFolder& folder, std::string_view stationTag,
                                      std::string_view archiveName)
{
    const auto report = folder.locate(reportFileName(stationTag));
    const std::filesystem::path name(cp1252ToUtf8(archiveName));
    const std::filesystem::path target = archiveFolder(folder) / name.filename();
    // Copied as a stream: a report of any size in little memory.
    InputFile in(report, Links::Refuse);
    AtomicFile out(target);
    std::vector<char> block(1 << 16);
    for (std::size_t n; (n = in.read(block.data(), block.size())) > 0;)
        out.write(std::string_view(block.data(), n));
    return out.commitAsNew();
}

} // namespace presenze
