#include "data/PrivateFolder.h"

#include "data/DataError.h"
#include "data/DataFolder.h"

#include <cstdlib>
#include <string>

namespace presenze {
namespace fs = std::filesystem;

PrivateFolder::PrivateFolder()
{
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec)
        base = "/tmp";
    // mkdtemp makes the folder with mode 0700.
    std::string pattern = (base / "presenze-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw DataError("Impossibile creare una cartella di lavoro privata in " +
                        displayName(base));
    m_path = pattern;
}

PrivateFolder::~PrivateFolder()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

} // namespace presenze
