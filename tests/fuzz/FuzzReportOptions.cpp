// The options of `presenze-cli report` as typed: the parser either refuses
// them with a message or gives a range of whole months from 1996 on, with
// hotels from 1 up and a season that names no folder.
//
// Input: the arguments, separated by zero bytes.

#include "FuzzSupport.h"
#include "cli/CommandLine.h"
#include "data/Records.h"
#include "request/PrintRequest.h"

using namespace presenze;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= text.size() && args.size() < 64) {
        const auto end = std::min(text.find('\0', start), text.size());
        args.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const ParseResult parsed = parseReportOptions(args);
    if (!parsed.options) {
        if (parsed.error.empty())
            fuzz::broken("a refusal without a message");
        return 0;
    }
    if (!parsed.error.empty())
        fuzz::broken("a message with options");
    const ReportOptions& o = *parsed.options;
    if (checkMonthRange(o.range))
        fuzz::broken("a range the print request refuses");
    const auto months = monthsOf(o.range);
    if (months.empty() || months.size() > (9999 - 1996 + 1) * 12)
        fuzz::broken("a range of no months or too many");
    for (const Date& month : months)
        if (month.day != 1 || month.month < 1 || month.month > 12 || month.year < 1996 ||
            month.year > 9999)
            fuzz::broken("a month that is not the first of a month from 1996 to 9999");
    for (const char c : o.selection.season)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            fuzz::broken("a season that names a folder");
    if (o.selection.tickedHotels) {
        for (const auto hotel : *o.selection.tickedHotels)
            if (hotel < 1)
                fuzz::broken("a hotel number below 1");
        // Against a registry of three hotels.
        std::vector<HotelRecord> registry(3);
        for (int i = 0; i < 3; ++i)
            registry[i].numero = registry[i].numeroHotel = i + 1;
        const auto problem = checkTickedHotels(o.selection, registry);
        bool outside = false;
        for (const auto hotel : *o.selection.tickedHotels)
            outside = outside || hotel > 3;
        if (outside != problem.has_value())
            fuzz::broken("hotels outside the registry not named, or named wrongly");
    }
    return 0;
}
