#pragma once
// The report file: the one hand-over between the report builders and the
// output side. Named "fd" + station tag in the data folder; lines of
// Windows-1252 bytes (box drawing as the DOS line bytes 179, 196, ...) ended
// by CR LF; a line holding only the form feed (byte 12) starts a new page.
// Every reader names the file exactly as the writer does.

#include "common/WorkProgress.h"
#include "data/AtomicFile.h"
#include "data/TextLines.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

inline constexpr char kFormFeed = '\x0C';
inline constexpr std::string_view kLineEnd = "\r\n";

// "fd" + tag.
std::string reportFileName(std::string_view stationTag);

// Appends lines to a sink (normally an AtomicFile on the report file).
class ReportWriter {
public:
    explicit ReportWriter(ByteSink& sink) : m_sink(sink) {}

    // The text followed by CR LF.
    void line(std::string_view text);
    // The form-feed line.
    void formFeed() { line(std::string_view(&kFormFeed, 1)); }
    // Bytes as they are (a text that carries its own line ends).
    void raw(std::string_view bytes) { m_sink.write(bytes); }

private:
    ByteSink& m_sink;
    std::string m_line; // the line being written, its storage kept for the next
};

// A text taken from the data (a hotel or company name) as a report line may
// carry it: the bytes that the report's frames use, or that the outputs read
// as frames, become a letter of the same look (À -> à, ´ -> ', ¦ -> |...),
// ç becomes c (it marks bold in system printing) and control bytes become
// blanks. One byte for one byte, so columns never move.
std::string reportText(std::string_view text);
// The same, appended to `line`.
void appendReportText(std::string& line, std::string_view text);

// The lines of a report file (as splitLines cuts them); raises DataError when
// it cannot be read. Like every station's file it is read only when it is a
// regular file, never through a symbolic link (see data/InputFile.h).
std::vector<std::string> readReportLines(const std::filesystem::path& file);

// The same lines handed one by one to `take`, reading the file as a stream
// (a report of any size in little memory). `progress` hears of the bytes
// read now and then (common/WorkProgress.h: it may stop the walk).
void forEachReportLine(const std::filesystem::path& file,
                       const std::function<void(std::string_view)>& take,
                       const WorkProgress& progress = {});

} // namespace presenze
