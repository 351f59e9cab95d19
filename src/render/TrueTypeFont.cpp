#include "render/TrueTypeFont.h"

#include <QString>
#include <algorithm>
#include <array>
#include <map>

namespace presenze {
namespace {

constexpr std::uint16_t kNotLookedUp = 0xFFFF;
constexpr std::size_t kBmpSize = 0x10000;

// The composite glyph flags that size a component's record.
constexpr std::uint16_t kArgsAreWords = 0x0001;
constexpr std::uint16_t kHasScale = 0x0008;
constexpr std::uint16_t kMoreComponents = 0x0020;
constexpr std::uint16_t kHasXYScale = 0x0040;
constexpr std::uint16_t kHasTwoByTwo = 0x0080;

std::uint32_t u16(const std::string& data, std::size_t at)
{
    if (at + 2 > data.size())
        return 0;
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) << 8) |
           static_cast<unsigned char>(data[at + 1]);
}

int s16(const std::string& data, std::size_t at)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(u16(data, at)));
}

std::uint32_t u32(const std::string& data, std::size_t at)
{
    return (u16(data, at) << 16) | u16(data, at + 2);
}

void put16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, value >> 16);
    put16(out, value & 0xFFFF);
}

void set32(std::string& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

std::uint32_t checksum(const std::string& data)
{
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < data.size(); at += 4) {
        std::uint32_t word = 0;
        for (std::size_t i = 0; i < 4; ++i)
            word =
                (word << 8) | (at + i < data.size() ? static_cast<unsigned char>(data[at + i]) : 0);
        sum += word;
    }
    return sum;
}

std::string table(const QRawFont& font, const char* tag)
{
    const QByteArray data = font.fontTable(tag);
    return {data.constData(), static_cast<std::size_t>(data.size())};
}

// Letters and digits of a name, as a PDF font name wants them.
std::string plainName(const QString& text)
{
    std::string out;
    for (const QChar c : text)
        if (c.unicode() < 128 && c.isLetterOrNumber())
            out += static_cast<char>(c.unicode());
    return out;
}

// The font file of tables, in the order of their tags.
std::string sfnt(const std::map<std::string, std::string>& tables)
{
    const auto count = static_cast<std::uint32_t>(tables.size());
    std::uint32_t power = 1;
    std::uint32_t log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    std::string out;
    put32(out, 0x00010000);
    put16(out, count);
    put16(out, power * 16);
    put16(out, log);
    put16(out, count * 16 - power * 16);
    std::uint32_t offset = 12 + 16 * count;
    std::size_t headAt = 0;
    for (const auto& [tag, data] : tables) {
        out += tag;
        put32(out, checksum(data));
        put32(out, offset);
        put32(out, static_cast<std::uint32_t>(data.size()));
        if (tag == "head")
            headAt = offset;
        offset += static_cast<std::uint32_t>((data.size() + 3) & ~std::size_t{3});
    }
    for (const auto& entry : tables) {
        out += entry.second;
        out.append((4 - entry.second.size() % 4) % 4, '\0');
    }
    set32(out, headAt + 8, 0xB1B0AFBA - checksum(out));
    return out;
}

} // namespace

TrueTypeFont::TrueTypeFont(const QRawFont& font) : m_font(font), m_bmpGlyphs(kBmpSize, kNotLookedUp)
{
    if (!font.isValid())
        return;
    m_head = table(font, "head");
    m_hhea = table(font, "hhea");
    m_maxp = table(font, "maxp");
    m_hmtx = table(font, "hmtx");
    m_loca = table(font, "loca");
    m_glyf = table(font, "glyf");
    m_cvt = table(font, "cvt ");
    m_fpgm = table(font, "fpgm");
    m_prep = table(font, "prep");
    if (m_head.size() < 54 || m_hhea.size() < 36 || m_maxp.size() < 6 || m_loca.empty() ||
        m_glyf.empty())
        return;
    m_unitsPerEm = std::max<int>(16, static_cast<int>(u16(m_head, 18)));
    for (int i = 0; i < 4; ++i)
        m_box[i] = s16(m_head, 36 + 2 * static_cast<std::size_t>(i));
    m_longOffsets = s16(m_head, 50) == 1;
    m_glyphCount = u16(m_maxp, 4);
    m_ascent = s16(m_hhea, 4);
    m_descent = s16(m_hhea, 6);
    m_metricCount = u16(m_hhea, 34);
    const std::string os2 = table(font, "OS/2");
    m_capHeight = os2.size() >= 90 && u16(os2, 0) >= 2 ? s16(os2, 88) : m_ascent;
    const std::size_t locaNeeded = (m_glyphCount + 1) * (m_longOffsets ? 4 : 2);
    m_name = plainName(font.familyName()) + "-" + plainName(font.styleName());
    m_valid = m_metricCount > 0 && m_loca.size() >= locaNeeded &&
              m_hmtx.size() >= static_cast<std::size_t>(m_metricCount) * 4;
}

std::uint16_t TrueTypeFont::glyph(char32_t c)
{
    std::uint16_t* slot = nullptr;
    if (c < kBmpSize) {
        slot = &m_bmpGlyphs[c];
        if (*slot != kNotLookedUp)
            return *slot;
    } else if (const auto found = m_otherGlyphs.find(c); found != m_otherGlyphs.end()) {
        return found->second;
    }
    const auto glyphs = m_font.glyphIndexesForString(QString::fromUcs4(&c, 1));
    const quint32 index = glyphs.size() == 1 ? glyphs.front() : 0;
    const auto g = static_cast<std::uint16_t>(index < m_glyphCount ? index : 0);
    if (slot)
        *slot = g;
    else
        m_otherGlyphs.emplace(c, g);
    m_used.insert(g);
    return g;
}

double TrueTypeFont::width(std::uint16_t glyph) const
{
    const std::uint32_t entry = std::min<std::uint32_t>(glyph, m_metricCount - 1);
    return scaled(static_cast<int>(u16(m_hmtx, entry * 4)));
}

std::vector<double> TrueTypeFont::boundingBox() const
{
    return {scaled(m_box[0]), scaled(m_box[1]), scaled(m_box[2]), scaled(m_box[3])};
}

std::uint32_t TrueTypeFont::glyphOffset(std::uint32_t glyph) const
{
    const auto offset = m_longOffsets ? u32(m_loca, glyph * 4) : u16(m_loca, glyph * 2) * 2;
    return std::min<std::uint32_t>(offset, static_cast<std::uint32_t>(m_glyf.size()));
}

void TrueTypeFont::addWithComponents(std::uint32_t glyph, std::vector<bool>& keep) const
{
    if (glyph >= m_glyphCount || keep[glyph])
        return;
    keep[glyph] = true;
    const std::uint32_t begin = glyphOffset(glyph);
    const std::uint32_t end = glyphOffset(glyph + 1);
    if (end < begin + 10 || s16(m_glyf, begin) >= 0)
        return;
    // A composite glyph: its components' outlines go too.
    std::size_t at = begin + 10;
    for (std::uint16_t flags = kMoreComponents; (flags & kMoreComponents) && at + 4 <= end;) {
        flags = static_cast<std::uint16_t>(u16(m_glyf, at));
        addWithComponents(u16(m_glyf, at + 2), keep);
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHasScale)
            at += 2;
        else if (flags & kHasXYScale)
            at += 4;
        else if (flags & kHasTwoByTwo)
            at += 8;
    }
}

std::string TrueTypeFont::subset() const
{
    std::vector<bool> keep(m_glyphCount, false);
    addWithComponents(0, keep);
    for (const std::uint16_t g : m_used)
        addWithComponents(g, keep);

    std::string glyf;
    std::string loca;
    for (std::uint32_t g = 0; g < m_glyphCount; ++g) {
        put32(loca, static_cast<std::uint32_t>(glyf.size()));
        if (!keep[g])
            continue;
        const std::uint32_t begin = glyphOffset(g);
        const std::uint32_t end = std::max(begin, glyphOffset(g + 1));
        glyf.append(m_glyf, begin, end - begin);
        glyf.append((4 - glyf.size() % 4) % 4, '\0');
    }
    put32(loca, static_cast<std::uint32_t>(glyf.size()));

    std::string head = m_head;
    set32(head, 8, 0);
    head[50] = 0;
    head[51] = 1; // long offsets
    std::map<std::string, std::string> tables = {{"glyf", glyf},   {"head", head},
                                                 {"hhea", m_hhea}, {"hmtx", m_hmtx},
                                                 {"loca", loca},   {"maxp", m_maxp}};
    for (const auto& [tag, data] : std::array<std::pair<const char*, const std::string*>, 3>{
             {{"cvt ", &m_cvt}, {"fpgm", &m_fpgm}, {"prep", &m_prep}}})
        if (!data->empty())
            tables.emplace(tag, *data);
    return sfnt(tables);
}

} // namespace presenze
