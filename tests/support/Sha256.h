#pragma once
// SHA-256 of a byte string, as lower-case hex (the form sha256sum prints).

#include <string>
#include <string_view>

namespace presenze::test {

std::string sha256Hex(std::string_view bytes);

} // namespace presenze::test
