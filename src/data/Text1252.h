#pragma once
// Windows-1252 text: the core keeps every text as one byte per character,
// as the report file does. Conversion to and from UTF-8 happens only at the
// edges (database files, terminal, Qt).

#include <string>
#include <string_view>

namespace presenze {

// UTF-8 to Windows-1252; characters with no Windows-1252 byte become '?'.
// Malformed UTF-8 bytes also become '?'.
std::string utf8ToCp1252(std::string_view utf8);
// The same, into `out` (whose storage is reused).
void utf8ToCp1252(std::string_view utf8, std::string& out);

// Windows-1252 to UTF-8. The five bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value.
std::string cp1252ToUtf8(std::string_view text);

// Upper case of one Windows-1252 character (a-z, the accented lower-case
// letters, s/z/oe with caron or ligature, y with diaeresis).
char upperCp1252(char c);
std::string upperCp1252(std::string_view text);

// The text order used wherever the booking software's database engine would
// sort or compare text: letters folded to upper case, then Windows-1252 byte
// values; equal folded texts are ordered by their bytes.
int compareText(std::string_view a, std::string_view b);
// Equality without regard to case (folded bytes).
bool equalText(std::string_view a, std::string_view b);
// True when text begins with prefix, without regard to case.
bool startsWithText(std::string_view text, std::string_view prefix);

// Leading and trailing blanks (spaces only) removed.
std::string_view trimBlanks(std::string_view text);

} // namespace presenze
