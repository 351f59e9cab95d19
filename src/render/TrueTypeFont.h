#pragma once
// A TrueType font as a PDF embeds it: its glyphs for characters, their
// widths, and a subset of the font file holding the outlines of the glyphs
// a document used (glyph numbers unchanged, the others left empty), so that
// a report of a few dozen distinct characters embeds a few kilobytes.
//
//   TrueTypeFont font(QRawFont::fromFont(qfont));
//   const std::uint16_t g = font.glyph(U'A'); // marks it used
//   std::string file = font.subset();

#include <QRawFont>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace presenze {

class TrueTypeFont {
public:
    // Reads the tables of the font; isValid() is false when it has no
    // TrueType outlines (a CFF font, say).
    explicit TrueTypeFont(const QRawFont& font);

    bool isValid() const { return m_valid; }
    // The PostScript name, without blanks.
    const std::string& name() const { return m_name; }

    // The glyph of a character, 0 when the font lacks it; remembered as used.
    std::uint16_t glyph(char32_t c);

    // In thousandths of the font size, as a PDF gives widths and heights.
    double width(std::uint16_t glyph) const;
    double ascent() const { return scaled(m_ascent); }
    double descent() const { return scaled(m_descent); } // below the baseline, negative
    double capHeight() const { return scaled(m_capHeight); }
    std::vector<double> boundingBox() const;

    // The font file with only the used glyphs' outlines (and the glyphs
    // they are built of).
    std::string subset() const;

private:
    double scaled(int units) const { return units * 1000.0 / m_unitsPerEm; }
    std::uint32_t glyphOffset(std::uint32_t glyph) const;
    void addWithComponents(std::uint32_t glyph, std::vector<bool>& keep) const;

    QRawFont m_font;
    bool m_valid = false;
    std::string m_name;
    std::string m_head, m_hhea, m_maxp, m_hmtx, m_loca, m_glyf, m_cvt, m_fpgm, m_prep;
    int m_unitsPerEm = 1000;
    int m_ascent = 0;
    int m_descent = 0;
    int m_capHeight = 0;
    int m_box[4] = {0, 0, 0, 0};
    bool m_longOffsets = false;
    std::uint32_t m_glyphCount = 0;
    std::uint32_t m_metricCount = 0;
    std::vector<std::uint16_t> m_bmpGlyphs; // 0xFFFF where not yet looked up
    std::unordered_map<char32_t, std::uint16_t> m_otherGlyphs;
    std::unordered_set<std::uint16_t> m_used;
};

} // namespace presenze
