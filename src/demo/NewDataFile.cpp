#include "demo/NewDataFile.h"

#include "data/DataFolder.h"

namespace presenze::demo {
namespace fs = std::filesystem;

NewDataFile::NewDataFile(const fs::path& dir, std::string_view name)
    : m_file(DataFolder(dir).target(name)),
      m_db(std::in_place, m_file.path(), Database::Mode::Create)
{
    // The file is private until renamed: no journal needed.
    m_db->exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
}

void NewDataFile::finish()
{
    m_db.reset();
    m_file.commit();
}

void writeTextFile(const fs::path& dir, std::string_view name, std::string_view bytes)
{
    writeFileAtomically(DataFolder(dir).target(name), bytes);
}

} // namespace presenze::demo
