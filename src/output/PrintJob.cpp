#include "output/PrintJob.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/Text1252.h"
#include "output/PrintConfig.h"

#include <cstdlib>

namespace presenze {
namespace {

constexpr int kDefaultPageLength = 60;

int pageLength(const DataFolder& folder, std::int64_t hotel, bool compressed)
{
    const auto lengths = readPageLengths(folder, hotel);
    if (!lengths)
        return kDefaultPageLength;
    const long length = compressed ? lengths->compressed : lengths->normal;
    // An empty or zero length would end a page after every line.
    if (length <= 0 || length > 32767)
        return kDefaultPageLength;
    return static_cast<int>(length);
}

} // namespace

PrintLines PrintLines::fromFile(std::filesystem::path reportFile)
{
    PrintLines lines;
    lines.m_file = std::move(reportFile);
    return lines;
}

void PrintLines::forEach(const std::function<void(std::string_view)>& take) const
{
    if (!m_file.empty()) {
        forEachReportLine(m_file, take, m_progress);
        return;
    }
    constexpr std::size_t kReportLines = 4096;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        take(m_lines[i]);
        if ((i + 1) % kReportLines == 0)
            reportProgress(m_progress, i + 1, m_lines.size());
    }
}

bool PrintJob::padsPages() const
{
    return optionLetters.find('U') != std::string::npos;
}

bool PrintJob::keepsBytes() const
{
    return optionLetters.find('K') != std::string::npos;
}

std::optional<std::string> systemEnvironment(std::string_view name)
{
    const std::string utf8Name = cp1252ToUtf8(name);
    if (utf8Name.empty() || utf8Name.find('=') != std::string::npos)
        return std::nullopt;
    const char* value = std::getenv(utf8Name.c_str());
    if (!value)
        return std::nullopt;
    return utf8ToCp1252(value);
}

std::string chooseDevice(std::string_view destinazione, std::string_view linea,
                         std::string_view printer, const EnvironmentLookup& env)
{
    if (!trimBlanks(printer).empty())
        return std::string(trimBlanks(printer));
    if (env) {
        if (auto value = env(destinazione); value && !trimBlanks(*value).empty())
            return std::string(trimBlanks(*value));
    }
    return std::string(trimBlanks(linea));
}

PreparedPrint preparePrint(const DataFolder& folder, std::string_view stationTag,
                           std::int64_t hotel, const PrintChoices& choices,
                           const EnvironmentLookup& env)
{
    PreparedPrint prepared;
    PrintJob& job = prepared.job;
    job.compressed = choices.compressed;
    job.landscape = choices.landscape;
    job.duplex = choices.duplex;
    job.font = readPrintFont(folder);
    job.pageLength = pageLength(folder, hotel, choices.compressed);

    const auto destination = findPrintDestination(folder, choices.destination);
    if (!destination) {
        prepared.status = PrintStatus::UnknownDestination;
        return prepared;
    }
    job.destination = destination->destinazione;
    job.settings =
        readPrintSettings(folder, destination->tipoStampa).value_or(defaultPrintSettings());
    job.device = chooseDevice(destination->destinazione, destination->linea, choices.printer, env);

    const auto report = folder.find(reportFileName(stationTag));
    if (!report) {
        prepared.status = PrintStatus::NoReport;
        return prepared;
    }
    job.optionLetters = readOptionLetters(folder);
    job.lines = PrintLines::fromFile(*report);
    return prepared;
}

} // namespace presenze
