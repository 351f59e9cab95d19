#include "output/XlsxStream.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <tuple>

namespace presenze {
namespace {

constexpr std::size_t kFlushBytes = 256 * 1024;
constexpr const char* kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
// Paper size code of A4.
constexpr int kPaperA4 = 9;
// The first number format id a workbook may define for itself.
constexpr int kFirstCustomNumberFormat = 164;

// Column widths as a spreadsheet stores them: whole pixels of a 7-pixel
// digit and 5 pixels of padding, in 256ths of a character.
double storedWidth(double width)
{
    constexpr double digit = 7, padding = 5;
    const double pixels = width < 1 ? std::floor(width * (digit + padding) + 0.5)
                                    : std::floor(width * digit + 0.5) + padding;
    return std::floor(pixels / digit * 256.0) / 256.0;
}

void appendNumber(std::string& out, std::uint64_t value)
{
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

void appendColumn(std::string& out, unsigned column)
{
    char letters[4];
    int n = 0;
    for (unsigned rest = column + 1; rest > 0; rest = (rest - 1) / 26)
        letters[n++] = static_cast<char>('A' + (rest - 1) % 26);
    while (n > 0)
        out.push_back(letters[--n]);
}

// A1 style: column letters, then the row counted from 1.
void appendReference(std::string& out, std::uint32_t row, unsigned column)
{
    appendColumn(out, column);
    appendNumber(out, std::uint64_t{row} + 1);
}

// Text as XML character data (or an attribute value, quotes escaped).
// Control characters XML cannot hold take the spreadsheet's _xHHHH_ form.
void appendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                static constexpr char kHex[] = "0123456789ABCDEF";
                out += "_x00";
                out.push_back(kHex[(c >> 4) & 0xF]);
                out.push_back(kHex[c & 0xF]);
                out.push_back('_');
            } else {
                out.push_back(c);
            }
        }
    }
}

// A sheet's name in a formula: quoted, its quotes doubled.
std::string quotedSheet(const std::string& name)
{
    std::string quoted = "'";
    for (const char c : name) {
        quoted.push_back(c);
        if (c == '\'')
            quoted.push_back('\'');
    }
    return quoted + "'";
}

std::string escaped(std::string_view text)
{
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string sheetPart(std::size_t index)
{
    return "worksheets/sheet" + std::to_string(index + 1) + ".xml";
}

} // namespace

XlsxStream::XlsxStream(ByteSink& out) : m_zip(out) {}

XlsxStream::Format XlsxStream::addFormat(const XlsxFormat& format)
{
    if (!m_sheets.empty())
        throw std::logic_error("XlsxStream: formats come before the sheets");
    m_formats.push_back(format);
    return static_cast<Format>(m_formats.size());
}

void XlsxStream::beginSheet(XlsxSheetSetup setup)
{
    endSheet();
    m_sheets.push_back(std::move(setup));
    const XlsxSheetSetup& s = m_sheets.back();
    m_zip.beginEntry("xl/" + sheetPart(m_sheets.size() - 1));
    m_xml = kXmlDeclaration;
    m_xml += "<worksheet xmlns=\"";
    m_xml += kMainNamespace;
    m_xml += "\" xmlns:r=\"";
    m_xml += kRelationships;
    m_xml += "\"><sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr><sheetViews><sheetView ";
    if (m_sheets.size() == 1)
        m_xml += "tabSelected=\"1\" ";
    m_xml += "workbookViewId=\"0\"";
    if (s.frozenRows > 0 || s.frozenColumns > 0) {
        const char* pane = s.frozenRows == 0      ? "topRight"
                           : s.frozenColumns == 0 ? "bottomLeft"
                                                  : "bottomRight";
        m_xml += "><pane";
        if (s.frozenColumns > 0) {
            m_xml += " xSplit=\"";
            appendNumber(m_xml, s.frozenColumns);
            m_xml += "\"";
        }
        if (s.frozenRows > 0) {
            m_xml += " ySplit=\"";
            appendNumber(m_xml, s.frozenRows);
            m_xml += "\"";
        }
        m_xml += " topLeftCell=\"";
        appendReference(m_xml, s.frozenRows, s.frozenColumns);
        m_xml += "\" activePane=\"";
        m_xml += pane;
        m_xml += "\" state=\"frozen\"/><selection pane=\"";
        m_xml += pane;
        m_xml += "\"/></sheetView>";
    } else {
        m_xml += "/>";
    }
    m_xml += "</sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!s.columns.empty()) {
        m_xml += "<cols>";
        for (const XlsxColumns& c : s.columns) {
            m_xml += "<col min=\"";
            appendNumber(m_xml, c.first + 1u);
            m_xml += "\" max=\"";
            appendNumber(m_xml, c.last + 1u);
            char width[32];
            const auto end = std::to_chars(width, width + sizeof width, storedWidth(c.width)).ptr;
            m_xml += "\" width=\"";
            m_xml.append(width, end);
            m_xml += "\" customWidth=\"1\"/>";
        }
        m_xml += "</cols>";
    }
    m_xml += "<sheetData>";
    m_inSheet = true;
    m_inRow = false;
    m_row = 0;
    m_column = -1;
}

void XlsxStream::startCell(std::uint32_t row, std::uint16_t column, Format format)
{
    if (!m_inSheet)
        throw std::logic_error("XlsxStream: a cell outside a sheet");
    if (!m_inRow || row != m_row) {
        if (m_inRow && row < m_row)
            throw std::logic_error("XlsxStream: rows out of order");
        if (m_inRow)
            m_xml += "</row>";
        flushIfFull();
        m_xml += "<row r=\"";
        appendNumber(m_xml, std::uint64_t{row} + 1);
        m_xml += "\">";
        m_inRow = true;
        m_row = row;
        m_column = -1;
    }
    if (static_cast<std::int32_t>(column) <= m_column)
        throw std::logic_error("XlsxStream: cells out of order");
    m_column = column;
    m_xml += "<c r=\"";
    appendReference(m_xml, row, column);
    m_xml += '"';
    if (format != 0) {
        m_xml += " s=\"";
        appendNumber(m_xml, format);
        m_xml += '"';
    }
}

XlsxStream::StringId XlsxStream::sharedString(std::string_view utf8)
{
    const auto [it, added] =
        m_stringIds.try_emplace(std::string(utf8), static_cast<StringId>(m_strings.size()));
    if (added)
        m_strings.push_back(&it->first);
    return it->second;
}

void XlsxStream::text(std::uint32_t row, std::uint16_t column, StringId text, Format format)
{
    startCell(row, column, format);
    m_xml += " t=\"s\"><v>";
    appendNumber(m_xml, text);
    m_xml += "</v></c>";
    ++m_stringUses;
}

void XlsxStream::text(std::uint32_t row, std::uint16_t column, std::string_view utf8, Format format)
{
    if (!utf8.empty())
        text(row, column, sharedString(utf8), format);
}

void XlsxStream::number(std::uint32_t row, std::uint16_t column, std::int64_t value, Format format)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    valueCell(row, column, {digits, end}, format);
}

void XlsxStream::number(std::uint32_t row, std::uint16_t column, double value, Format format)
{
    // Whole numbers as integers; others in the shortest text that reads back
    // as the same double.
    constexpr double kExact = 9007199254740992.0; // 2^53
    if (std::trunc(value) == value && std::fabs(value) < kExact) {
        number(row, column, static_cast<std::int64_t>(value), format);
        return;
    }
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    valueCell(row, column, {digits, end}, format);
}

void XlsxStream::valueCell(std::uint32_t row, std::uint16_t column, std::string_view digits,
                           Format format)
{
    startCell(row, column, format);
    m_xml += "><v>";
    m_xml += digits;
    m_xml += "</v></c>";
}

void XlsxStream::flushIfFull()
{
    if (m_xml.size() >= kFlushBytes) {
        m_zip.write(m_xml);
        m_xml.clear();
    }
}

void XlsxStream::endSheet()
{
    if (!m_inSheet)
        return;
    const XlsxSheetSetup& s = m_sheets.back();
    if (m_inRow)
        m_xml += "</row>";
    m_xml += "</sheetData>";
    if (s.filterLastRow) {
        m_xml += "<autoFilter ref=\"A1:";
        appendReference(m_xml, *s.filterLastRow, s.filterLastColumn);
        m_xml += "\"/>";
    }
    m_xml += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
             "header=\"0.3\" footer=\"0.3\"/><pageSetup paperSize=\"";
    appendNumber(m_xml, kPaperA4);
    m_xml += "\" orientation=\"landscape\" fitToHeight=\"0\"/></worksheet>";
    m_zip.write(m_xml);
    m_xml.clear();
    m_zip.endEntry();
    m_inSheet = false;
    m_inRow = false;
}

void XlsxStream::close()
{
    endSheet();
    if (m_sheets.empty())
        throw std::logic_error("XlsxStream: a workbook needs a sheet");
    writeStrings();
    writeStyles();
    writeWorkbook();
    writePackageParts();
    m_zip.close();
}

void XlsxStream::writeStrings()
{
    m_zip.beginEntry("xl/sharedStrings.xml");
    m_xml = kXmlDeclaration;
    m_xml += "<sst xmlns=\"";
    m_xml += kMainNamespace;
    m_xml += "\" count=\"";
    appendNumber(m_xml, m_stringUses);
    m_xml += "\" uniqueCount=\"";
    appendNumber(m_xml, m_strings.size());
    m_xml += "\">";
    for (const std::string* text : m_strings) {
        const bool spaced = !text->empty() && (text->front() == ' ' || text->back() == ' ');
        m_xml += spaced ? "<si><t xml:space=\"preserve\">" : "<si><t>";
        appendEscaped(m_xml, *text);
        m_xml += "</t></si>";
        flushIfFull();
    }
    m_xml += "</sst>";
    m_zip.write(m_xml);
    m_xml.clear();
    m_zip.endEntry();
}

void XlsxStream::writeStyles()
{
    // Fonts and number formats, each once.
    std::map<std::tuple<bool, bool, std::uint32_t>, std::size_t> fonts{{{false, false, 0}, 0}};
    std::map<std::string, int> numberFormats;
    std::vector<std::tuple<bool, bool, std::uint32_t>> fontList{{false, false, 0}};
    std::vector<const std::string*> formatList;
    for (const XlsxFormat& f : m_formats) {
        const auto key = std::make_tuple(f.bold, f.italic, f.colour);
        if (fonts.try_emplace(key, fontList.size()).second)
            fontList.push_back(key);
        if (!f.numberFormat.empty()) {
            const auto [it, added] = numberFormats.try_emplace(
                f.numberFormat, kFirstCustomNumberFormat + static_cast<int>(formatList.size()));
            if (added)
                formatList.push_back(&it->first);
        }
    }
    std::string xml = kXmlDeclaration;
    xml += "<styleSheet xmlns=\"" + std::string(kMainNamespace) + "\">";
    if (!formatList.empty()) {
        xml += "<numFmts count=\"" + std::to_string(formatList.size()) + "\">";
        for (std::size_t i = 0; i < formatList.size(); ++i)
            xml += "<numFmt numFmtId=\"" + std::to_string(kFirstCustomNumberFormat + i) +
                   "\" formatCode=\"" + escaped(*formatList[i]) + "\"/>";
        xml += "</numFmts>";
    }
    xml += "<fonts count=\"" + std::to_string(fontList.size()) + "\">";
    for (const auto& [bold, italic, colour] : fontList) {
        xml += "<font>";
        xml += bold ? "<b/>" : "";
        xml += italic ? "<i/>" : "";
        xml += "<sz val=\"11\"/>";
        if (colour != 0) {
            char rgb[16];
            std::snprintf(rgb, sizeof rgb, "FF%06X", static_cast<unsigned>(colour & 0xFFFFFF));
            xml += "<color rgb=\"" + std::string(rgb) + "\"/>";
        }
        xml += "<name val=\"Calibri\"/><family val=\"2\"/></font>";
    }
    xml += "</fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
           "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border>"
           "</borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs>";
    xml += "<cellXfs count=\"" + std::to_string(m_formats.size() + 1) +
           "\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>";
    for (const XlsxFormat& f : m_formats) {
        const int numberFormat = f.numberFormat.empty() ? 0 : numberFormats.at(f.numberFormat);
        const std::size_t font = fonts.at(std::make_tuple(f.bold, f.italic, f.colour));
        xml += "<xf numFmtId=\"" + std::to_string(numberFormat) + "\" fontId=\"" +
               std::to_string(font) + "\" fillId=\"0\" borderId=\"0\" xfId=\"0\"";
        if (numberFormat != 0)
            xml += " applyNumberFormat=\"1\"";
        if (font != 0)
            xml += " applyFont=\"1\"";
        if (f.alignRight || f.wrap) {
            xml += " applyAlignment=\"1\"><alignment";
            xml += f.alignRight ? " horizontal=\"right\"" : "";
            xml += f.wrap ? " wrapText=\"1\"" : "";
            xml += "/></xf>";
        } else {
            xml += "/>";
        }
    }
    xml += "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
           "builtinId=\"0\"/></cellStyles><dxfs count=\"0\"/><tableStyles count=\"0\"/>"
           "</styleSheet>";
    m_zip.add("xl/styles.xml", xml);
}

void XlsxStream::writeWorkbook()
{
    std::string xml = kXmlDeclaration;
    xml += "<workbook xmlns=\"" + std::string(kMainNamespace) + "\" xmlns:r=\"" + kRelationships +
           "\"><bookViews><workbookView/></bookViews><sheets>";
    for (std::size_t i = 0; i < m_sheets.size(); ++i)
        xml += "<sheet name=\"" + escaped(m_sheets[i].name) + "\" sheetId=\"" +
               std::to_string(i + 1) + "\" r:id=\"rId" + std::to_string(i + 1) + "\"/>";
    xml += "</sheets>";
    std::string names;
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        const XlsxSheetSetup& s = m_sheets[i];
        const std::string sheet = escaped(quotedSheet(s.name));
        const std::string local = "\" localSheetId=\"" + std::to_string(i) + "\"";
        if (s.filterLastRow) {
            std::string range;
            appendColumn(range, s.filterLastColumn);
            names += "<definedName name=\"_xlnm._FilterDatabase" + local + " hidden=\"1\">" +
                     sheet + "!$A$1:$" + range + "$" + std::to_string(*s.filterLastRow + 1) +
                     "</definedName>";
        }
        if (s.headingRows > 0)
            names += "<definedName name=\"_xlnm.Print_Titles" + local + ">" + sheet + "!$1:$" +
                     std::to_string(s.headingRows) + "</definedName>";
    }
    if (!names.empty())
        xml += "<definedNames>" + names + "</definedNames>";
    xml += "<calcPr calcId=\"124519\"/></workbook>";
    m_zip.add("xl/workbook.xml", xml);
}

void XlsxStream::writePackageParts()
{
    const std::string part = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    std::string types = kXmlDeclaration;
    types += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
             part + "sheet.main+xml\"/>";
    std::string rels = kXmlDeclaration;
    rels += "<Relationships "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    const std::string relType = std::string(kRelationships) + "/";
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        types += "<Override PartName=\"/xl/" + sheetPart(i) + "\" ContentType=\"" + part +
                 "worksheet+xml\"/>";
        rels += "<Relationship Id=\"rId" + std::to_string(i + 1) + "\" Type=\"" + relType +
                "worksheet\" Target=\"" + sheetPart(i) + "\"/>";
    }
    types += "<Override PartName=\"/xl/styles.xml\" ContentType=\"" + part +
             "styles+xml\"/><Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"" + part +
             "sharedStrings+xml\"/></Types>";
    const std::string next = std::to_string(m_sheets.size() + 1);
    const std::string after = std::to_string(m_sheets.size() + 2);
    rels += "<Relationship Id=\"rId" + next + "\" Type=\"" + relType +
            "styles\" Target=\"styles.xml\"/><Relationship Id=\"rId" + after + "\" Type=\"" +
            relType + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
    m_zip.add("xl/_rels/workbook.xml.rels", rels);
    m_zip.add("[Content_Types].xml", types);
    std::string root = kXmlDeclaration;
    root += "<Relationships "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"" +
            relType + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    m_zip.add("_rels/.rels", root);
}

} // namespace presenze
