#pragma once
// The printing configuration kept in the data folder: the destinations and
// their settings ("Stampanti.mdb"), the page lengths ("Contatori.mdb"), the
// installation's option letters (CodiceAssistenza of hotel 1) and the print
// font ("FontStp.txt"). Every reader opens its file read-only and closes it
// before it returns; names are compared without regard to case, as the
// booking software's engine does.

#include "data/DataFolder.h"
#include "output/PrintSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

struct PrintDestination {
    std::int64_t numeroHotel = 0;
    std::string destinazione; // also the name of an environment variable
    long tipoStampa = 0;      // the whole number nearest to the field's value
    std::string linea;        // printer name, port or file
};

// The destinations of a hotel, in table order (records without a name are
// left out).
std::vector<std::string> readDestinationNames(const DataFolder& folder, std::int64_t hotel);

// The first destination of that name.
std::optional<PrintDestination> findPrintDestination(const DataFolder& folder,
                                                     std::string_view name);

// The SetStampa record of that kind.
std::optional<PrintSettings> readPrintSettings(const DataFolder& folder, long tipoStampa);

struct PageLengths {
    long compressed = 0; // LungPagComp
    long normal = 0;     // LungPagNoComp
};

// The Contatori record of the hotel (nullopt when it has none). A missing
// "Contatori.mdb" raises DataError like any other missing data file.
std::optional<PageLengths> readPageLengths(const DataFolder& folder, std::int64_t hotel);

// CodiceAssistenza of the registry record with Numero = 1 (empty when none).
std::string readOptionLetters(const DataFolder& folder);

// The first line of "FontStp.txt" without the blanks around it, or
// "Courier New" when the file is missing or that line is blank.
std::string readPrintFont(const DataFolder& folder);

} // namespace presenze
