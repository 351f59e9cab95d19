#include "reports/type2/BookingQuery.h"

#include "data/DataError.h"
#include "data/Text1252.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace presenze
{
namespace
{

struct KeyHash {
    std::size_t operator()(const std::pair<std::int64_t, std::int64_t>& key) const
    {
        return std::hash<std::int64_t>()(key.first * 1000003 ^ key.second);
    }
};

bool kindSelected(BookingKind kind, std::string_view tipo)
{
    const bool confirmed = equalText(tipo, "C") || equalText(tipo, "D");
    switch (kind) {
    case BookingKind::Confirmed:
        return confirmed;
    case BookingKind::Optional:
        return equalText(tipo, "O");
    case BookingKind::All:
        return confirmed || equalText(tipo, "O");
    }
    return false;
}

bool companySelected(const Selection& selection, const std::unordered_set<std::int64_t>& codes,
                     const BookingHeader& header)
{
    if (selection.companyListOnly)
        return codes.empty() || (header.codiceDitta && codes.count(*header.codiceDitta) > 0);
    if (selection.singleCompany)
        return startsWithText(header.ditta, selection.company);
    return true;
}

// A selected row with what ordering needs besides the row itself.
struct Selected {
    BookingRow row;
    std::string tipo; // the header's booking kind as stored
    std::string note; // the room line's note (totals mode groups by it)
};

std::vector<BookingRow> detailOrder(std::vector<Selected>& selected)
{
    std::stable_sort(selected.begin(), selected.end(), [](const Selected& a, const Selected& b) {
        if (a.row.numeroHotel != b.row.numeroHotel)
            return a.row.numeroHotel < b.row.numeroHotel;
        if (const int c = compareText(a.row.ditta, b.row.ditta))
            return c < 0;
        return compareText(a.tipo, b.tipo) < 0;
    });
    std::vector<BookingRow> rows;
    rows.reserve(selected.size());
    for (auto& s : selected)
        rows.push_back(std::move(s.row));
    return rows;
}

std::vector<BookingRow> totalsGroups(std::vector<Selected>& selected)
{
    // Rows that group together become neighbours: the group key, then table order.
    std::stable_sort(selected.begin(), selected.end(), [](const Selected& a, const Selected& b) {
        if (a.row.numeroHotel != b.row.numeroHotel)
            return a.row.numeroHotel < b.row.numeroHotel;
        if (a.row.confermata != b.row.confermata)
            return a.row.confermata;
        if (const int c = compareText(a.note, b.note))
            return c < 0;
        if (a.row.arrivo != b.row.arrivo)
            return a.row.arrivo < b.row.arrivo;
        return a.row.partenza < b.row.partenza;
    });
    std::vector<BookingRow> rows;
    const Selected* lead = nullptr;
    for (auto& s : selected) {
        if (lead && lead->row.numeroHotel == s.row.numeroHotel &&
            lead->row.confermata == s.row.confermata && equalText(lead->note, s.note) &&
            lead->row.arrivo == s.row.arrivo && lead->row.partenza == s.row.partenza) {
            BookingRow& group = rows.back();
            if (__builtin_add_overflow(group.numeroPersone, s.row.numeroPersone,
                                       &group.numeroPersone) ||
                __builtin_add_overflow(group.quantitaCamere, s.row.quantitaCamere,
                                       &group.quantitaCamere))
                throw DataError("Totale troppo grande per il rapporto: persone o camere "
                                "dell'hotel " +
                                std::to_string(group.numeroHotel));
            continue;
        }
        lead = &s;
        BookingRow group = s.row;
        group.ditta = "Totale";
        group.giorniTariffa = 1;
        group.prezzo = {};
        rows.push_back(std::move(group));
    }
    return rows;
}

} // namespace

Category categoryOf(std::string_view note)
{
    const std::string upper = upperCp1252(note);
    if (upper.find("<GRP>") != std::string::npos)
        return Category::Groups;
    if (upper.find("<TO>") != std::string::npos)
        return Category::TourOperators;
    if (upper.find("<AS>") != std::string::npos)
        return Category::AccSpec;
    return Category::Individuals;
}

std::vector<BookingRow> selectBookingRows(const DataFolder& folder, const Selection& selection,
                                          const BookingQuery& query, const WarningSink& warn)
{
    const long firstSerial = query.first.toSerial();
    const std::vector<RoomLine> lines = readRoomLines(folder, selection.season, query.first.toKey(),
                                                      query.first.addDays(31).toKey(), warn);
    if (lines.empty())
        return {};

    std::vector<std::int64_t> numbers;
    numbers.reserve(lines.size());
    for (const auto& line : lines)
        numbers.push_back(line.numeroPrenotazione);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    const std::vector<BookingHeader> headers =
        readBookingHeaders(folder, selection.season, numbers);

    // The headers that pass the selection, by booking number and hotel, in
    // table order (a duplicated header joins every one of its room lines).
    const std::unordered_set<std::int64_t> codes(query.codes.begin(), query.codes.end());
    std::unordered_map<std::pair<std::int64_t, std::int64_t>, std::vector<const BookingHeader*>,
                       KeyHash>
        joined;
    for (const auto& header : headers) {
        if (!kindSelected(selection.kind, header.tipoPrenotazione) ||
            !companySelected(selection, codes, header))
            continue;
        if (selection.singleHotel && header.numeroHotel != selection.comboHotel)
            continue;
        joined[{header.numeroPrenotazione, header.numeroHotel}].push_back(&header);
    }

    std::vector<Selected> selected;
    for (const auto& line : lines) {
        const auto match = joined.find({line.numeroPrenotazione, line.numeroHotel});
        if (match == joined.end())
            continue;
        for (const BookingHeader* header : match->second) {
            Selected s;
            BookingRow& row = s.row;
            row.numeroHotel = line.numeroHotel;
            row.ditta = header->ditta;
            row.confermata = equalText(header->tipoPrenotazione, "C") ||
                             equalText(header->tipoPrenotazione, "D");
            row.arrivo = Date::parseKey(line.dataArrivo)->toSerial() - firstSerial;
            row.partenza = Date::parseKey(line.dataPartenza)->toSerial() - firstSerial;
            row.numeroPersone = line.numeroPersone;
            row.quantitaCamere = line.quantitaCamere;
            row.category = categoryOf(line.note);
            row.giorniTariffa = line.giorniTariffa;
            row.prezzo = line.prezzo;
            s.tipo = header->tipoPrenotazione;
            if (query.totals)
                s.note = line.note;
            selected.push_back(std::move(s));
        }
    }
    return query.totals ? totalsGroups(selected) : detailOrder(selected);
}

} // namespace presenze
