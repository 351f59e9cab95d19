#pragma once
// A folder of the program's own in the system's temporary folder, readable
// by this user alone (mode 0700) and removed with its content when the
// object goes: the private copy of a data file that cannot be read where it
// lies, and the Access copies of a run whose cache folder is not trusted.

#include <filesystem>

namespace presenze {

class PrivateFolder {
public:
    // Raises DataError when the folder cannot be made.
    PrivateFolder();
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace presenze
