#pragma once
// A data folder with the printing configuration built on the fly: the hotel
// registry with its option letters, destinations and settings, page lengths
// and a report file.

#include "data/DataFolder.h"
#include "support/TestSupport.h"

#include <string>
#include <string_view>

namespace presenze::test {

class PrintFolder {
public:
    PrintFolder()
    {
        registry("");
        runSql(m_dir / "Contatori.mdb", "CREATE TABLE Contatori (NumeroHotel INTEGER, "
                                        "LungPagComp INTEGER, LungPagNoComp INTEGER);");
    }

    const std::filesystem::path& path() const { return m_dir.path(); }
    std::filesystem::path operator/(std::string_view name) const { return m_dir / name; }
    DataFolder folder() const { return DataFolder(m_dir.path()); }

    // Hotel 1 with the option letters; hotel 2 without.
    void registry(std::string_view letters)
    {
        std::filesystem::remove(m_dir / "AnagraficaHotels.mdb");
        runSql(m_dir / "AnagraficaHotels.mdb",
               "CREATE TABLE AnagraficaHotels (Numero INTEGER, NumeroHotel INTEGER, "
               "RagioneSociale TEXT, CodiceAssistenza TEXT);"
               "INSERT INTO AnagraficaHotels VALUES (1, 1, 'EDEN', '" +
                   std::string(letters) + "'), (2, 2, 'SAVOY', NULL);");
    }

    // One destination of hotel `hotel` with its settings kind and device.
    void destination(std::string_view name, int tipo, std::string_view linea, int hotel = 1)
    {
        runSql(m_dir / "Stampanti.mdb",
               "CREATE TABLE IF NOT EXISTS Stampanti (NumeroHotel INTEGER, Destinazione TEXT, "
               "TipoStampa INTEGER, Linea TEXT);"
               "CREATE TABLE IF NOT EXISTS SetStampa (TipoStampa INTEGER, Compresso TEXT, "
               "Grassetto TEXT);"
               "INSERT INTO Stampanti VALUES (" +
                   std::to_string(hotel) + ", '" + std::string(name) + "', " +
                   std::to_string(tipo) + ", '" + std::string(linea) + "');");
    }

    void settings(int tipo, std::string_view compresso, std::string_view grassetto)
    {
        runSql(m_dir / "Stampanti.mdb",
               "CREATE TABLE IF NOT EXISTS Stampanti (NumeroHotel INTEGER, Destinazione TEXT, "
               "TipoStampa INTEGER, Linea TEXT);"
               "CREATE TABLE IF NOT EXISTS SetStampa (TipoStampa INTEGER, Compresso TEXT, "
               "Grassetto TEXT);"
               "INSERT INTO SetStampa VALUES (" +
                   std::to_string(tipo) + ", '" + std::string(compresso) + "', '" +
                   std::string(grassetto) + "');");
    }

    void pageLengths(int hotel, int compressed, int normal)
    {
        runSql(m_dir / "Contatori.mdb",
               "CREATE TABLE IF NOT EXISTS Contatori (NumeroHotel INTEGER, LungPagComp INTEGER, "
               "LungPagNoComp INTEGER);"
               "INSERT INTO Contatori VALUES (" +
                   std::to_string(hotel) + ", " + std::to_string(compressed) + ", " +
                   std::to_string(normal) + ");");
    }

    void report(std::string_view tag, std::string_view bytes)
    {
        writeFile(m_dir / ("fd" + std::string(tag)), bytes);
    }

private:
    TempDir m_dir;
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
