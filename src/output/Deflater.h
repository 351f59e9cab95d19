#pragma once
// Raw deflate (RFC 1951, no zlib header) of a stream of bytes, as the
// entries of a ZIP file hold them, with the CRC-32 of what went in. ISA-L's
// deflate at its fastest level (see README, "For developers": three times
// zlib's fastest level on a workbook's XML, for 1% more bytes).
//
//   Deflater deflater;
//   deflater.write(xml, sink);   // as often as needed
//   deflater.finish(sink);       // then deflater.crc(), inSize(), outSize()
//   deflater.reset();            // the next entry

#include "data/AtomicFile.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace presenze {

class Deflater {
public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Compresses `bytes`, handing what comes out to `out`.
    void write(std::string_view bytes, ByteSink& out);
    // Ends the stream, handing the rest to `out`.
    void finish(ByteSink& out);
    // Ready for a new stream.
    void reset();

    std::uint32_t crc() const { return m_crc; }
    std::uint64_t inSize() const { return m_in; }
    std::uint64_t outSize() const { return m_out; }

private:
    void run(std::string_view bytes, bool last, ByteSink& out);

    struct Stream;
    std::unique_ptr<Stream> m_stream;
    std::vector<std::uint8_t> m_buffer;
    std::uint32_t m_crc = 0;
    std::uint64_t m_in = 0;
    std::uint64_t m_out = 0;
};

} // namespace presenze
