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

std::vector<Date> monthsOf(const MonthRange& r)
{
    std::vector<Date> months;
    int month = r.firstMonth, year = r.firstYear;
    while (year * 100 + month <= r.lastYear * 100 + r.lastMonth) {
        months.push_back(Date{year, month, 1});
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

    const std::vector<Date> months = monthsOf(range);
    // Every month covers the 31 days from its first day; the booking files
    // are read once for the whole request.
    BookingCache bookings(months.front().toKey(), months.back().addDays(31).toKey(),
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
    for (const Date& first : months) {
        if (context.ui.stopRequested())
            throw RequestCancelled();
        ++index;
        context.keepsTally = index == static_cast<int>(months.size());
        const std::string name =
            std::string(trimBlanks(MonthNames[first.month])) + " " + std::to_string(first.year);
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
