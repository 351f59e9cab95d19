#include "output/Deflater.h"

#include "data/DataError.h"

#include <limits>
#include <zlib.h>

namespace presenze {

struct Deflater::Stream {
    z_stream z{};
};

namespace {

constexpr std::size_t kBufferBytes = 256 * 1024;

[[noreturn]] void fail()
{
    throw DataError("Errore nella compressione della cartella di lavoro");
}

} // namespace

Deflater::Deflater(int level) : m_stream(std::make_unique<Stream>()), m_buffer(kBufferBytes)
{
    // Negative window bits: raw deflate, as ZIP entries hold it.
    if (deflateInit2(&m_stream->z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        fail();
    m_crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
}

Deflater::~Deflater()
{
    deflateEnd(&m_stream->z);
}

void Deflater::write(std::string_view bytes, ByteSink& out)
{
    while (!bytes.empty()) {
        // zlib counts in 32 bits.
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

void Deflater::reset()
{
    if (deflateReset(&m_stream->z) != Z_OK)
        fail();
    m_crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    m_in = 0;
    m_out = 0;
}

void Deflater::run(std::string_view bytes, bool last, ByteSink& out)
{
    z_stream& z = m_stream->z;
    const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
    const auto size = static_cast<uInt>(bytes.size());
    // A null buffer would make crc32 start again.
    if (size > 0)
        m_crc = static_cast<std::uint32_t>(crc32(m_crc, data, size));
    m_in += size;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = size;
    int status = Z_OK;
    do {
        z.next_out = m_buffer.data();
        z.avail_out = static_cast<uInt>(m_buffer.size());
        status = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (status == Z_STREAM_ERROR)
            fail();
        const std::size_t made = m_buffer.size() - z.avail_out;
        if (made > 0) {
            out.write({reinterpret_cast<const char*>(m_buffer.data()), made});
            m_out += made;
        }
    } while (z.avail_out == 0 || (last && status != Z_STREAM_END));
}

} // namespace presenze
