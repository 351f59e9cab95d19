#pragma once
// An Excel workbook (Office Open XML) written as a stream: each sheet's XML
// goes into the ZIP file row by row as its cells come, so the memory stays
// that of one block of XML whatever the rows. Texts go once into the shared
// strings table (a name repeated on every row is a number in the sheet),
// numbers in their shortest text, every cell with its reference. What the
// report workbook needs and no more: formats (font, colour, alignment,
// number format), column widths, frozen panes, an autofilter, heading rows
// printed on every page; every sheet prints landscape on A4, one page wide.
//
//   XlsxStream book(file);                 // a ByteSink: data/AtomicFile
//   const auto bold = book.addFormat({.bold = true});
//   book.beginSheet({.name = "Dati", .frozenRows = 1});
//   book.text(0, 0, "Mese", bold);
//   book.number(1, 0, 45292);
//   book.close();                          // then file.commit()
//
// Cells come row after row, and left to right within a row. Texts are UTF-8.

#include "data/AtomicFile.h"
#include "output/ZipFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace presenze {

struct XlsxFormat {
    bool bold = false;
    bool italic = false;
    std::uint32_t colour = 0; // RGB; 0: the default (black)
    bool alignRight = false;
    bool wrap = false;
    std::string numberFormat; // empty: "General"
};

struct XlsxColumns {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
    double width = 0; // in characters, as a spreadsheet's column width
};

struct XlsxSheetSetup {
    std::string name;
    std::vector<XlsxColumns> columns;
    std::uint32_t frozenRows = 0;
    std::uint16_t frozenColumns = 0;
    std::uint32_t headingRows = 0; // printed atop every page (0: none)
    // The autofilter over the first row down to `filterLastRow`, up to
    // `filterLastColumn`.
    std::optional<std::uint32_t> filterLastRow;
    std::uint16_t filterLastColumn = 0;
};

class XlsxStream {
public:
    using Format = std::uint16_t; // 0: the default format
    using StringId = std::uint32_t;

    explicit XlsxStream(ByteSink& out);

    // A format for the cells; before the first sheet.
    Format addFormat(const XlsxFormat& format);
    // Ends the sheet before, if any.
    void beginSheet(XlsxSheetSetup setup);

    // A text's place in the shared strings, for a text written many times.
    StringId sharedString(std::string_view utf8);
    void text(std::uint32_t row, std::uint16_t column, StringId text, Format format = 0);
    // An empty text leaves no cell.
    void text(std::uint32_t row, std::uint16_t column, std::string_view utf8, Format format = 0);
    void number(std::uint32_t row, std::uint16_t column, double value, Format format = 0);
    void number(std::uint32_t row, std::uint16_t column, std::int64_t value, Format format = 0);

    // Ends the last sheet and writes the workbook's other parts.
    void close();

private:
    void endSheet();
    void startCell(std::uint32_t row, std::uint16_t column, Format format);
    // A number cell whose value is already written as text.
    void valueCell(std::uint32_t row, std::uint16_t column, std::string_view digits, Format format);
    void flushIfFull();
    void writeStrings();
    void writeStyles();
    void writeWorkbook();
    void writePackageParts();

    ZipFile m_zip;
    std::vector<XlsxFormat> m_formats;
    std::vector<XlsxSheetSetup> m_sheets;
    std::unordered_map<std::string, StringId> m_stringIds;
    std::vector<const std::string*> m_strings; // by id
    std::uint64_t m_stringUses = 0;
    std::string m_xml; // the open sheet's XML not yet deflated
    bool m_inSheet = false;
    bool m_inRow = false;
    std::uint32_t m_row = 0;
    std::int32_t m_column = -1;
};

} // namespace presenze
