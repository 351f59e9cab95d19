#include "reports/type2/BookingQuery.h"

#include "data/BookingCache.h"
#include "data/DataError.h"
#include "data/Text1252.h"

#include <algorithm>
#include <tuple>

namespace presenze {
namespace {

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

bool companySelected(const Selection& selection, const std::vector<std::int64_t>& codes,
                     const BookingHeader& header)
{
    if (selection.companyListOnly)
        return codes.empty() ||
               (header.codiceDitta &&
                std::binary_search(codes.begin(), codes.end(), *header.codiceDitta));
    if (selection.singleCompany)
        return startsWithText(header.ditta, selection.company);
    return true;
}

// A room line joined to one of its headers, with its days counted from the
// window's first day.
struct Joined {
    const RoomLine* line;
    const BookingHeader* header;
    long arrivo;
    long partenza;
};

BookingRow rowOf(const Joined& j)
{
    BookingRow row;
    row.numeroHotel = j.line->numeroHotel;
    row.ditta = j.header->ditta;
    row.confermata =
        equalText(j.header->tipoPrenotazione, "C") || equalText(j.header->tipoPrenotazione, "D");
    row.arrivo = j.arrivo;
    row.partenza = j.partenza;
    row.numeroPersone = j.line->numeroPersone;
    row.quantitaCamere = j.line->quantitaCamere;
    row.category = categoryOf(j.line->note);
    row.giorniTariffa = j.line->giorniTariffa;
    row.prezzo = j.line->prezzo;
    return row;
}

std::vector<BookingRow> detailRows(const std::vector<Joined>& joined, const BookingSet& bookings)
{
    // Report order: hotel, company, booking kind (both in the engine's text
    // order), then table order.
    struct Key {
        std::int64_t hotel;
        std::uint32_t company;
        std::uint32_t kind;
        std::size_t position;
    };
    std::vector<Key> order;
    order.reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        const BookingHeader& h = *joined[i].header;
        order.push_back({h.numeroHotel, bookings.companyPlace(h), bookings.kindPlace(h), i});
    }
    std::sort(order.begin(), order.end(), [](const Key& a, const Key& b) {
        if (a.hotel != b.hotel)
            return a.hotel < b.hotel;
        if (a.company != b.company)
            return a.company < b.company;
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return a.position < b.position;
    });

    std::vector<BookingRow> rows;
    rows.reserve(joined.size());
    for (const Key& k : order)
        rows.push_back(rowOf(joined[k.position]));
    return rows;
}

std::vector<BookingRow> totalsRows(const std::vector<Joined>& joined, const BookingSet& bookings)
{
    std::vector<BookingRow> rows;
    rows.reserve(joined.size());
    for (const auto& j : joined)
        rows.push_back(rowOf(j));
    // Rows that group together become neighbours: hotel, kind, arrival,
    // departure, note (engine text order).
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        const BookingRow &a = rows[x], &b = rows[y];
        if (a.numeroHotel != b.numeroHotel)
            return a.numeroHotel < b.numeroHotel;
        if (a.confermata != b.confermata)
            return a.confermata;
        if (a.arrivo != b.arrivo)
            return a.arrivo < b.arrivo;
        if (a.partenza != b.partenza)
            return a.partenza < b.partenza;
        return bookings.notePlace(*joined[x].line) < bookings.notePlace(*joined[y].line);
    });
    std::vector<BookingRow> groups;
    const RoomLine* lead = nullptr;
    for (const std::size_t i : order) {
        const BookingRow& row = rows[i];
        if (lead && groups.back().numeroHotel == row.numeroHotel &&
            groups.back().confermata == row.confermata &&
            equalText(lead->note, joined[i].line->note) && groups.back().arrivo == row.arrivo &&
            groups.back().partenza == row.partenza) {
            BookingRow& group = groups.back();
            if (__builtin_add_overflow(group.numeroPersone, row.numeroPersone,
                                       &group.numeroPersone) ||
                __builtin_add_overflow(group.quantitaCamere, row.quantitaCamere,
                                       &group.quantitaCamere))
                throw DataError("Totale troppo grande per il rapporto: persone o camere "
                                "dell'hotel " +
                                std::to_string(group.numeroHotel));
            continue;
        }
        lead = joined[i].line;
        BookingRow group = row;
        group.ditta = "Totale";
        group.giorniTariffa = 1;
        group.prezzo = {};
        groups.push_back(std::move(group));
    }
    return groups;
}

} // namespace

Category categoryOf(std::string_view note)
{
    // Every tag begins with '<' (in any case).
    if (note.find('<') == std::string_view::npos)
        return Category::Individuals;
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
                                          const BookingQuery& query, const WarningSink& warn,
                                          BookingCache& cache)
{
    const BookingSet& bookings = cache.bookings(folder, selection.season, warn);

    // The lines of the window in table order, each joined to every header
    // of its booking that passes the selection, in table order.
    std::vector<std::int64_t> codes = query.codes;
    std::sort(codes.begin(), codes.end());
    const long firstSerial = query.first.toSerial();
    std::vector<Joined> joined;
    for (const RoomLine& line : bookings.lines()) {
        const BookingSet::Stay stay = bookings.stayOf(line);
        if (!stay.overlaps(firstSerial, firstSerial + 31))
            continue;
        for (const BookingHeader* header : bookings.headersOf(line))
            if (kindSelected(selection.kind, header->tipoPrenotazione) &&
                companySelected(selection, codes, *header) &&
                (!selection.singleHotel || header->numeroHotel == selection.comboHotel))
                joined.push_back(
                    {&line, header, stay.arrival - firstSerial, stay.departure - firstSerial});
    }
    return query.totals ? totalsRows(joined, bookings) : detailRows(joined, bookings);
}

} // namespace presenze
