#pragma once
// The hotel registry as the Type 1 report reads it: the name of the hotel
// whose Numero is given (first record in NumeroHotel order), and the highest
// NumeroHotel.

#include "data/Records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace presenze {

class HotelNames {
public:
    explicit HotelNames(std::vector<HotelRecord> registry);

    // Nullptr when no record has that Numero.
    const std::string* name(std::int64_t numero) const;
    // The highest NumeroHotel above 0; 1 when there is none.
    std::int64_t highest() const { return m_highest; }

    // The 8 characters of the day grid: characters 7 to 14 of the name, as
    // many as there are, padded with blanks; 8 blanks without a record.
    std::string gridLabel(std::int64_t numero) const;
    // The first 30 characters of the name, padded; 30 blanks without a record.
    std::string tableLabel(std::int64_t numero) const;

private:
    std::vector<HotelRecord> m_registry;
    std::unordered_map<std::int64_t, std::size_t> m_byNumero;
    std::int64_t m_highest = 1;
};

} // namespace presenze
