#pragma once
// Small helpers shared by the fuzz targets: a private scratch folder, files
// written into it, and the way a target reports a broken promise (abort, so
// that libFuzzer keeps the input).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace presenze::fuzz {

// A folder of this process under the temporary folder, made on first use.
const std::filesystem::path& scratchFolder();

void writeBytes(const std::filesystem::path& file, std::string_view bytes);

// Prints what went wrong and aborts.
[[noreturn]] void broken(std::string_view what);

inline std::string_view asText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace presenze::fuzz
