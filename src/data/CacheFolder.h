#pragma once
// The folder of the Access copies: $PRESENZE_CACHE_DIR, else
// $XDG_CACHE_HOME/presenze/jet, else ~/.cache/presenze/jet, else
// presenze-jet-<uid> in the system's temporary folder.
//
// A copy found there is read as the hotels' data, so only a folder that
// belongs to the user and that no other user may write in is trusted: in
// any other a copy could have been forged. The data folder, or a folder
// inside it, is never one: the copies would lie among the hotel files.
// Folders that are missing are made for the user alone (mode 0700); a
// folder that is there already keeps its mode, whoever made it (a shared
// folder, the data folder itself).

#include "data/PrivateFolder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace presenze {

// The folder named for the copies.
std::filesystem::path namedCacheFolder();

enum class CacheFolderState { Trusted, Unusable, NotTrusted };
// Makes the named folder when it is missing and tells whether it is trusted;
// one in the data folder is not trusted, and nothing is made there.
CacheFolderState checkCacheFolder(const std::filesystem::path& folder,
                                  const std::filesystem::path& dataFolder);

// The copies of one run of a program. When the named folder is not trusted,
// the run keeps its copies in a private folder of its own (in the system's
// temporary folder, mode 0700), named in $PRESENZE_CACHE_DIR for the rest of
// the run and removed with the object. Made at the start of main(), before
// any thread.
class RunCacheFolder {
public:
    explicit RunCacheFolder(const std::filesystem::path& dataFolder);
    ~RunCacheFolder();
    RunCacheFolder(const RunCacheFolder&) = delete;
    RunCacheFolder& operator=(const RunCacheFolder&) = delete;

    // The warning to show once: empty when the named folder is used.
    const std::string& warning() const { return m_warning; }

private:
    std::optional<PrivateFolder> m_private;
    std::optional<std::string> m_namedBefore; // $PRESENZE_CACHE_DIR as it was
    std::string m_warning;
};

} // namespace presenze
