#pragma once
// The whole content of a file as a 128-bit XXH3 hash (32 hex digits): two
// contents differ when their hashes do, whatever the file's size and times
// say.

#include <filesystem>
#include <optional>
#include <string>

namespace presenze {

// Nullopt when the file cannot be opened or read (a missing "-wal").
std::optional<std::string> contentHash(const std::filesystem::path& file);

} // namespace presenze
