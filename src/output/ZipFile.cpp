#include "output/ZipFile.h"

#include "data/DataError.h"

#include <limits>
#include <stdexcept>

namespace presenze {
namespace {

constexpr std::uint16_t kVersion = 20;       // 2.0: deflate
constexpr std::uint16_t kDescriptorFlag = 8; // CRC and sizes follow the data
constexpr std::uint16_t kUtf8Flag = 0x800;   // names in UTF-8
constexpr std::uint16_t kDeflated = 8;
// 1 January 1980 00:00, MS-DOS time: the file's content never depends on
// the clock.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;

void put16(std::string& out, std::uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::uint32_t fits32(std::uint64_t value)
{
    if (value > std::numeric_limits<std::uint32_t>::max())
        throw DataError("La cartella di lavoro supera i 4 GB di un file ZIP");
    return static_cast<std::uint32_t>(value);
}

} // namespace

void ZipFile::CountingSink::write(std::string_view bytes)
{
    m_out.write(bytes);
    m_written += bytes.size();
}

ZipFile::ZipFile(ByteSink& out) : m_out(out) {}

std::uint32_t ZipFile::offset32() const
{
    return fits32(m_out.written());
}

void ZipFile::beginEntry(std::string name)
{
    if (m_open)
        throw std::logic_error("ZipFile: entry already open");
    Entry& entry = m_entries.emplace_back();
    entry.name = std::move(name);
    entry.offset = offset32();
    std::string header;
    put32(header, 0x04034b50);
    put16(header, kVersion);
    put16(header, kDescriptorFlag | kUtf8Flag);
    put16(header, kDeflated);
    put16(header, kDosTime);
    put16(header, kDosDate);
    put32(header, 0); // CRC and sizes: in the descriptor
    put32(header, 0);
    put32(header, 0);
    put16(header, static_cast<std::uint32_t>(entry.name.size()));
    put16(header, 0);
    header += entry.name;
    m_out.write(header);
    m_deflater.reset();
    m_open = true;
}

void ZipFile::write(std::string_view bytes)
{
    m_deflater.write(bytes, m_out);
}

void ZipFile::endEntry()
{
    m_deflater.finish(m_out);
    Entry& entry = m_entries.back();
    entry.crc = m_deflater.crc();
    entry.packed = fits32(m_deflater.outSize());
    entry.size = fits32(m_deflater.inSize());
    std::string descriptor;
    put32(descriptor, 0x08074b50);
    put32(descriptor, entry.crc);
    put32(descriptor, entry.packed);
    put32(descriptor, entry.size);
    m_out.write(descriptor);
    m_open = false;
}

void ZipFile::add(std::string name, std::string_view bytes)
{
    beginEntry(std::move(name));
    write(bytes);
    endEntry();
}

void ZipFile::close()
{
    if (m_open)
        endEntry();
    const std::uint32_t start = offset32();
    std::string directory;
    for (const Entry& e : m_entries) {
        put32(directory, 0x02014b50);
        put16(directory, kVersion); // made by: MS-DOS, 2.0
        put16(directory, kVersion);
        put16(directory, kDescriptorFlag | kUtf8Flag);
        put16(directory, kDeflated);
        put16(directory, kDosTime);
        put16(directory, kDosDate);
        put32(directory, e.crc);
        put32(directory, e.packed);
        put32(directory, e.size);
        put16(directory, static_cast<std::uint32_t>(e.name.size()));
        put16(directory, 0); // extra field
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, e.offset);
        directory += e.name;
    }
    const auto size = fits32(directory.size());
    put32(directory, 0x06054b50);
    put16(directory, 0);
    put16(directory, 0);
    if (m_entries.size() > 0xFFFF)
        throw DataError("La cartella di lavoro ha troppi fogli");
    put16(directory, static_cast<std::uint32_t>(m_entries.size()));
    put16(directory, static_cast<std::uint32_t>(m_entries.size()));
    put32(directory, size);
    put32(directory, start);
    put16(directory, 0);
    m_out.write(directory);
}

} // namespace presenze
