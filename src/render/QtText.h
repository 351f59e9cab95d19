#pragma once
// The Qt edge of the core's Windows-1252 texts.

#include <QString>
#include <string>
#include <string_view>

namespace presenze {

QString fromCp1252(std::string_view text);
std::string toCp1252(const QString& text);

} // namespace presenze
