#include "tally/PresenzeTally.h"

#include "data/Text1252.h"
#include "tally/Saturating.h"

#include <algorithm>

namespace presenze
{

TagClass tagClassOf(std::string_view commento)
{
    if (commento.find("<GRP>") != std::string_view::npos)
        return TagClass::Gruppi;
    if (commento.find("<IND>") != std::string_view::npos)
        return TagClass::Individuali;
    if (commento.find("<TO>") != std::string_view::npos)
        return TagClass::TourOp;
    if (commento.find("<AS>") != std::string_view::npos)
        return TagClass::AccSpec;
    return TagClass::None;
}

bool isItalian(std::string_view nazione)
{
    return nazione == "I" || trimBlanks(nazione).empty();
}

PresenzeTally::PresenzeTally(HotelRooms rooms) : m_rooms(std::move(rooms))
{
    m_nazione = name("NAZIONE");
}

PresenzeTally::NameId PresenzeTally::name(std::string_view rowName)
{
    const auto [it, added] =
        m_nameIds.try_emplace(std::string(rowName), static_cast<NameId>(m_names.size()));
    if (added) {
        m_names.emplace_back(rowName);
        const auto [company, newCompany] = m_companies.try_emplace(
            upperCp1252(rowName), static_cast<std::int32_t>(m_companies.size()));
        m_companyOfName.push_back(company->second);
    }
    return it->second;
}

PresenzeTally::PairId PresenzeTally::rowsOf(std::int64_t hotel, NameId rowName)
{
    return pairOf(hotel, m_companyOfName.at(rowName));
}

PresenzeTally::PairId PresenzeTally::nationOf(std::int64_t hotel)
{
    return pairOf(hotel, m_companyOfName[m_nazione]);
}

PresenzeTally::PairId PresenzeTally::pairOf(std::int64_t hotel, std::int32_t company)
{
    const auto [it, added] =
        m_pairIds.try_emplace(PairKey{hotel, company}, static_cast<PairId>(m_pairs.size()));
    if (added) {
        Pair& pair = m_pairs.emplace_back();
        pair.hotel = hotel;
        pair.rooms = m_rooms.of(hotel);
        std::fill(std::begin(pair.slot), std::end(pair.slot), -1);
    }
    return it->second;
}

std::int32_t PresenzeTally::slotOf(PairId pairId, int contatore, std::int64_t libere)
{
    std::int32_t& index = m_pairs[pairId].slot[contatore - 1];
    if (index < 0) {
        index = static_cast<std::int32_t>(m_slots.size());
        Slot& slot = m_slots.emplace_back();
        slot.pair = pairId;
        slot.contatore = contatore;
        slot.values[kLibere] = libere;
    }
    return index;
}

void PresenzeTally::addCompany(Slot& slot, const Night& night)
{
    PresenzeCounters& v = slot.values;
    slot.name = night.name;
    if (night.optional) {
        addSaturating(v[kPresOpz], night.persone);
        addSaturating(v[kOpzioni], night.camere);
    } else {
        addSaturating(v[kPresenze], night.persone);
        addSaturating(v[kCamere], night.camere);
    }
    int rooms = -1, persons = -1;
    switch (night.tag) {
    case TagClass::Gruppi:
        rooms = kGruppi, persons = kGruppiC;
        break;
    case TagClass::Individuali:
        rooms = kIndividuali, persons = kIndividualiC;
        break;
    case TagClass::TourOp:
        rooms = kTourOp, persons = kTourOpC;
        break;
    case TagClass::AccSpec:
        rooms = kAccSpec, persons = kAccSpecC;
        break;
    case TagClass::None:
        break;
    }
    if (rooms >= 0) {
        addSaturating(v[rooms], night.camere);
        addSaturating(v[persons], night.persone);
    }
    subtractSaturating(v[kLibere], night.camere);
}

void PresenzeTally::countNights(const Night& night, int firstDay, int lastDay)
{
    firstDay = std::max(firstDay, 1);
    lastDay = std::min(lastDay, 31);
    for (int day = firstDay; day <= lastDay; ++day) {
        // Nationality row: found or made (a new one starts with the rooms of
        // all hotels as free rooms), named "NAZIONE" again.
        {
            Slot& slot = m_slots[slotOf(night.nation, kPeriod, m_rooms.camereTotali)];
            slot.name = m_nazione;
            PresenzeCounters& v = slot.values;
            if (night.italian) {
                addSaturating(v[kPresOpz], night.persone);
                addSaturating(v[kOpzioni], night.camere);
            } else {
                addSaturating(v[kPresenze], night.persone);
                addSaturating(v[kCamere], night.camere);
            }
        }
        // Daily row (its second daily row carries the same values), then the
        // period row.
        const std::int64_t rooms = m_pairs[night.rows].rooms;
        addCompany(m_slots[slotOf(night.rows, day, rooms)], night);
        addCompany(m_slots[slotOf(night.rows, kPeriod, rooms)], night);
    }
}

std::size_t PresenzeTally::rowCount() const
{
    std::size_t rows = 0;
    for (const Slot& slot : m_slots)
        rows += slot.contatore < kPeriod ? 2 : 1;
    return rows;
}

} // namespace presenze
