#pragma once
// The Italian words for what the system and SQLite report: an error number
// (errno, std::error_code) or an SQLite result code becomes a short Italian
// text in Windows-1252 ("file o cartella inesistente", "il file è
// danneggiato"). Messages never carry the system's own English texts.

#include <string>
#include <system_error>

namespace presenze {

// The text of an error number; an unknown one gives "errore di sistema N".
std::string systemErrorText(int error);
std::string systemErrorText(const std::error_code& ec);

// The text of an SQLite result code (primary or extended).
std::string sqliteErrorText(int resultCode);

} // namespace presenze
