#pragma once
// The reading side of the preview window (Anteprima): the report file shown a
// chunk at a time. A chunk takes whole lines until it holds at least the
// limit in characters (line ends not counted): 20000 for the first chunk when
// the window opens, 26000 for the next ones and for a new start. Saving puts
// the shown text in place of the lines its chunk came from and keeps the rest
// of the report. Only the chunk is held in memory: the report is read from
// the file as the chunks are asked for, and a save copies the rest of it as a
// stream.
//
// The shown text is UTF-8 with the frames drawn as box-drawing characters
// (shownLine), and it is saved back as it shows: a line the person did not
// change is written exactly as it was read; in a changed line each
// box-drawing character of a frame becomes that frame byte again and the rest
// is made safe for a report line (reportLineOf), so a later print, PDF or CSV
// still finds the frames.

#include "data/InputFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

inline constexpr std::size_t kFirstChunk = 20000;
inline constexpr std::size_t kNextChunk = 26000;

class ReportPreview {
public:
    // Reads the report file; a missing file leaves the preview without one.
    explicit ReportPreview(std::filesystem::path reportFile);

    bool hasReport() const { return m_hasReport; }

    // The chunk that follows the current position as it is shown, with CR LF
    // after each line (UTF-8). At the end of the file it is empty.
    std::string readChunk(std::size_t limit);
    // Reads the file again from its start and returns its first chunk.
    std::string restart(std::size_t limit = kNextChunk);
    // Writes the shown text (UTF-8, CR LF or LF line ends) in place of the
    // lines of the current chunk and rewrites the report file whole. Reading
    // goes on after the saved lines. Raises DataError when the file cannot be
    // written.
    void save(std::string_view shownText);

    // AltreRighe: true while lines follow the current chunk.
    bool moreLines() const { return m_nextOffset < m_size; }
    // LettiCaratteri: characters of the lines of the current chunk.
    std::int32_t charactersRead() const { return m_read; }
    // The lines of the current chunk: [chunkBegin, chunkEnd) of the file.
    std::size_t chunkBegin() const { return m_begin; }
    std::size_t chunkEnd() const { return m_next; }

private:
    void load();
    // The next line of the file (false at its end).
    bool readLine(std::string& line);
    // The byte at `offset` of the file, or -1 past its end.
    int byteAt(std::uintmax_t offset);

    std::filesystem::path m_file;
    bool m_hasReport = false;
    std::optional<InputFile> m_in;    // a station's file: no link followed
    std::string m_buffer;             // bytes of the file read ahead
    std::uintmax_t m_bufferStart = 0; // where they begin in the file
    std::uintmax_t m_size = 0;        // bytes of the file
    std::size_t m_begin = 0;          // first line of the chunk
    std::size_t m_next = 0;           // first line after it
    std::uintmax_t m_beginOffset = 0; // their places in the file, in bytes
    std::uintmax_t m_nextOffset = 0;
    std::int32_t m_read = 0;
    std::vector<std::string> m_chunk; // the chunk's lines as the file holds them
};

// The shown text (UTF-8) as the message file of the e-mail carries it:
// Windows-1252 with the frames as "|" and "-" (TogliGrafica).
std::string mailTextOf(std::string_view shownText);

} // namespace presenze
