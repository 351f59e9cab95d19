#include "render/PdfDocument.h"

#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/SystemErrors.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <map>
#include <zlib.h>

namespace presenze {
namespace {

constexpr int kCatalog = 1;
constexpr int kPageTree = 2;
constexpr int kResources = 3;
constexpr int kInfo = 4;
constexpr int kFirstFree = 5;
// Objects a font takes: the Type0 font, its CID font, descriptor, file,
// ToUnicode map and the map of its bytes to glyphs.
constexpr int kFontObjects = 6;
// The fastest compression: the page content is long and very repetitive, so
// the stronger levels cost much time for a little less size.
constexpr int kDeflateLevel = Z_BEST_SPEED;
constexpr std::size_t kCMapChunk = 100;

void appendNumber(std::string& out, double value)
{
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    char* end = result.ptr;
    while (end > buffer && end[-1] == '0')
        --end;
    if (end > buffer && end[-1] == '.')
        --end;
    if (end == buffer || (end - buffer == 2 && buffer[0] == '-' && buffer[1] == '0'))
        out += '0';
    else
        out.append(buffer, end);
}

std::string number(double value)
{
    std::string out;
    appendNumber(out, value);
    return out;
}

std::string hex16(std::uint32_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4)
        out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return out;
}

// UTF-16BE as hexadecimal digits.
std::string utf16Hex(const QString& text)
{
    std::string out;
    for (const QChar c : text)
        out += hex16(c.unicode());
    return out;
}

std::string hex8(unsigned value)
{
    return hex16(value).substr(2);
}

// The bytes as a literal string; a carriage return is escaped, as a reader
// would take it for an end of line.
void appendLiteral(std::string& out, std::string_view text, std::array<bool, 256>& used)
{
    out += '(';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        used[byte] = true;
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    out += ')';
}

std::string deflated(const std::string& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                  kDeflateLevel) != Z_OK)
        throw DataError("Errore di compressione del file PDF");
    out.resize(size);
    return out;
}

// A CMap of single-byte codes: "bfchar" entries to characters (ToUnicode)
// or "cidchar" ones to glyphs (the font's encoding).
std::string byteCMap(const std::string& name, const std::string& ordering, int type,
                     const std::vector<std::pair<unsigned, std::string>>& entries,
                     const std::string& kind)
{
    std::string out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (" +
                      ordering + ") /Supplement 0 >> def\n/CMapName /" + name + " def\n/CMapType " +
                      std::to_string(type) +
                      " def\n1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    for (std::size_t at = 0; at < entries.size(); at += kCMapChunk) {
        const std::size_t count = std::min(kCMapChunk, entries.size() - at);
        out += std::to_string(count) + " begin" + kind + "\n";
        for (std::size_t i = at; i < at + count; ++i)
            out += '<' + hex8(entries[i].first) + "> " + entries[i].second + '\n';
        out += "end" + kind + "\n";
    }
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

} // namespace

PdfDocument::PdfDocument(const std::filesystem::path& file, PdfPageSize page, const QString& title)
    : m_path(file), m_page(page), m_title(title), m_offsets(kFirstFree, 0)
{
    m_out.open(file, std::ios::binary | std::ios::trunc);
    if (!m_out)
        throw DataError("Impossibile scrivere il file PDF: " + systemErrorText(errno),
                        displayName(file));
    // The binary comment tells transfer programs the file is not text.
    const std::string header = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    m_out.write(header.data(), static_cast<std::streamsize>(header.size()));
    m_written += header.size();
}

PdfDocument::~PdfDocument() = default;

int PdfDocument::addFont(std::unique_ptr<TrueTypeFont> font, const ByteCharacters& characters)
{
    m_fonts.push_back({std::move(font), characters, {}, reserve(kFontObjects)});
    return static_cast<int>(m_fonts.size()) - 1;
}

int PdfDocument::reserve(int count)
{
    const int first = static_cast<int>(m_offsets.size());
    m_offsets.resize(m_offsets.size() + static_cast<std::size_t>(count), 0);
    return first;
}

void PdfDocument::beginObject(int number)
{
    m_offsets[static_cast<std::size_t>(number)] = m_written;
    const std::string head = std::to_string(number) + " 0 obj\n";
    m_out.write(head.data(), static_cast<std::streamsize>(head.size()));
    m_written += head.size();
}

void PdfDocument::writeObject(int number, const std::string& body)
{
    beginObject(number);
    const std::string text = body + "\nendobj\n";
    m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
    m_written += text.size();
}

void PdfDocument::writeStream(int number, const std::string& data, const std::string& extra)
{
    const std::string packed = deflated(data);
    beginObject(number);
    const std::string head = "<< /Length " + std::to_string(packed.size()) +
                             " /Filter /FlateDecode" + extra + " >>\nstream\n";
    static constexpr std::string_view kTail = "\nendstream\nendobj\n";
    m_out.write(head.data(), static_cast<std::streamsize>(head.size()));
    m_out.write(packed.data(), static_cast<std::streamsize>(packed.size()));
    m_out.write(kTail.data(), static_cast<std::streamsize>(kTail.size()));
    m_written += head.size() + packed.size() + kTail.size();
    check();
}

void PdfDocument::beginPage()
{
    if (m_inPage)
        endPage();
    m_inPage = true;
    m_content = "BT\n";
    m_currentFont = -1;
}

void PdfDocument::showText(int font, double size, double x, double y, std::string_view text)
{
    if (!m_inPage)
        beginPage();
    if (font != m_currentFont || size != m_currentSize) {
        m_content += "/F" + std::to_string(font) + ' ';
        appendNumber(m_content, size);
        m_content += " Tf\n";
        m_currentFont = font;
        m_currentSize = size;
    }
    m_content += "1 0 0 1 ";
    appendNumber(m_content, x);
    m_content += ' ';
    appendNumber(m_content, m_page.height - y);
    m_content += " Tm ";
    appendLiteral(m_content, text, m_fonts[static_cast<std::size_t>(font)].used);
    m_content += " Tj\n";
}

void PdfDocument::endPage()
{
    m_content += "ET\n";
    const int content = reserve();
    writeStream(content, m_content);
    m_content.clear();
    const int page = reserve();
    writeObject(page, "<< /Type /Page /Parent " + std::to_string(kPageTree) +
                          " 0 R /MediaBox [0 0 " + number(m_page.width) + ' ' +
                          number(m_page.height) + "] /Resources " + std::to_string(kResources) +
                          " 0 R /Contents " + std::to_string(content) + " 0 R >>");
    m_pages.push_back(page);
    m_inPage = false;
}

void PdfDocument::writeFont(EmbeddedFont& embedded, int index)
{
    TrueTypeFont& font = *embedded.font;
    const int type0 = embedded.object;
    const int cidFont = type0 + 1;
    const int descriptor = type0 + 2;
    const int file = type0 + 3;
    const int toUnicode = type0 + 4;
    const int encoding = type0 + 5;
    // A subset's name begins with six capitals of its own.
    const std::string name =
        "PRZAA" + std::string(1, static_cast<char>('A' + index % 26)) + '+' + font.name();
    const std::string cmapName = "Presenze-Byte-" + std::to_string(index);

    std::vector<std::pair<unsigned, std::string>> glyphs;
    std::vector<std::pair<unsigned, std::string>> characters;
    std::map<std::uint16_t, double> widths;
    for (unsigned b = 0; b < embedded.used.size(); ++b) {
        if (!embedded.used[b])
            continue;
        const char32_t c = embedded.characters[b];
        const std::uint16_t g = font.glyph(c);
        glyphs.emplace_back(b, std::to_string(g));
        characters.emplace_back(b, '<' + utf16Hex(QString::fromUcs4(&c, 1)) + '>');
        widths.emplace(g, font.width(g));
    }
    std::string w;
    for (const auto& [g, width] : widths)
        w += std::to_string(g) + " [" + number(width) + "] ";

    writeObject(type0, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding " +
                           std::to_string(encoding) + " 0 R /DescendantFonts [" +
                           std::to_string(cidFont) + " 0 R] /ToUnicode " +
                           std::to_string(toUnicode) + " 0 R >>");
    writeObject(cidFont, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                             " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
                             "/Supplement 0 >> /FontDescriptor " +
                             std::to_string(descriptor) + " 0 R /CIDToGIDMap /Identity /DW " +
                             number(font.width(0)) + " /W [" + w + "] >>");
    std::string box;
    for (const double v : font.boundingBox())
        box += number(v) + ' ';
    writeObject(descriptor, "<< /Type /FontDescriptor /FontName /" + name +
                                " /Flags 5 /FontBBox [" + box + "] /ItalicAngle 0 /Ascent " +
                                number(font.ascent()) + " /Descent " + number(font.descent()) +
                                " /CapHeight " + number(font.capHeight()) +
                                " /StemV 80 /FontFile2 " + std::to_string(file) + " 0 R >>");
    const std::string data = font.subset();
    writeStream(file, data, " /Length1 " + std::to_string(data.size()));
    writeStream(toUnicode,
                byteCMap("Presenze-UCS-" + std::to_string(index), "UCS", 2, characters, "bfchar"));
    writeStream(encoding, byteCMap(cmapName, "Identity", 1, glyphs, "cidchar"),
                " /Type /CMap /CMapName /" + cmapName +
                    " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>");
}

void PdfDocument::finish()
{
    if (m_inPage || m_pages.empty())
        endPage();
    std::string fonts;
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        writeFont(m_fonts[i], static_cast<int>(i));
        fonts += "/F" + std::to_string(i) + ' ' + std::to_string(m_fonts[i].object) + " 0 R ";
    }
    writeObject(kResources, "<< /Font << " + fonts + ">> >>");
    std::string kids;
    for (const int page : m_pages)
        kids += std::to_string(page) + " 0 R ";
    writeObject(kPageTree, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                               std::to_string(m_pages.size()) + " >>");
    writeObject(kCatalog, "<< /Type /Catalog /Pages " + std::to_string(kPageTree) + " 0 R >>");
    writeObject(kInfo, "<< /Title <FEFF" + utf16Hex(m_title) +
                           "> /Creator (Presenze) /Producer (Presenze) >>");

    const std::uint64_t xref = m_written;
    std::string table = "xref\n0 " + std::to_string(m_offsets.size()) + "\n0000000000 65535 f \n";
    for (std::size_t i = 1; i < m_offsets.size(); ++i) {
        std::string offset = std::to_string(m_offsets[i]);
        table += std::string(10 - std::min<std::size_t>(10, offset.size()), '0') + offset +
                 " 00000 n \n";
    }
    table += "trailer\n<< /Size " + std::to_string(m_offsets.size()) + " /Root " +
             std::to_string(kCatalog) + " 0 R /Info " + std::to_string(kInfo) +
             " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    m_out.write(table.data(), static_cast<std::streamsize>(table.size()));
    m_out.close();
    check();
}

void PdfDocument::check()
{
    if (!m_out)
        throw DataError("Errore di scrittura del file PDF", displayName(m_path));
}

} // namespace presenze
