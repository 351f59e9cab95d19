#include "data/DataFolder.h"

#include "data/DataError.h"
#include "data/Text1252.h"

#include <system_error>

namespace presenze {
namespace fs = std::filesystem;

DataFolder::DataFolder(fs::path dir) : m_dir(std::move(dir)) {}

std::optional<fs::path> DataFolder::find(std::string_view name) const
{
    std::error_code ec;
    const fs::path exact = m_dir / fs::path(cp1252ToUtf8(name));
    if (fs::is_regular_file(exact, ec))
        return exact;
    const std::string wanted = upperCp1252(name);
    for (fs::directory_iterator it(m_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (upperCp1252(utf8ToCp1252(candidate)) == wanted && it->is_regular_file(ec))
            return it->path();
    }
    return std::nullopt;
}

fs::path DataFolder::locate(std::string_view name) const
{
    if (auto found = find(name))
        return *found;
    throw DataError("File non trovato nella cartella dei dati " + displayName(m_dir),
                    std::string(name));
}

fs::path DataFolder::target(std::string_view name) const
{
    if (auto found = find(name))
        return *found;
    return m_dir / fs::path(cp1252ToUtf8(name));
}

std::vector<std::string> DataFolder::namesEndingWith(std::string_view suffix) const
{
    std::vector<std::string> names;
    const std::string tail = upperCp1252(suffix);
    std::error_code ec;
    for (fs::directory_iterator it(m_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = utf8ToCp1252(it->path().filename().string());
        const std::string folded = upperCp1252(name);
        if (folded.size() >= tail.size() &&
            folded.compare(folded.size() - tail.size(), tail.size(), tail) == 0)
            names.push_back(name);
    }
    return names;
}

std::string displayName(const fs::path& path)
{
    return utf8ToCp1252(path.string());
}

} // namespace presenze
