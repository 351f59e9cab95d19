#include "reports/type1/HotelNames.h"

#include "common/ReportFile.h"
#include "reports/type1/GridLine.h"

namespace presenze {

HotelNames::HotelNames(std::vector<HotelRecord> registry) : m_registry(std::move(registry))
{
    bool any = false;
    for (std::size_t i = 0; i < m_registry.size(); ++i) {
        const HotelRecord& h = m_registry[i];
        m_byNumero.try_emplace(h.numero, i);
        if (h.numeroHotel > 0 && (!any || h.numeroHotel > m_highest)) {
            m_highest = h.numeroHotel;
            any = true;
        }
    }
}

const std::string* HotelNames::name(std::int64_t numero) const
{
    const auto it = m_byNumero.find(numero);
    return it == m_byNumero.end() ? nullptr : &m_registry[it->second].ragioneSociale;
}

std::string HotelNames::gridLabel(std::int64_t numero) const
{
    const std::string* n = name(numero);
    if (!n || n->size() <= 6)
        return std::string(8, ' ');
    return reportText(fitted(std::string_view(*n).substr(6), 8));
}

std::string HotelNames::tableLabel(std::int64_t numero) const
{
    const std::string* n = name(numero);
    return reportText(fitted(n ? std::string_view(*n) : std::string_view(), 30));
}

} // namespace presenze
