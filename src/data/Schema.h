#pragma once
// Names of the hotel data files, their tables and the fields the program
// reads, as the front-office software writes them.

#include <array>
#include <string>
#include <string_view>

namespace presenze::schema {

// Files (bare names in the data folder, matched without regard to case).
inline constexpr std::string_view kRegistryFile = "AnagraficaHotels.mdb";
inline constexpr std::string_view kCompaniesFile = "DitteAbituali.mdb";
inline constexpr std::string_view kHeadersFile = "Scheda_Prenotazione.mdb"; // after the season
inline constexpr std::string_view kRoomsFile = "Camere_Prenotazione.mdb";   // after the season
inline constexpr std::string_view kRoomTypesFile = "TipiCamere.mdb";
inline constexpr std::string_view kPrintersFile = "Stampanti.mdb";
inline constexpr std::string_view kCountersFile = "Contatori.mdb";
inline constexpr std::string_view kCompanyListFile = "ElencoDitte.txt";
inline constexpr std::string_view kFontFile = "FontStp.txt";
inline constexpr std::string_view kCsvSettingsFile = "SeparatoreXLS.txt";
inline constexpr std::string_view kBedsFile = "LettiHotel.txt";

// The folder's settings files: they belong to the hotels' data as much as the
// .mdb files do, so nothing the program writes for a report or a print may
// take their place.
inline constexpr std::array<std::string_view, 4> kSettingsFiles = {kCompanyListFile, kFontFile,
                                                                   kCsvSettingsFile, kBedsFile};

inline std::string headersFile(std::string_view season)
{
    return std::string(season) + std::string(kHeadersFile);
}
inline std::string roomsFile(std::string_view season)
{
    return std::string(season) + std::string(kRoomsFile);
}

// Tables.
inline constexpr std::string_view kRegistry = "AnagraficaHotels";
inline constexpr std::string_view kCompanies = "DitteAbituali";
inline constexpr std::string_view kHeaders = "Scheda_Prenotazione";
inline constexpr std::string_view kRooms = "Camere_Prenotazione";
inline constexpr std::string_view kRoomTypes = "TipiCamere";
inline constexpr std::string_view kPrinters = "Stampanti";
inline constexpr std::string_view kPrintSettings = "SetStampa";
inline constexpr std::string_view kCounters = "Contatori";

// The rooms field carries an accented letter; this is its Windows-1252 form.
inline constexpr std::string_view kRoomsQuantity = "Quantit\xE0"
                                                   "Camere";
// And its UTF-8 form, as it appears in SQL text.
inline constexpr std::string_view kRoomsQuantitySql = "Quantit\xC3\xA0"
                                                      "Camere";

} // namespace presenze::schema
