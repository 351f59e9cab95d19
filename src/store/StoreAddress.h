#pragma once
// A chain's server as the command line names it: a libpq connection string
// ("host=db.example dbname=presenze sslmode=verify-full") or URI
// ("postgresql:///presenze?host=/run/postgresql"). A password never comes
// from the command line: libpq takes it from the password file or from the
// environment (PGPASSFILE, PGPASSWORD).

#include <optional>
#include <string>
#include <string_view>

namespace presenze {

struct StoreAddress {
    std::string conninfo; // as given (UTF-8)
    std::string server;   // how messages name the server (Windows-1252)
};

// Nullopt when the text is a connection string or URI without a password;
// otherwise why not, in Italian (Windows-1252). `place` says where the
// password must not be written.
std::optional<std::string> checkStoreAddress(const std::string& conninfo,
                                             std::string_view place = "nella riga di comando");

// The address of a text that checkStoreAddress accepts.
StoreAddress storeAddress(const std::string& conninfo);

} // namespace presenze
