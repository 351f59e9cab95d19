#pragma once
// The daily occupancy tally of one month, kept in memory while the booked
// rooms are walked and then handed out as the rows of Presenze, in the order
// in which they came into being.
//
// Every night of a counted room line touches, in this order: the hotel's
// nationality row (hotel, "NAZIONE", 32), the daily row of the night, its
// second daily row and the period row of the line's company. Rows are found by
// hotel, name and Contatore with the name compared without regard to case
// (as the database engine compares), so "Rossi" and "ROSSI" share their rows
// and each row keeps the name written last; a company named "Nazione" shares
// its period row with the nationality row of its hotel.

#include "tally/BlockVector.h"
#include "tally/HotelRooms.h"
#include "tally/WorkingDatabase.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace presenze {

// The booking category a comment is tagged with: the first of "<GRP>",
// "<IND>", "<TO>", "<AS>" found in it (case-sensitive), in that order.
enum class TagClass { None, Gruppi, Individuali, TourOp, AccSpec };
TagClass tagClassOf(std::string_view commento);

// Guests from Italy: Nazione "I" exactly, or no nationality at all.
bool isItalian(std::string_view nazione);

class PresenzeTally {
public:
    // Names and companies are handed out as small numbers, made once per
    // booking header rather than once per night.
    using NameId = std::int32_t;
    using PairId = std::int32_t;

    explicit PresenzeTally(HotelRooms rooms);

    // The name as rows store it (Windows-1252).
    NameId name(std::string_view rowName);
    // The rows of one hotel under one name (compared without regard to case).
    PairId rowsOf(std::int64_t hotel, NameId name);
    // The nationality row's owner for a hotel.
    PairId nationOf(std::int64_t hotel);

    struct Night {
        PairId rows = -1;   // rowsOf(hotel, row name)
        PairId nation = -1; // nationOf(hotel)
        NameId name = -1;   // the row name written
        bool optional = false;
        bool italian = false;
        TagClass tag = TagClass::None;
        std::int64_t persone = 0;
        std::int64_t camere = 0;
    };
    // Counts nights firstDay..lastDay (day numbers within 1..31) of a line.
    void countNights(const Night& night, int firstDay, int lastDay);

    const HotelRooms& rooms() const { return m_rooms; }
    // The rows of Presenze the tally makes (a daily row counts twice).
    std::size_t rowCount() const { return m_rowCount; }

    // Every row in creation order; a second daily row follows its daily row.
    // The name view stays valid while the tally lives.
    template <typename F> void forEachRow(F&& visit) const
    {
        PresenzeRow row;
        m_slots.forEach([&](const Slot& slot) {
            row.numeroHotel = m_pairs[slot.pair].hotel;
            row.nomeDitta = m_names[slot.name];
            row.values = slot.values;
            row.contatore = slot.contatore;
            visit(row, slot.name);
            if (slot.contatore < kPeriod) {
                row.contatore = slot.contatore + 40;
                visit(row, slot.name);
            }
        });
    }
    // Every row as the tally keeps it, in creation order: a daily row stands
    // for its second daily row too (Contatore + 40, the same values).
    // visit(hotel, name, contatore, values).
    template <typename F> void forEachKeptRow(F&& visit) const
    {
        m_slots.forEach([&](const Slot& slot) {
            visit(m_pairs[slot.pair].hotel, slot.name, slot.contatore, slot.values);
        });
    }

    // The names by NameId, as forEachRow's second argument refers to them.
    const std::vector<std::string>& names() const { return m_names; }

    static constexpr int kPeriod = 32;

private:
    struct Pair {
        std::int64_t hotel = 0;
        std::int64_t rooms = 0; // the hotel's rooms: Libere of a new company row
        std::int32_t slot[32];  // days 1..31, then the period row; -1 = none
    };
    // Plain data: m_slots makes each one zeroed as it is added, never before.
    struct Slot {
        PresenzeCounters values;
        PairId pair;
        NameId name;
        int contatore; // 1..31 or 32
    };

    std::int32_t slotOf(PairId pair, int contatore, std::int64_t libere);
    PairId pairOf(std::int64_t hotel, std::int32_t company);
    void addCompany(Slot& slot, const Night& night, std::int64_t persons, std::int64_t rooms);

    HotelRooms m_rooms;
    std::vector<std::string> m_names;
    std::vector<std::int32_t> m_companyOfName; // by NameId
    // Looked up by string_view without making a string.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>()(text);
        }
    };
    std::unordered_map<std::string, NameId, TextHash, std::equal_to<>> m_nameIds; // exact text
    std::unordered_map<std::string, std::int32_t> m_companies;                    // folded text
    struct PairKey {
        std::int64_t hotel;
        std::int32_t company;
        bool operator==(const PairKey&) const = default;
    };
    struct PairKeyHash {
        std::size_t operator()(const PairKey& k) const
        {
            return std::hash<std::int64_t>()(k.hotel * 1000003 + k.company);
        }
    };
    std::unordered_map<PairKey, PairId, PairKeyHash> m_pairIds;
    std::vector<Pair> m_pairs;
    BlockVector<Slot> m_slots;
    std::size_t m_rowCount = 0;
    NameId m_nazione = -1;
};

} // namespace presenze
