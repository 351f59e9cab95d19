#pragma once
// A data folder with the printing configuration built on the fly: the hotel
// registry with its option letters, destinations and settings, page lengths
// and a report file.

#include "data/DataFolder.h"
#include "support/HotelFolder.h"
#include "support/TestSupport.h"

#include <string>
#include <string_view>

namespace presenze::test {

class PrintFolder {
public:
    PrintFolder()
    {
        registry("");
        m_files.counters();
    }

    const std::filesystem::path& path() const { return m_dir.path(); }
    std::filesystem::path operator/(std::string_view name) const { return m_dir / name; }
    DataFolder folder() const { return DataFolder(m_dir.path()); }

    // Hotel 1 with the option letters; hotel 2 without.
    void registry(std::string_view letters)
    {
        m_files.registry("(1, 1, 'EDEN', '" + std::string(letters) + "'), (2, 2, 'SAVOY', NULL)");
    }

    // One destination of hotel `hotel` with its settings kind and device.
    void destination(std::string_view name, int tipo, std::string_view linea, int hotel = 1)
    {
        m_files.destination(name, tipo, linea, hotel);
    }

    void settings(int tipo, std::string_view compresso, std::string_view grassetto)
    {
        m_files.printSettings(tipo, compresso, grassetto);
    }

    void pageLengths(int hotel, int compressed, int normal)
    {
        m_files.pageLengths(hotel, compressed, normal);
    }

    void report(std::string_view tag, std::string_view bytes)
    {
        writeFile(m_dir / ("fd" + std::string(tag)), bytes);
    }

private:
    TempDir m_dir;
    HotelFolder m_files{m_dir.path()};
};

// n lines "L1", "L2", ... each ended by CR LF.
inline std::string numberedLines(int first, int count)
{
    std::string text;
    for (int i = first; i < first + count; ++i)
        text += "L" + std::to_string(i) + "\r\n";
    return text;
}

} // namespace presenze::test
