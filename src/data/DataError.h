#pragma once
// The one error type of the core. Its message is Italian, Windows-1252 like
// every core text, and names the file and, where known, the table and field.
// Callers show it and go back: no error ends the program.

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace presenze {

class DataError : public std::runtime_error {
public:
    explicit DataError(const std::string& message) : std::runtime_error(message) {}
    DataError(std::string_view message, std::string_view file, std::string_view table = {},
              std::string_view field = {});

    const std::string& file() const { return m_file; }
    const std::string& table() const { return m_table; }
    const std::string& field() const { return m_field; }

private:
    std::string m_file;
    std::string m_table;
    std::string m_field;
};

// What the person is told of any other error: "Errore imprevisto", with
// the reason in Italian where it is known (memory ran out), never the
// library's own English text.
std::string unexpectedErrorText(const std::exception& error);

} // namespace presenze
