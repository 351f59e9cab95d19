#pragma once
// The name a group of hotels has on the chain's server: 1 to 63 characters
// among letters, digits, blank, "-", "_" and ".". Windows-1252, like every
// core text; stored as UTF-8.

#include "data/DataFolder.h"

#include <optional>
#include <string>
#include <string_view>

namespace presenze {

inline constexpr std::size_t kLongestGroupName = 63;

// Nullopt for a good name; otherwise an Italian message (Windows-1252).
std::optional<std::string> checkGroupName(std::string_view group);

// The name of the folder itself (the default group of a sync).
std::string folderGroupName(const DataFolder& folder);

} // namespace presenze
