#pragma once
// A ZIP container written as a stream into a ByteSink, as an Office file
// needs it: entries one after the other, each deflated as its bytes come,
// its CRC and sizes in a data descriptor after it (no seeking back), the
// central directory at close. Without ZIP64: an entry or the whole file
// past 4 GB raises DataError (a sheet holds at most 1,048,576 rows, far
// below it).
//
//   ZipFile zip(file);
//   zip.beginEntry("xl/workbook.xml");
//   zip.write(xml);               // as often as needed
//   zip.endEntry();
//   zip.close();                  // then file.commit()

#include "data/AtomicFile.h"
#include "output/Deflater.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

class ZipFile {
public:
    explicit ZipFile(ByteSink& out);

    void beginEntry(std::string name);
    void write(std::string_view bytes);
    void endEntry();
    // A whole entry.
    void add(std::string name, std::string_view bytes);
    // Writes the central directory; nothing can be added after.
    void close();

private:
    struct Entry {
        std::string name;
        std::uint32_t crc = 0;
        std::uint32_t packed = 0;
        std::uint32_t size = 0;
        std::uint32_t offset = 0;
    };

    // The compressed bytes, counted on their way to the file.
    class CountingSink final : public ByteSink {
    public:
        explicit CountingSink(ByteSink& out) : m_out(out) {}
        void write(std::string_view bytes) override;
        std::uint64_t written() const { return m_written; }

    private:
        ByteSink& m_out;
        std::uint64_t m_written = 0;
    };

    std::uint32_t offset32() const;

    CountingSink m_out;
    Deflater m_deflater;
    std::vector<Entry> m_entries;
    bool m_open = false;
};

} // namespace presenze
