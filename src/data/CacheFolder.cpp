#include "data/CacheFolder.h"

#include "data/DataFolder.h"
#include "data/ProtectedFiles.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace presenze {
namespace fs = std::filesystem;

namespace {

const char* environment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

} // namespace

fs::path namedCacheFolder()
{
    if (const char* dir = environment("PRESENZE_CACHE_DIR"))
        return dir;
    if (const char* xdg = environment("XDG_CACHE_HOME"))
        return fs::path(xdg) / "presenze" / "jet";
    if (const char* home = environment("HOME"))
        return fs::path(home) / ".cache" / "presenze" / "jet";
    std::error_code ec;
    return fs::temp_directory_path(ec) / ("presenze-jet-" + std::to_string(::geteuid()));
}

namespace {

// Makes the missing folders of the path, from the outermost, each for the
// user alone; folders already there are left as they are.
bool makeMissing(const fs::path& folder)
{
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path p = fs::absolute(folder, ec); !p.empty() && !fs::exists(p, ec);
         p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0700) == 0)
            ::chmod(it->c_str(), 0700); // whatever the umask
        else if (errno != EEXIST)
            return false;
    }
    return true;
}

bool trusted(const fs::path& folder)
{
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

CacheFolderState checkCacheFolder(const fs::path& folder, const fs::path& dataFolder)
{
    if (liesInside(folder, dataFolder))
        return CacheFolderState::NotTrusted;
    if (!makeMissing(folder))
        return CacheFolderState::Unusable;
    return trusted(folder) ? CacheFolderState::Trusted : CacheFolderState::NotTrusted;
}

RunCacheFolder::RunCacheFolder(const fs::path& dataFolder)
{
    const fs::path named = namedCacheFolder();
    const CacheFolderState state = checkCacheFolder(named, dataFolder);
    if (state == CacheFolderState::Trusted)
        return;
    m_private.emplace();
    if (const char* before = std::getenv("PRESENZE_CACHE_DIR"))
        m_namedBefore = before;
    ::setenv("PRESENZE_CACHE_DIR", m_private->path().c_str(), 1);
    m_warning = "Cartella delle copie dei file Access " + displayName(named) +
                (state == CacheFolderState::Unusable
                     ? " impossibile da creare"
                     : " non sicura (di un altro utente, nella cartella dei dati, o altri "
                       "utenti possono scriverci)") +
                ": per questa esecuzione le copie stanno in " + displayName(m_private->path()) +
                ", rimossa alla fine";
}

RunCacheFolder::~RunCacheFolder()
{
    if (!m_private)
        return;
    if (m_namedBefore)
        ::setenv("PRESENZE_CACHE_DIR", m_namedBefore->c_str(), 1);
    else
        ::unsetenv("PRESENZE_CACHE_DIR");
}

} // namespace presenze
