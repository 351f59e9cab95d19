#include "store/StoreAddress.h"

#include "data/Text1252.h"

#include <libpq-fe.h>
#include <map>
#include <memory>

namespace presenze {
namespace {

struct Parsed {
    std::map<std::string, std::string> values; // the keywords given a value
    std::string error;                         // libpq's, when the text does not parse
};

Parsed parse(const std::string& conninfo)
{
    Parsed parsed;
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(
        PQconninfoParse(conninfo.c_str(), &error), PQconninfoFree);
    if (!options) {
        parsed.error = error ? error : "";
        PQfreemem(error);
        while (!parsed.error.empty() && parsed.error.back() == '\n')
            parsed.error.pop_back();
        return parsed;
    }
    for (const PQconninfoOption* o = options.get(); o->keyword; ++o)
        if (o->val && *o->val)
            parsed.values[o->keyword] = o->val;
    return parsed;
}

std::string valueOf(const Parsed& parsed, const char* keyword)
{
    const auto it = parsed.values.find(keyword);
    return it == parsed.values.end() ? std::string() : it->second;
}

} // namespace

std::optional<std::string> checkStoreAddress(const std::string& conninfo, std::string_view place)
{
    if (conninfo.empty())
        return std::string("Indicare il server con una stringa di connessione di PostgreSQL");
    const Parsed parsed = parse(conninfo);
    if (!parsed.error.empty())
        return "Stringa di connessione non valida: " + utf8ToCp1252(parsed.error);
    if (!valueOf(parsed, "password").empty())
        return "La password non va scritta " + std::string(place) +
               ": indicarla nel file delle password di PostgreSQL (~/.pgpass) o in PGPASSWORD";
    return std::nullopt;
}

StoreAddress storeAddress(const std::string& conninfo)
{
    const Parsed parsed = parse(conninfo);
    std::string host = valueOf(parsed, "host");
    if (host.empty())
        host = valueOf(parsed, "hostaddr");
    if (const std::string port = valueOf(parsed, "port"); !port.empty())
        host += (host.empty() ? "porta " : ":") + port;
    const std::string database = valueOf(parsed, "dbname");
    std::string server;
    if (!database.empty())
        server = "\"" + database + "\"" + (host.empty() ? "" : " su " + host);
    else
        server = host.empty() ? "predefinito" : host;
    return {conninfo, utf8ToCp1252(server)};
}

} // namespace presenze
