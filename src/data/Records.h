#pragma once
// Typed records of the hotel data files, and their readers. Every reader
// opens its file read-only, checks that the table and fields exist (a clear
// error names file, table and field), reads with bound parameters and closes
// the file before it returns.
//
// Null values: texts read as empty text; NumeroPersone, QuantitaCamere,
// Quantita and Prezzo as 0; GiorniTariffa null, 0 or negative as 1. A record
// whose hotel or booking number is empty can match nothing and is left out.
// A number field holding text that is not a number raises DataError.

#include "data/Currency.h"
#include "data/DataFolder.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// Receives warnings about records left out (Windows-1252 text).
using WarningSink = std::function<void(std::string_view)>;

// Receives a reader's records one by one, in table order, without a vector
// of them being made. The record handed to add is the reader's own, reused
// for the next one. A read that starts over (the file changed while it was
// read) calls restart again: what came before is to be forgotten.
template <typename Record> class RecordSink {
public:
    virtual ~RecordSink() = default;
    // Before the first record of a read; `rows` is the table's size, an
    // upper bound of the records to come.
    virtual void restart(std::size_t rows) = 0;
    virtual void add(const Record& record) = 0;
};

struct HotelRecord {
    std::int64_t numero = 0;
    std::int64_t numeroHotel = 0;
    std::string ragioneSociale;
    std::string codiceAssistenza;
};

// The registry, ordered by NumeroHotel (ties in table order).
std::vector<HotelRecord> readHotelRegistry(const DataFolder& folder);

struct RoomTypeRecord {
    std::int64_t numeroHotel = 0;
    std::string tipologia;
    std::int64_t quantita = 0;
};

std::vector<RoomTypeRecord> readRoomTypes(const DataFolder& folder);

struct CompanyRecord {
    std::int64_t numeroHotel = 0;
    std::int64_t codice = 0;
    std::string ragioneSociale;
    std::string localita;
};

// The regular companies, in table order.
std::vector<CompanyRecord> readCompanies(const DataFolder& folder);

struct BookingHeader {
    std::int64_t numeroPrenotazione = 0;
    std::int64_t numeroHotel = 0;
    std::string tipoPrenotazione;
    std::string ditta;
    std::optional<std::int64_t> codiceDitta;
    std::string nazione;
    std::string commento;
    std::int64_t order = 0; // position in the table
};

// Which fields of the booking files a reader fills in. The daily tally
// needs neither the room lines' Note, GiorniTariffa and Prezzo nor the
// headers' CodiceDitta; the Type 2 report needs neither the headers' Nazione
// nor their Commento. Fields left out keep their defaults; a file that lacks
// one of them is refused all the same.
enum class BookingFields { All, Tally, Type2 };

// Booking headers of the season, in table order.
std::vector<BookingHeader> readBookingHeaders(const DataFolder& folder, std::string_view season,
                                              BookingFields fields = BookingFields::All);
// The same handed to a sink.
void readBookingHeaders(const DataFolder& folder, std::string_view season, BookingFields fields,
                        RecordSink<BookingHeader>& sink);

struct RoomLine {
    std::int64_t numeroPrenotazione = 0;
    std::int64_t numeroHotel = 0;
    std::string tipoPrenotazione;
    std::string dataArrivo;   // YYYYMMDD, a real day
    std::string dataPartenza; // YYYYMMDD, a real day
    std::int64_t numeroPersone = 0;
    std::int64_t quantitaCamere = 0;
    std::string note;
    std::int64_t giorniTariffa = 1;
    Currency prezzo;
    std::int64_t order = 0; // grows with the position in the table
    // The two dates as days (Date::toSerial) when the reader worked them out
    // already, else kUnknownDay: a sink then reads them from the texts.
    static constexpr std::int32_t kUnknownDay = INT32_MIN;
    std::int32_t arrivalDay = kUnknownDay;
    std::int32_t departureDay = kUnknownDay;
};

// Room lines of the season that arrive on or before `lastKey` and leave after
// `firstKey` (YYYYMMDD texts compared as text), in table order. Lines with an
// empty arrival or departure are never selected; a line whose date is not a
// real day is left out and named in a warning, also when the date is no
// YYYYMMDD text at all and the line's other date lets it lie in the window.
//
// With `faulty`, the same read also gathers the lines whose dates make no
// stay: a date empty or not a real day, or a departure before the arrival
// (such a line may be among the selected ones too). Only those with a real
// day from firstKey to lastKey, or without any real day, are kept, in table
// order, their dates as the file holds them.
std::vector<RoomLine> readRoomLines(const DataFolder& folder, std::string_view season,
                                    std::string_view firstKey, std::string_view lastKey,
                                    const WarningSink& warn,
                                    BookingFields fields = BookingFields::All,
                                    std::vector<RoomLine>* faulty = nullptr);
// The same handed to a sink (the faulty lines still in a vector: they are
// few).
void readRoomLines(const DataFolder& folder, std::string_view season, std::string_view firstKey,
                   std::string_view lastKey, const WarningSink& warn, BookingFields fields,
                   RecordSink<RoomLine>& sink, std::vector<RoomLine>* faulty = nullptr);

// Reads ElencoDitte.txt lines (Windows-1252, CR LF), without line ends; an
// absent file gives no lines. A line over 4,096 bytes, or more than
// 1,000,000 lines, raise DataError naming the file (data/TextLines.h).
std::vector<std::string> readCompanyListLines(const DataFolder& folder);

} // namespace presenze
