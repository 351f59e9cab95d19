#include "output/Deflater.h"

#include "data/DataError.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <limits>

namespace presenze {

struct Deflater::Stream {
    isal_zstream z{};
    std::vector<std::uint8_t> levelBuffer;
};

namespace {

constexpr std::size_t kBufferBytes = 256 * 1024;

[[noreturn]] void fail()
{
    throw DataError("Errore nella compressione della cartella di lavoro");
}

} // namespace

Deflater::Deflater() : m_stream(std::make_unique<Stream>()), m_buffer(kBufferBytes)
{
    reset();
}

Deflater::~Deflater() = default;

void Deflater::reset()
{
    Stream& s = *m_stream;
    isal_deflate_init(&s.z);
    s.levelBuffer.resize(ISAL_DEF_LVL1_DEFAULT);
    s.z.level = 1;
    s.z.level_buf = s.levelBuffer.data();
    s.z.level_buf_size = static_cast<std::uint32_t>(s.levelBuffer.size());
    s.z.gzip_flag = IGZIP_DEFLATE; // raw deflate, as ZIP entries hold it
    s.z.flush = NO_FLUSH;
    m_crc = 0;
    m_in = 0;
    m_out = 0;
}

void Deflater::write(std::string_view bytes, ByteSink& out)
{
    while (!bytes.empty()) {
        // The library counts in 32 bits.
        const std::size_t piece =
            std::min<std::size_t>(bytes.size(), std::numeric_limits<std::uint32_t>::max() / 2);
        run(bytes.substr(0, piece), false, out);
        bytes.remove_prefix(piece);
    }
}

void Deflater::finish(ByteSink& out)
{
    run({}, true, out);
}

void Deflater::run(std::string_view bytes, bool last, ByteSink& out)
{
    isal_zstream& z = m_stream->z;
    auto* data = reinterpret_cast<std::uint8_t*>(const_cast<char*>(bytes.data()));
    const auto size = static_cast<std::uint32_t>(bytes.size());
    if (size > 0)
        m_crc = crc32_gzip_refl(m_crc, data, size);
    m_in += size;
    z.next_in = data;
    z.avail_in = size;
    z.end_of_stream = last ? 1 : 0;
    do {
        z.next_out = m_buffer.data();
        z.avail_out = static_cast<std::uint32_t>(m_buffer.size());
        if (isal_deflate(&z) != COMP_OK)
            fail();
        const std::size_t made = m_buffer.size() - z.avail_out;
        if (made > 0) {
            out.write({reinterpret_cast<const char*>(m_buffer.data()), made});
            m_out += made;
        }
    } while (z.avail_in > 0 || z.avail_out == 0 || (last && z.internal_state.state != ZSTATE_END));
}

} // namespace presenze
