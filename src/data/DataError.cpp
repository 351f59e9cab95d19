#include "data/DataError.h"

#include <new>

namespace presenze {
namespace {

std::string compose(std::string_view message, std::string_view file, std::string_view table,
                    std::string_view field)
{
    std::string text(message);
    if (!file.empty()) {
        text += " (file \"";
        text += file;
        text += '"';
        if (!table.empty()) {
            text += ", tabella ";
            text += table;
        }
        if (!field.empty()) {
            text += ", campo ";
            text += field;
        }
        text += ')';
    }
    return text;
}

} // namespace

DataError::DataError(std::string_view message, std::string_view file, std::string_view table,
                     std::string_view field)
    : std::runtime_error(compose(message, file, table, field)), m_file(file), m_table(table),
      m_field(field)
{}

std::string unexpectedErrorText(const std::exception& error)
{
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "Errore imprevisto: memoria insufficiente";
    return "Errore imprevisto";
}

} // namespace presenze
