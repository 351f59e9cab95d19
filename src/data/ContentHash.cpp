#include "data/ContentHash.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <xxhash.h>

namespace presenze {

namespace {

std::string hex(std::uint64_t value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (int shift = 60; shift >= 0; shift -= 4)
        text += kHex[(value >> shift) & 0xF];
    return text;
}

class ReadOnly {
public:
    explicit ReadOnly(const std::filesystem::path& file)
        : m_fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK))
    {}
    ~ReadOnly()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<std::string> contentHash(const std::filesystem::path& file)
{
    const ReadOnly in(file);
    if (in.fd() < 0)
        return std::nullopt;
    const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                         XXH3_freeState);
    if (!state)
        return std::nullopt;
    XXH3_128bits_reset(state.get());
    // Below the allocator's threshold for a mapping of its own, and left
    // uninitialised: a new 1 MiB buffer cost every hash 256 page faults and
    // its clearing, more than hashing a small file.
    constexpr std::size_t kBuffer = 96 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kBuffer);
    for (;;) {
        const ssize_t n = ::read(in.fd(), buffer.get(), kBuffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        XXH3_128bits_update(state.get(), buffer.get(), static_cast<std::size_t>(n));
    }
    const XXH128_hash_t hash = XXH3_128bits_digest(state.get());
    return hex(hash.high64) + hex(hash.low64);
}

} // namespace presenze
