#include "data/AtomicFile.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace presenze {
namespace fs = std::filesystem;

AtomicFile::AtomicFile(fs::path target) : m_target(std::move(target))
{
    std::string pattern =
        (m_target.parent_path() / ("." + m_target.filename().string() + ".tmp-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        fail("Impossibile creare il file");
    m_temp = pattern;
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        ::close(fd);
        std::error_code ec;
        fs::remove(m_temp, ec);
        fail("Impossibile creare il file");
    }
    // Reports run to tens of megabytes: fewer, larger writes.
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
}

AtomicFile::~AtomicFile()
{
    if (m_file)
        std::fclose(m_file);
    if (!m_committed && !m_temp.empty()) {
        std::error_code ec;
        fs::remove(m_temp, ec);
    }
}

void AtomicFile::write(std::string_view bytes)
{
    if (!m_file)
        fail("Errore di scrittura");
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        fail("Errore di scrittura");
}

void AtomicFile::commit()
{
    if (!m_file)
        fail("Errore di scrittura");
    const bool flushed = std::fflush(m_file) == 0 && ::fsync(::fileno(m_file)) == 0;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(::fileno(m_file), 0666 & ~mask);
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!flushed || !closed)
        fail("Errore di scrittura");
    std::error_code ec;
    fs::rename(m_temp, m_target, ec);
    if (ec)
        fail("Impossibile sostituire il file (" + utf8ToCp1252(ec.message()) + ")");
    m_committed = true;
}

void AtomicFile::fail(const std::string& what) const
{
    std::string reason = utf8ToCp1252(std::strerror(errno));
    throw DataError(what + ": " + reason, displayName(m_target));
}

void writeFileAtomically(const fs::path& target, std::string_view content)
{
    AtomicFile file(target);
    file.write(content);
    file.commit();
}

std::string readWholeFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw DataError("Impossibile leggere il file", displayName(file));
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw DataError("Errore di lettura", displayName(file));
    return content;
}

} // namespace presenze
