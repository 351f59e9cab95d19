#include "data/InputFile.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/SystemErrors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace presenze {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void refuse(const fs::path& file, const std::string& reason)
{
    throw DataError("Impossibile leggere il file: " + reason, displayName(file));
}

} // namespace

InputFile::InputFile(fs::path file, Links links) : m_path(std::move(file))
{
    // Without blocking: a named pipe put in the file's place must not stop
    // the program before it is refused.
    int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    m_fd = ::open(m_path.c_str(), flags);
    if (m_fd < 0) {
        if (errno == ELOOP && links == Links::Refuse)
            refuse(m_path, "\xE8 un collegamento simbolico, e un file della postazione non si "
                           "legge attraverso un collegamento");
        refuse(m_path, systemErrorText(errno));
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        const int error = errno;
        ::close(m_fd);
        refuse(m_path, systemErrorText(error));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(m_fd);
        refuse(m_path, S_ISDIR(st.st_mode) ? "\xE8 una cartella" : "non \xE8 un file normale");
    }
    ::fcntl(m_fd, F_SETFL, O_RDONLY);
    m_size = static_cast<std::uint64_t>(st.st_size);
}

InputFile::~InputFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

InputFile::InputFile(InputFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size)
{}

InputFile& InputFile::operator=(InputFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
    }
    return *this;
}

std::size_t InputFile::read(char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            failRead(errno);
    }
}

std::size_t InputFile::readAt(std::uint64_t offset, char* buffer, std::size_t size) const
{
    for (;;) {
        const ssize_t n = ::pread(m_fd, buffer, size, static_cast<off_t>(offset));
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            failRead(errno);
    }
}

void InputFile::failRead(int error) const
{
    throw DataError("Errore di lettura: " + systemErrorText(error), displayName(m_path));
}

} // namespace presenze
