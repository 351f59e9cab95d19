#pragma once
// The Qt edge of the core's Windows-1252 texts, and of the data's texts
// shown on controls.

#include <QString>
#include <string>
#include <string_view>

namespace presenze {

QString fromCp1252(std::string_view text);
std::string toCp1252(const QString& text);

// A text of the data as the caption of a button, check box or group box:
// its "&" shown as it is, never taken for a keyboard shortcut.
QString captionText(const QString& text);
QString captionFromCp1252(std::string_view text);

} // namespace presenze
