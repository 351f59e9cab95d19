#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace presenze::fuzz {
namespace fs = std::filesystem;

const fs::path& scratchFolder()
{
    // Never destroyed, so that the clean-up at exit can still use it.
    static const fs::path& folder = *[] {
        auto* dir = new fs::path(fs::temp_directory_path() /
                                 ("presenze-fuzz-" + std::to_string(::getpid())));
        fs::create_directories(*dir);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(scratchFolder(), ec);
        });
        return dir;
    }();
    return folder;
}

void writeBytes(const fs::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        broken("cannot write " + file.string());
}

void broken(std::string_view what)
{
    std::fprintf(stderr, "fuzz target: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

} // namespace presenze::fuzz
