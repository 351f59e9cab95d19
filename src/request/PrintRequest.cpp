#include "request/PrintRequest.h"

#include "common/KV7Routine.h"
#include "common/ReportFigures.h"
#include "common/ReportFile.h"
#include "common/Station.h"
#include "data/AtomicFile.h"
#include "data/BookingCache.h"
#include "data/DataError.h"
#include "data/Text1252.h"
#include "reports/type1/HotelNames.h"
#include "reports/type1/StampaTipo1.h"
#include "reports/type2/StampaTipo2.h"

#include <cstdio>

namespace presenze {

namespace {

// "Nessun dato ..." naming the months without data.
std::string noDataMessage(const std::vector<std::string>& months)
{
    std::string text = "Nessun dato soddisfa i criteri di selezione ";
    text += months.size() == 1 ? "per " : "per i mesi: ";
    for (std::size_t i = 0; i < months.size(); ++i)
        text += (i > 0 ? ", " : "") + months[i];
    return text + ".";
}

} // namespace

std::optional<std::string> checkMonthRange(const MonthRange& r)
{
    if (r.firstMonth < 1 || r.firstMonth > 12 || r.lastMonth < 1 || r.lastMonth > 12)
        return std::string("Mese non valido: indicare un mese da 1 a 12.");
    if (r.firstYear < 1996 || r.firstYear > 9999 || r.lastYear < 1996 || r.lastYear > 9999)
        return std::string("Anno non valido: indicare un anno di quattro cifre dal 1996 in poi.");
    if (r.firstYear * 100 + r.firstMonth > r.lastYear * 100 + r.lastMonth)
        return std::string("Periodo non valido: il primo mese viene dopo l'ultimo.");
    return std::nullopt;
}

int monthCount(const MonthRange& r)
{
    return (r.lastYear - r.firstYear) * 12 + r.lastMonth - r.firstMonth + 1;
}

std::optional<std::string> checkLongRequest(const MonthRange& range, bool allowLong)
{
    const int months = monthCount(range);
    if (months <= kLongRequestMonths || allowLong)
        return std::nullopt;
    return "Richiesta di " + std::to_string(months) + " mesi: aggiungere --allow-long";
}

std::vector<std::string> monthsOf(const MonthRange& r)
{
    std::vector<std::string> months;
    int month = r.firstMonth, year = r.firstYear;
    while (year * 100 + month <= r.lastYear * 100 + r.lastMonth) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "01/%02d/%04d", month, year);
        months.emplace_back(buf);
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return months;
}

namespace {

// The registry's names of the hotels the figures show. Type 2 does not need
// the registry otherwise: without one the hotels go by their numbers.
void nameHotels(ReportFigures& figures, BookingCache& bookings, const DataFolder& folder)
{
    std::vector<HotelRecord> registry;
    try {
        registry = bookings.hotelRegistry(folder);
    } catch (const DataError&) {
        return;
    }
    const HotelNames names(std::move(registry));
    for (const std::int64_t hotel : figures.hotels())
        if (const std::string* name = names.name(hotel))
            figures.setHotelName(hotel, *name);
}

} // namespace

std::filesystem::path runPrintRequest(ReportKind kind, const MonthRange& range,
                                      const Selection& selection, ReportContext& context)
{
    if (auto problem = checkMonthRange(range))
        throw DataError(*problem);
    checkStationTag(context.stationTag);

    const auto months = monthsOf(range);
    // Every month covers the 31 days from its first day; the booking files
    // are read once for the whole request.
    const Date firstDay = *Date::parseDisplay(months.front());
    const Date lastFirstDay = *Date::parseDisplay(months.back());
    BookingCache bookings(firstDay.toKey(), lastFirstDay.addDays(31).toKey(),
                          kind == ReportKind::Type1 ? BookingFields::Tally : BookingFields::Type2,
                          false, context.source);
    context.bookings = &bookings;
    context.presencesForRest.reset();
    struct Unlend {
        ReportContext& context;
        ~Unlend()
        {
            context.bookings = nullptr;
            context.keepsTally = true;
            context.presencesForRest.reset();
        }
    } unlend{context};

    if (context.figures)
        context.figures->start(kind == ReportKind::Type1, selection);

    // Written beside the report file and put in its place only when whole.
    AtomicFile file(context.folder.target(reportFileName(context.stationTag)));
    ReportWriter out(file);
    std::vector<std::string> withoutData;
    int index = 0;
    for (const auto& first : months) {
        if (context.ui.stopRequested())
            throw RequestCancelled();
        ++index;
        context.keepsTally = index == static_cast<int>(months.size());
        const int month = static_cast<int>(NumericValue(first.substr(3, 2)));
        const std::string name =
            std::string(trimBlanks(MonthNames[month])) + " " + first.substr(6, 4);
        context.ui.month(index, static_cast<int>(months.size()), name);
        const bool hasData = kind == ReportKind::Type1
                                 ? StampaTipo1(first, out, selection, context)
                                 : StampaTipo2(first, out, selection, context);
        if (!hasData)
            withoutData.push_back(name);
    }
    if (context.ui.stopRequested())
        throw RequestCancelled();
    file.commit();
    if (!withoutData.empty())
        context.ui.warn("Dati mancanti", noDataMessage(withoutData));
    if (context.figures && kind == ReportKind::Type2)
        nameHotels(*context.figures, bookings, context.folder);
    return file.target();
}

} // namespace presenze
