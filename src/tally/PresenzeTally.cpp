#include "tally/PresenzeTally.h"

#include "data/Text1252.h"
#include "tally/Saturating.h"

#include <algorithm>

namespace presenze {

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
    if (const auto known = m_nameIds.find(rowName); known != m_nameIds.end())
        return known->second;
    const auto id = static_cast<NameId>(m_names.size());
    m_nameIds.emplace(std::string(rowName), id);
    m_names.emplace_back(rowName);
    const auto [company, newCompany] = m_companies.try_emplace(
        upperCp1252(rowName), static_cast<std::int32_t>(m_companies.size()));
    m_companyOfName.push_back(company->second);
    return id;
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
        m_rowCount += contatore < kPeriod ? 2 : 1;
    }
    return index;
}

void PresenzeTally::addCompany(Slot& slot, const Night& night, std::int64_t persons,
                               std::int64_t rooms)
{
    PresenzeCounters& v = slot.values;
    slot.name = night.name;
    if (night.optional) {
        addSaturating(v[kPresOpz], persons);
        addSaturating(v[kOpzioni], rooms);
    } else {
        addSaturating(v[kPresenze], persons);
        addSaturating(v[kCamere], rooms);
    }
    int roomField = -1, personField = -1;
    switch (night.tag) {
    case TagClass::Gruppi:
        roomField = kGruppi, personField = kGruppiC;
        break;
    case TagClass::Individuali:
        roomField = kIndividuali, personField = kIndividualiC;
        break;
    case TagClass::TourOp:
        roomField = kTourOp, personField = kTourOpC;
        break;
    case TagClass::AccSpec:
        roomField = kAccSpec, personField = kAccSpecC;
        break;
    case TagClass::None:
        break;
    }
    if (roomField >= 0) {
        addSaturating(v[roomField], rooms);
        addSaturating(v[personField], persons);
    }
    subtractSaturating(v[kLibere], rooms);
}

void PresenzeTally::countNights(const Night& night, int firstDay, int lastDay)
{
    firstDay = std::max(firstDay, 1);
    lastDay = std::min(lastDay, 31);
    if (firstDay > lastDay)
        return;
    // Night by night the line touches the nationality row, its daily row and
    // its period row; the two rows of the whole window receive the same
    // amounts every night, so they are added once for all the nights. Rows
    // come into being in the order of the nights: the nationality row (with
    // the rooms of all hotels as free rooms), the first night's daily row,
    // the period row, then the later nights' daily rows.
    const std::int64_t nights = lastDay - firstDay + 1;
    const std::int64_t persons = saturatingMul(night.persone, nights);
    const std::int64_t rooms = saturatingMul(night.camere, nights);
    {
        Slot& slot = m_slots[slotOf(night.nation, kPeriod, m_rooms.camereTotali)];
        slot.name = m_nazione;
        PresenzeCounters& v = slot.values;
        if (night.italian) {
            addSaturating(v[kPresOpz], persons);
            addSaturating(v[kOpzioni], rooms);
        } else {
            addSaturating(v[kPresenze], persons);
            addSaturating(v[kCamere], rooms);
        }
    }
    const std::int64_t hotelRooms = m_pairs[night.rows].rooms;
    const std::int32_t firstNight = slotOf(night.rows, firstDay, hotelRooms);
    const std::int32_t period = slotOf(night.rows, kPeriod, hotelRooms);
    addCompany(m_slots[firstNight], night, night.persone, night.camere);
    for (int day = firstDay + 1; day <= lastDay; ++day)
        addCompany(m_slots[slotOf(night.rows, day, hotelRooms)], night, night.persone,
                   night.camere);
    // Written last: a company named "Nazione" leaves its name on the
    // nationality row it shares.
    addCompany(m_slots[period], night, persons, rooms);
}

} // namespace presenze
