#include "data/AtomicFile.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/SystemErrors.h"
#include "data/Text1252.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace presenze {
namespace fs = std::filesystem;
namespace {

// Reports run to tens of megabytes: fewer, larger writes.
constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kNameAttempts = 100;
// "name-2.ext" up to "name-999.ext".
constexpr int kMostNumbered = 999;

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

// What lies at the target, when it may not be replaced.
const char* notAFile(const fs::path& target)
{
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))
        return nullptr;
    if (S_ISDIR(st.st_mode))
        return "\xE8 una cartella";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return "\xE8 un dispositivo";
    if (S_ISFIFO(st.st_mode))
        return "\xE8 una pipe con nome (FIFO)";
    if (S_ISSOCK(st.st_mode))
        return "\xE8 un socket";
    return "non \xE8 un file";
}

// "name-N.ext" beside the target ("name-N" without an extension).
fs::path numbered(const fs::path& target, int number)
{
    if (number == 1)
        return target;
    const std::string name = target.filename().string();
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = stem.size() == name.size() ? std::string() : name.substr(dot);
    return target.parent_path() / (stem + "-" + std::to_string(number) + extension);
}

// Gives the file the new name unless one is there. False when it is taken;
// raises the error number otherwise.
bool claimName(const fs::path& from, const fs::path& to, int& error)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS) {
        error = errno;
        return false;
    }
    // A file system without the flag: a hard link claims the name just as well.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno != EEXIST)
        error = errno;
    return false;
}

} // namespace

void checkReplaceable(const fs::path& target)
{
    if (const char* what = notAFile(target))
        throw DataError("Impossibile sostituire il file: " + std::string(what),
                        displayName(target));
}

AtomicFile::AtomicFile(fs::path target, FileAccess access) : m_target(std::move(target))
{
    checkReplaceable(m_target);
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

void AtomicFile::syncTemp()
{
    if (m_fd < 0)
        fail("Errore di scrittura", EBADF);
    flushBuffer();
    closeFile();
    if (!syncPath(m_temp))
        fail("Errore di scrittura", errno);
}

void AtomicFile::commit(Rename rename)
{
    syncTemp();
    // Whatever may have been put there since the file was begun.
    checkReplaceable(m_target);
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
        fail("Impossibile sostituire il file", errno);
    m_committed = true;
    if (rename == Rename::Durable)
        syncFolder(m_target.parent_path());
}

fs::path AtomicFile::commitAsNew()
{
    syncTemp();
    for (int number = 1; number <= kMostNumbered; ++number) {
        const fs::path name = numbered(m_target, number);
        int error = 0;
        if (claimName(m_temp, name, error)) {
            m_committed = true;
            syncFolder(m_target.parent_path());
            return name;
        }
        if (error != 0)
            fail("Impossibile scrivere il file", error);
    }
    fail("Impossibile scrivere il file", EEXIST);
}

void AtomicFile::fail(const std::string& what, int error) const
{
    throw DataError(what + ": " + systemErrorText(error), displayName(m_target));
}

void writeFileAtomically(const fs::path& target, std::string_view content, FileAccess access)
{
    AtomicFile file(target, access);
    file.write(content);
    file.commit();
}

} // namespace presenze
