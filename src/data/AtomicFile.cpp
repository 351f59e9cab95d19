#include "data/AtomicFile.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/Text1252.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace presenze {
namespace fs = std::filesystem;
namespace {

// Reports run to tens of megabytes: fewer, larger writes.
constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kNameAttempts = 100;

// Six letters or digits that make the temporary name unique.
std::string uniqueSuffix()
{
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string suffix(6, ' ');
    for (char& c : suffix)
        c = kChars[pick(random)];
    return suffix;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// fsync of the file under its name: the writer that had it by path may have
// made a new file there.
bool syncPath(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// The rename itself reaches the disk only with its folder. Some file systems
// refuse fsync on a folder; the file is in place all the same.
void syncFolder(const fs::path& folder)
{
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(fs::path target, FileAccess access) : m_target(std::move(target))
{
    const mode_t mode = access == FileAccess::Private ? 0600 : 0666;
    const fs::path folder = m_target.parent_path();
    const std::string stem = "." + m_target.filename().string() + ".tmp-";
    for (int attempt = 0; attempt < kNameAttempts && m_fd < 0; ++attempt) {
        const fs::path candidate = folder / (stem + uniqueSuffix());
        m_fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd >= 0)
            m_temp = candidate;
        else if (errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        fail("Impossibile creare il file", errno);
    m_buffer.reserve(kBufferSize);
}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_temp.empty())
        ::unlink(m_temp.c_str());
}

void AtomicFile::write(std::string_view bytes)
{
    if (m_fd < 0)
        fail("Errore di scrittura", EBADF);
    if (m_buffer.size() + bytes.size() > kBufferSize)
        flushBuffer();
    if (bytes.size() >= kBufferSize) {
        if (!writeAll(m_fd, bytes))
            fail("Errore di scrittura", errno);
        return;
    }
    m_buffer.append(bytes);
}

void AtomicFile::flushBuffer()
{
    if (!writeAll(m_fd, m_buffer))
        fail("Errore di scrittura", errno);
    m_buffer.clear();
}

void AtomicFile::closeFile()
{
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail("Errore di scrittura", errno);
}

void AtomicFile::commit()
{
    if (m_fd < 0)
        fail("Errore di scrittura", EBADF);
    flushBuffer();
    closeFile();
    if (!syncPath(m_temp))
        fail("Errore di scrittura", errno);
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
        fail("Impossibile sostituire il file", errno);
    m_committed = true;
    syncFolder(m_target.parent_path());
}

void AtomicFile::fail(const std::string& what, int error) const
{
    throw DataError(what + ": " + utf8ToCp1252(std::strerror(error)), displayName(m_target));
}

void writeFileAtomically(const fs::path& target, std::string_view content, FileAccess access)
{
    AtomicFile file(target, access);
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
