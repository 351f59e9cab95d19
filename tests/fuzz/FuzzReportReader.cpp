// The report file as the output side reads it: the streaming reader, the
// reader of whole files and the splitting in memory give the same lines; the
// preview shows them in chunks with box drawing turned into "|" and "-" and
// saves an edited chunk without losing the rest; the raw print and the page
// layout of the same lines come out without fault.
//
// Input: one byte of options (bit 0, with the top four bits of the next byte:
// put the report after a megabyte of filler, so that its lines cross the
// reader's block boundary; kept rare, a megabyte through the instrumented
// code being slow; bits 1-7: the chunk size), two bytes of print settings,
// then the report file; a byte 0xFE in it, when present, ends the report and
// starts the text that the preview saves over its second chunk.

#include "FuzzSupport.h"
#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "output/LineConversion.h"
#include "output/PageLayout.h"
#include "output/PrintJob.h"
#include "output/RawPrint.h"
#include "output/ReportPreview.h"

#include <algorithm>
#include <filesystem>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

void checkReaders(const fs::path& file, std::string_view content,
                  const std::vector<std::string>& lines)
{
    std::vector<std::string> streamed;
    forEachReportLine(file, [&](std::string_view line) { streamed.emplace_back(line); });
    if (streamed != lines)
        fuzz::broken("the streaming reader gives other lines");
    if (readReportLines(file) != lines)
        fuzz::broken("the file reader gives other lines");
    // Nothing but line ends is lost.
    std::size_t bytes = 0;
    for (const auto& line : lines)
        bytes += line.size();
    std::size_t ends = 0;
    for (const char c : content)
        ends += c == '\r' || c == '\n';
    if (bytes + ends != content.size())
        fuzz::broken("the lines do not add up to the file");
}

void checkPreview(const fs::path& file, const std::vector<std::string>& lines, std::size_t limit,
                  std::string_view edit, bool hasEdit)
{
    ReportPreview preview(file);
    std::string all;
    std::vector<std::pair<std::size_t, std::size_t>> chunks;
    for (int guard = 0; preview.moreLines(); ++guard) {
        if (guard > 1'000'000)
            fuzz::broken("the preview never reaches the end");
        const std::string chunk = preview.readChunk(limit);
        if (chunk.empty())
            fuzz::broken("an empty chunk before the end");
        chunks.emplace_back(preview.chunkBegin(), preview.chunkEnd());
        all += chunk;
    }
    std::string expected;
    for (const auto& line : lines) {
        expected += shownLine(line);
        expected += kLineEnd;
    }
    if (all != expected)
        fuzz::broken("the chunks do not make up the report");
    if (!hasEdit || chunks.size() < 2)
        return;
    // Save an edited second chunk: the lines around it stay.
    preview.restart(limit);
    preview.readChunk(limit);
    preview.save(edit);
    const auto saved = readReportLines(file);
    // What is saved is a report line: a line shown as it was read goes back
    // as it was; any other is read back one to one (reportLineOf).
    const auto [begin, end] = chunks[1];
    auto shown = splitLines(edit);
    for (auto& line : shown) {
        const auto same =
            std::find_if(lines.begin() + begin, lines.begin() + end,
                         [&](const std::string& read) { return shownLine(read) == line; });
        line = same != lines.begin() + end ? *same : reportLineOf(line);
    }
    std::vector<std::string> want(lines.begin(), lines.begin() + begin);
    want.insert(want.end(), shown.begin(), shown.end());
    want.insert(want.end(), lines.begin() + end, lines.end());
    if (saved != want)
        fuzz::broken("saving a chunk changed other lines");
}

void checkPrinting(const std::vector<std::string>& lines, std::uint8_t a, std::uint8_t b)
{
    PrintJob job;
    job.lines = lines;
    char grassetto[40];
    std::snprintf(grassetto, sizeof grassetto, "000000000000000%03d%03d%03d", b % 8, 10 + a % 80,
                  10 + b % 80);
    job.settings = decodePrintSettings("", grassetto);
    job.pageLength = 1 + a % 90;
    job.compressed = a & 2;
    job.landscape = a & 4;
    job.optionLetters = std::string((a & 8) ? "U" : "") + ((a & 1) ? "K" : "");
    const std::string raw = rawPrintBytes(job);
    if (lines.size() && raw.empty())
        fuzz::broken("a raw print without bytes");
    std::size_t printed = 0;
    for (const auto& page : layoutPages(job))
        printed += page.lines.size();
    if (printed < lines.size() - std::count(lines.begin(), lines.end(), "\x0C"))
        fuzz::broken("the page layout lost a line");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::uint8_t options = data[0];
    std::string_view rest = fuzz::asText(data + 3, size - 3);
    const auto mark = rest.find('\xFE');
    const bool hasEdit = mark != std::string_view::npos;
    const std::string_view edit = hasEdit ? rest.substr(mark + 1) : std::string_view();
    std::string content(hasEdit ? rest.substr(0, mark) : rest);
    if ((options & 1) && (data[1] & 0xF0) == 0xF0)
        content.insert(0, std::string((1 << 20) - 2 - (data[1] % 4), 'x'));

    const fs::path file = fuzz::scratchFolder() / "fd9";
    fuzz::writeBytes(file, content);
    const auto lines = splitLines(content);
    checkReaders(file, content, lines);
    checkPreview(file, lines, 1 + (options >> 1), edit, hasEdit);
    if (content.size() < 100000)
        checkPrinting(lines, data[1], data[2]);
    return 0;
}
