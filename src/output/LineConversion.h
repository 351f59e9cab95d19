#pragma once
// Conversion of a report line for the system printer: the box-drawing bytes
// of the report become "|" and "-", and a few capitals with an accent become
// their small letters. (Raw printers and the preview use TogliGrafica.)

#include <string>

namespace presenze {

// Changes the line in place (its length stays) and returns it.
std::string& Converti2(std::string& line);

} // namespace presenze
