#include "output/PdfWriter.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace presenze {
namespace {

constexpr double kA4Width = 595.28;
constexpr double kA4Height = 841.89;

// Numbers are written with a point whatever the locale.
std::string number(double value)
{
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed, 2);
    std::string text(buffer.data(), ec == std::errc() ? end : buffer.data());
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text.empty() || text == "-0" ? "0" : text;
}

std::string pdfString(std::string_view bytes)
{
    std::string out = "(";
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (code < 32 || code >= 127) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", code);
            out += octal;
        } else {
            out += c;
        }
    }
    out += ')';
    return out;
}

class ContentBuilder {
public:
    ContentBuilder(const PdfSetup& setup, double height) : m_setup(setup), m_height(height) {}

    // The content streams of the sheets one report page needs.
    void page(const PrintedPage& page)
    {
        newSheet();
        m_top -= m_setup.headerSize * kLineSpacing;
        for (const auto& line : page.lines)
            this->line(line);
    }

    std::vector<std::string> take()
    {
        if (m_sheets.empty())
            m_sheets.emplace_back();
        return std::move(m_sheets);
    }

private:
    void newSheet()
    {
        m_sheets.emplace_back();
        m_top = m_height - kPageEdgePoints;
    }

    void line(const PrintedLine& runs)
    {
        const double height = m_setup.bodySize * kLineSpacing;
        if (m_top - height < kPageEdgePoints)
            newSheet();
        const double baseline = m_top - m_setup.bodySize;
        m_top -= height;
        if (runs.empty())
            return;
        std::string& s = m_sheets.back();
        s += "BT " + number(kPageEdgePoints) + ' ' + number(baseline) + " Td\n";
        for (const auto& run : runs) {
            const double size = run.bold ? m_setup.bodySize - kBoldSizeReduction : m_setup.bodySize;
            s += (run.bold ? "/F2 " : "/F1 ") + number(size) + " Tf " + pdfString(run.text) +
                 " Tj\n";
        }
        s += "ET\n";
    }

    const PdfSetup& m_setup;
    double m_height;
    double m_top = 0;
    std::vector<std::string> m_sheets;
};

class PdfFile {
public:
    // Reserves object numbers 1.. in the order they are added.
    int add(std::string body)
    {
        m_objects.push_back(std::move(body));
        return static_cast<int>(m_objects.size());
    }
    void set(int id, std::string body) { m_objects[id - 1] = std::move(body); }
    int reserve() { return add({}); }

    std::string finish(int root) const
    {
        std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        std::vector<std::size_t> offsets;
        for (std::size_t i = 0; i < m_objects.size(); ++i) {
            offsets.push_back(out.size());
            out += std::to_string(i + 1) + " 0 obj\n" + m_objects[i] + "\nendobj\n";
        }
        const std::size_t xref = out.size();
        out += "xref\n0 " + std::to_string(m_objects.size() + 1) + "\n0000000000 65535 f \n";
        for (std::size_t offset : offsets) {
            char entry[21];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
            out += entry;
        }
        out += "trailer\n<< /Size " + std::to_string(m_objects.size() + 1) + " /Root " +
               std::to_string(root) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        return out;
    }

private:
    std::vector<std::string> m_objects;
};

std::string font(std::string_view baseFont)
{
    return "<< /Type /Font /Subtype /Type1 /BaseFont /" + std::string(baseFont) +
           " /Encoding /WinAnsiEncoding >>";
}

} // namespace

std::string renderPdf(const std::vector<PrintedPage>& pages, const PdfSetup& setup)
{
    const double width = setup.landscape ? kA4Height : kA4Width;
    const double height = setup.landscape ? kA4Width : kA4Height;
    ContentBuilder content(setup, height);
    for (const auto& page : pages)
        content.page(page);
    const auto sheets = content.take();

    PdfFile pdf;
    const int catalog = pdf.reserve();
    const int tree = pdf.reserve();
    const int regular = pdf.add(font("Courier"));
    const int bold = pdf.add(font("Courier-Bold"));
    const std::string resources = "<< /Font << /F1 " + std::to_string(regular) + " 0 R /F2 " +
                                  std::to_string(bold) + " 0 R >> >>";
    const std::string mediaBox = "[0 0 " + number(width) + ' ' + number(height) + ']';
    std::string kids;
    for (const auto& stream : sheets) {
        const int contents = pdf.add("<< /Length " + std::to_string(stream.size()) +
                                     " >>\nstream\n" + stream + "endstream");
        const int page = pdf.add("<< /Type /Page /Parent " + std::to_string(tree) +
                                 " 0 R /MediaBox " + mediaBox + " /Resources " + resources +
                                 " /Contents " + std::to_string(contents) + " 0 R >>");
        kids += std::to_string(page) + " 0 R ";
    }
    pdf.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    pdf.set(tree,
            "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(sheets.size()) + " >>");
    return pdf.finish(catalog);
}

} // namespace presenze
