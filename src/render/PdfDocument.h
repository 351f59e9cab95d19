#pragma once
// A PDF file of text pages, written as it goes: each page's content is one
// Flate stream of text operations, one per run of glyphs. A font's text is
// single bytes, each standing for one character of up to 256 the font is
// given (Windows-1252 and the frames, say): the byte is written as it is,
// and the font's own maps turn it into its glyph and back into its
// character, so that the text copies out as it was given. The fonts are
// TrueType subsets (render/TrueTypeFont.h) with their widths; the page tree,
// the title and the cross-reference table close the file.
//
// Qt's PDF engine positions every glyph with an operation of its own, which
// for a year's report makes over a gigabyte of page content; this writer
// is for the report pages, where every line is a few runs of fixed-pitch
// glyphs.
//
//   PdfDocument pdf(file, {595.28, 841.89}, QStringLiteral("Presenze - PDF"));
//   const int regular = pdf.addFont(std::move(font), characters);
//   pdf.beginPage();
//   pdf.showText(regular, 10, 18, 40, "Pagina 1"); // baseline 40 points from the top
//   pdf.finish();

#include "render/TrueTypeFont.h"

#include <QString>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

struct PdfPageSize {
    double width = 0; // points
    double height = 0;
};

class PdfDocument {
public:
    // Opens the file. Raises DataError when it cannot be written.
    PdfDocument(const std::filesystem::path& file, PdfPageSize page, const QString& title);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // The character each byte of a text stands for.
    using ByteCharacters = std::array<char32_t, 256>;

    // The font, embedded at the end; returns its number for showText.
    int addFont(std::unique_ptr<TrueTypeFont> font, const ByteCharacters& characters);
    TrueTypeFont& font(int number) { return *m_fonts[static_cast<std::size_t>(number)].font; }

    // Ends the page begun before, if any, and begins the next.
    void beginPage();
    // The characters of the bytes set one after the other from a baseline
    // point, in points from the page's top left corner.
    void showText(int font, double size, double x, double y, std::string_view text);
    int pageCount() const { return static_cast<int>(m_pages.size()); }

    // Ends the last page and the file. Raises DataError when it could not be
    // written whole.
    void finish();

private:
    struct EmbeddedFont {
        std::unique_ptr<TrueTypeFont> font;
        ByteCharacters characters{};
        std::array<bool, 256> used{};
        int object = 0; // the Type0 font; the next five are its parts
    };

    int reserve(int count = 1);
    void beginObject(int number);
    void writeObject(int number, const std::string& body);
    void writeStream(int number, const std::string& data, const std::string& extra = {});
    void endPage();
    void writeFont(EmbeddedFont& font, int index);
    void check();

    std::filesystem::path m_path;
    std::ofstream m_out;
    std::uint64_t m_written = 0;
    PdfPageSize m_page;
    QString m_title;
    std::vector<std::uint64_t> m_offsets; // by object number, 0 unused
    std::vector<EmbeddedFont> m_fonts;
    std::vector<int> m_pages; // page objects
    std::string m_content;    // the page being drawn
    bool m_inPage = false;
    int m_currentFont = -1;
    double m_currentSize = 0;
};

} // namespace presenze
