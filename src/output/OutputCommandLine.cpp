#include "output/OutputCommandLine.h"

#include "data/Text1252.h"

namespace presenze {
namespace {

OutputParseResult parse(const std::vector<std::string>& args, bool print)
{
    OutputOptions o;
    bool haveDestination = false;
    auto failure = [](std::string message) {
        return OutputParseResult{std::nullopt, std::move(message)};
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (print && a == "--compressed") {
            o.choices.compressed = true;
            continue;
        }
        if (print && a == "--landscape") {
            o.choices.landscape = true;
            continue;
        }
        if (print && a == "--duplex") {
            o.choices.duplex = true;
            continue;
        }
        const bool takesValue = a == "--data-dir" || a == "--station" ||
                                (print && (a == "--destination" || a == "--printer"));
        if (!takesValue)
            return failure(a.rfind("--", 0) == 0 ? "Opzione non riconosciuta: " + a
                                                 : "Argomento non riconosciuto: " + a);
        if (i + 1 >= args.size())
            return failure("Manca il valore dell'opzione " + a);
        const std::string& v = args[++i];
        if (a == "--data-dir") {
            o.dataDir = v;
        } else if (a == "--station") {
            o.station = utf8ToCp1252(v);
        } else if (a == "--destination") {
            o.choices.destination = utf8ToCp1252(v);
            haveDestination = true;
        } else {
            o.choices.printer = utf8ToCp1252(v);
        }
    }
    if (print && !haveDestination)
        return failure("Indicare la destinazione di stampa con --destination NOME");
    return {std::move(o), {}};
}

} // namespace

OutputParseResult parseCsvOptions(const std::vector<std::string>& args)
{
    return parse(args, false);
}

OutputParseResult parsePrintOptions(const std::vector<std::string>& args)
{
    return parse(args, true);
}

} // namespace presenze
