#include "reports/type2/BookingQuery.h"

#include "data/BookingCache.h"
#include "data/DataError.h"
#include "data/Text1252.h"

#include <algorithm>
#include <tuple>

namespace presenze {
namespace {

// The kind letter (kindLetter) compared without regard to case.
bool kindSelected(BookingKind kind, char letter)
{
    const char upper = upperKind(letter);
    const bool confirmed = upper == 'C' || upper == 'D';
    switch (kind) {
    case BookingKind::Confirmed:
        return confirmed;
    case BookingKind::Optional:
        return upper == 'O';
    case BookingKind::All:
        return confirmed || upper == 'O';
    }
    return false;
}

bool companySelected(const Selection& selection, const std::vector<std::int64_t>& codes,
                     const BookedHeader& header)
{
    if (selection.companyListOnly)
        return codes.empty() ||
               (header.hasCodiceDitta &&
                std::binary_search(codes.begin(), codes.end(), header.codiceDitta));
    if (selection.singleCompany)
        return startsWithText(header.ditta, selection.company);
    return true;
}

// A room line joined to one of its headers, with its days counted from the
// window's first day.
struct Joined {
    const BookedLine* line;
    const BookedHeader* header;
    long arrivo;
    long partenza;
};

BookingRow rowOf(const Joined& j, const BookingSet& bookings)
{
    const LinePrice& price = bookings.priceOf(*j.line);
    BookingRow row;
    row.numeroHotel = j.line->numeroHotel;
    row.ditta = j.header->ditta.view();
    const char kind = upperKind(j.header->kind);
    row.confermata = kind == 'C' || kind == 'D';
    row.arrivo = j.arrivo;
    row.partenza = j.partenza;
    row.numeroPersone = j.line->numeroPersone;
    row.quantitaCamere = j.line->quantitaCamere;
    row.category = categoryOf(price.note);
    row.giorniTariffa = price.giorniTariffa;
    row.prezzo = price.prezzo;
    return row;
}

std::vector<BookingRow> detailRows(const std::vector<Joined>& joined, const BookingSet& bookings)
{
    // Report order: hotel, company, booking kind (both in the engine's text
    // order), then table order (of the lines, then of a line's headers).
    struct Key {
        std::int64_t hotel;
        std::uint32_t company;
        std::uint32_t kind;
        std::uint32_t line;
        std::uint32_t header;
        std::uint32_t position;
    };
    std::vector<Key> order;
    order.reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        const BookedHeader& h = *joined[i].header;
        order.push_back({h.numeroHotel, bookings.companyPlace(h), bookings.kindPlace(h),
                         joined[i].line->order, h.order, static_cast<std::uint32_t>(i)});
    }
    std::sort(order.begin(), order.end(), [](const Key& a, const Key& b) {
        if (a.hotel != b.hotel)
            return a.hotel < b.hotel;
        if (a.company != b.company)
            return a.company < b.company;
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.line != b.line)
            return a.line < b.line;
        return a.header < b.header;
    });

    std::vector<BookingRow> rows;
    rows.reserve(joined.size());
    for (const Key& k : order)
        rows.push_back(rowOf(joined[k.position], bookings));
    return rows;
}

std::vector<BookingRow> totalsRows(const std::vector<Joined>& joined, const BookingSet& bookings)
{
    const auto confirmed = [](const Joined& j) {
        const char kind = upperKind(j.header->kind);
        return kind == 'C' || kind == 'D';
    };
    // Rows that group together become neighbours: hotel, kind, arrival,
    // departure, note (engine text order), then table order (of the lines,
    // then of a line's headers). The sort runs over small keys; a row is
    // made for the first of each group only.
    struct Key {
        std::int64_t hotel;
        long arrivo;
        long partenza;
        std::uint32_t note;
        std::uint32_t line;
        std::uint32_t header;
        std::uint32_t index;
        bool optional;
        auto tie() const { return std::tie(hotel, optional, arrivo, partenza, note, line, header); }
    };
    std::vector<Key> keys;
    keys.reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        const Joined& j = joined[i];
        keys.push_back({j.line->numeroHotel, j.arrivo, j.partenza, bookings.notePlace(*j.line),
                        j.line->order, j.header->order, static_cast<std::uint32_t>(i),
                        !confirmed(j)});
    }
    std::sort(keys.begin(), keys.end(),
              [](const Key& a, const Key& b) { return a.tie() < b.tie(); });
    std::vector<BookingRow> groups;
    const BookedLine* lead = nullptr;
    for (const Key& k : keys) {
        const Joined& j = joined[k.index];
        if (lead && groups.back().numeroHotel == j.line->numeroHotel &&
            groups.back().confermata == confirmed(j) &&
            equalText(bookings.priceOf(*lead).note, bookings.priceOf(*j.line).note) &&
            groups.back().arrivo == j.arrivo && groups.back().partenza == j.partenza) {
            BookingRow& group = groups.back();
            if (__builtin_add_overflow(group.numeroPersone, j.line->numeroPersone,
                                       &group.numeroPersone) ||
                __builtin_add_overflow(group.quantitaCamere, j.line->quantitaCamere,
                                       &group.quantitaCamere))
                throw DataError("Totale troppo grande per il rapporto: persone o camere "
                                "dell'hotel " +
                                std::to_string(group.numeroHotel));
            continue;
        }
        lead = j.line;
        BookingRow group = rowOf(j, bookings);
        group.ditta = "Totale";
        group.giorniTariffa = 1;
        group.prezzo = {};
        groups.push_back(group);
    }
    return groups;
}

} // namespace

namespace {

// The tag (upper case, from its '<') somewhere in the note, in any case.
bool hasTag(std::string_view note, std::string_view tag)
{
    for (std::size_t at = note.find('<'); at != std::string_view::npos;
         at = note.find('<', at + 1)) {
        if (note.size() - at < tag.size())
            return false;
        if (equalText(note.substr(at, tag.size()), tag))
            return true;
    }
    return false;
}

} // namespace

Category categoryOf(std::string_view note)
{
    // Every tag begins with '<' (in any case).
    if (note.find('<') == std::string_view::npos)
        return Category::Individuals;
    if (hasTag(note, "<GRP>"))
        return Category::Groups;
    if (hasTag(note, "<TO>"))
        return Category::TourOperators;
    if (hasTag(note, "<AS>"))
        return Category::AccSpec;
    return Category::Individuals;
}

std::vector<BookingRow> selectBookingRows(const BookingSet& bookings, const Selection& selection,
                                          const BookingQuery& query)
{
    // The lines of the window, each joined to every header of its booking
    // that passes the selection; the rows are put in report order below.
    std::vector<std::int64_t> codes = query.codes;
    std::sort(codes.begin(), codes.end());
    const long firstSerial = query.first.toSerial();
    std::vector<Joined> joined;
    bookings.forEachOverlapping(firstSerial, firstSerial + 31, [&](const BookedLine& line) {
        for (const BookedHeader& header : bookings.headersOf(line))
            if (kindSelected(selection.kind, header.kind) &&
                companySelected(selection, codes, header) &&
                (!selection.singleHotel || header.numeroHotel == selection.comboHotel))
                joined.push_back(
                    {&line, &header, line.arrival - firstSerial, line.departure - firstSerial});
    });
    return query.totals ? totalsRows(joined, bookings) : detailRows(joined, bookings);
}

} // namespace presenze
