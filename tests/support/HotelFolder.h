#pragma once
// Writes the hotel data files of a test folder, as SQLite files under the
// names of data/Schema.h, with the tables and fields the readers expect.
// Rows are SQL tuples ("(1, 1, 'EDEN', '')"), so that a test can put NULL or
// odd values anywhere; a call that takes `columns` fills only those.
//
//   test::HotelFolder(dir.path())
//       .registry("(1, 1, 'EDEN', ''), (2, 2, 'SAVOY', NULL)")
//       .destination("Ufficio", 1, "uscita.prn")
//       .printSettings(1, "000000000000000000027069", "")
//       .pageLengths(1, 60, 66);

#include <filesystem>
#include <string>
#include <string_view>

namespace presenze::test {

class HotelFolder {
public:
    explicit HotelFolder(std::filesystem::path dir) : m_dir(std::move(dir)) {}

    const std::filesystem::path& dir() const { return m_dir; }

    // The registry AnagraficaHotels (Numero, NumeroHotel, RagioneSociale,
    // CodiceAssistenza), the file replaced.
    HotelFolder& registry(std::string_view rows,
                          std::string_view columns = "Numero, NumeroHotel, RagioneSociale, "
                                                     "CodiceAssistenza");
    // Hotels 1..count named "HOTEL NUMERO k", stored from the last.
    HotelFolder& numberedRegistry(int count);

    // The room types TipiCamere (NumeroHotel, Tipologia, Quantita), the file
    // replaced.
    HotelFolder& roomTypes(std::string_view rows);

    // The booking files of a season (empty prefix: the current one), both
    // replaced: headers Scheda_Prenotazione (NumeroPrenotazione, NumeroHotel,
    // TipoPrenotazione, Ditta, CodiceDitta, Nazione, Commento) and room
    // lines Camere_Prenotazione (NumeroPrenotazione, NumeroHotel,
    // TipoPrenotazione, DataArrivo, DataPartenza, NumeroPersone,
    // QuantitàCamere, Note, GiorniTariffa, Prezzo). Columns are SQL text
    // (UTF-8: "\"Quantit\xC3\xA0" "Camere\"").
    HotelFolder& season(std::string_view prefix, std::string_view headers,
                        std::string_view headerColumns, std::string_view lines,
                        std::string_view lineColumns);

    // Stampanti.mdb with its tables Stampanti and SetStampa, created when
    // missing; rows are added.
    HotelFolder& printers();
    HotelFolder& destination(std::string_view name, int tipo, std::string_view linea,
                             int hotel = 1);
    HotelFolder& printSettings(int tipo, std::string_view compresso, std::string_view grassetto);

    // Contatori.mdb with its table, created when missing; rows are added.
    HotelFolder& counters();
    HotelFolder& pageLengths(int hotel, int compressed, int normal);

private:
    // Replaces the file with one table of that definition and rows.
    void replace(std::string_view file, std::string_view table, std::string_view definition,
                 std::string_view columns, std::string_view rows) const;
    std::filesystem::path m_dir;
};

} // namespace presenze::test
