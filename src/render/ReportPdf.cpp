#include "render/ReportPdf.h"

#include "output/LineConversion.h"
#include "output/PageLayout.h"
#include "render/PdfDocument.h"
#include "render/PdfPages.h"
#include "render/QtText.h"
#include "render/TrueTypeFont.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace presenze {
namespace {

// Points per inch: the writer's resolution turns points into its pixels.
constexpr double kPointsPerInch = 72.0;
constexpr double kSizeStep = 0.05;
// The pixels of Qt's PDF writer per point (1200 dots per inch): the page
// breaks keep the half-pixel tolerance they had in them.
constexpr double kPixelsPerPoint = 1200.0 / kPointsPerInch;

QFont headerFont(double size)
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(size);
    return font;
}

QFont sized(QFont font, double size, bool bold = false)
{
    font.setPointSizeF(bold ? size - kBoldSizeReduction : size);
    font.setBold(bold);
    return font;
}

// The report font when its outlines can be embedded, otherwise the frame
// font.
QFont embeddableFont(const std::string& configured)
{
    QFont font = reportFont(configured);
    if (!TrueTypeFont(QRawFont::fromFont(font)).isValid())
        font.setFamily(QString::fromLatin1(kFrameFontFamily));
    return font;
}

QString titleOf(const PrintJob& job)
{
    return QStringLiteral("Presenze - ") + fromCp1252(job.destination);
}

// The fit rule on a paint device, for a printable area in points.
PdfPageSetup fit(const PrintJob& job, QPaintDevice* device, double width, double height)
{
    PdfPageSetup setup;
    const QFont base = embeddableFont(job.font);
    setup.family = QFontInfo(base).family();
    setup.headerSize = job.settings.headerFontSize();
    setup.width = width;
    setup.height = height;
    const double scale = device->logicalDpiY() / kPointsPerInch;
    setup.headerHeight = QFontMetricsF(headerFont(setup.headerSize), device).lineSpacing() / scale;

    // Lines are spaced as the font would space them, closer where a page of P
    // lines needs it, but never closer than one line per font size.
    const int lines = std::max(1, job.pageLength) + kFootLines;
    auto measure = [&](double size) {
        const QFontMetricsF metrics(sized(base, size), device);
        setup.bodySize = size;
        setup.columnWidth = metrics.horizontalAdvance(QLatin1Char('0')) / scale;
        const double natural = metrics.lineSpacing() / scale;
        setup.lineHeight = std::max(size, std::min(natural, (height - setup.headerHeight) / lines));
        setup.fits = kReportColumns * setup.columnWidth <= width &&
                     setup.headerHeight + lines * size <= height;
        return setup.fits;
    };
    const double configured = job.settings.bodyFontSize(job.compressed);
    if (!measure(configured)) {
        // The widths scale with the font size: start from where both would
        // just fit and step down until they do.
        const double byWidth = configured * width / (kReportColumns * setup.columnWidth);
        const double byHeight = (height - setup.headerHeight) / lines;
        double size = std::floor(std::min({configured, byWidth, byHeight}) / kSizeStep) * kSizeStep;
        size = std::max(size, kSmallestFontSize);
        while (!measure(size) && size > kSmallestFontSize)
            size = std::max(kSmallestFontSize, size - kSizeStep);
        // A little more may still fit where the estimate fell short.
        while (size + kSizeStep <= configured && measure(size + kSizeStep))
            size += kSizeStep;
        measure(size);
    }
    setup.columns = std::max(1, static_cast<int>(std::floor(width / setup.columnWidth + 1e-9)));
    return setup;
}

// The character each report byte is drawn as: Converti2 goes byte by byte.
PdfDocument::ByteCharacters drawnCharacters(bool keepLetters)
{
    PdfDocument::ByteCharacters characters{};
    for (std::size_t b = 0; b < characters.size(); ++b) {
        const std::string utf8 = Converti2(std::string(1, static_cast<char>(b)), keepLetters);
        const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        const auto ucs4 = text.toUcs4();
        characters[b] = ucs4.size() == 1 ? ucs4.front() : U'?';
    }
    return characters;
}

// Draws the pages of PageLayout, wrapping long lines and going on to a
// further sheet where lines do not fit.
class PdfPageDrawer final : public PageSink {
public:
    PdfPageDrawer(PdfDocument& pdf, const PrintJob& job, const PdfPageSetup& setup, QPointF origin)
        : m_pdf(pdf), m_setup(setup), m_keepLetters(job.keepsBytes()), m_origin(origin),
          m_pageLines(std::max(1, job.pageLength))
    {
        const QFont base = embeddableFont(job.font);
        const QFont regular = sized(base, setup.bodySize);
        const QFont bold = sized(base, setup.bodySize, true);
        // The baseline sits where the font puts it within a line of its own
        // spacing, scaled to the spacing used.
        const QFontMetricsF metrics(regular);
        m_lineHeight = setup.lineHeight;
        m_ascent = m_lineHeight * metrics.ascent() / (metrics.ascent() + metrics.descent());
        m_bottom = setup.height;
        const auto characters = drawnCharacters(m_keepLetters);
        for (std::size_t b = 0; b < characters.size(); ++b)
            m_blank[b] = characters[b] <= U' ' || characters[b] == U'\u00A0';
        m_regular = {
            pdf.addFont(std::make_unique<TrueTypeFont>(QRawFont::fromFont(regular)), characters),
            setup.bodySize};
        // A bold face without TrueType outlines prints in the regular one.
        auto boldFont = std::make_unique<TrueTypeFont>(QRawFont::fromFont(bold));
        m_bold = {boldFont->isValid() ? pdf.addFont(std::move(boldFont), characters)
                                      : m_regular.font,
                  setup.bodySize - kBoldSizeReduction};
        for (Face* face : {&m_regular, &m_bold}) {
            TrueTypeFont& font = pdf.font(face->font);
            face->advance = font.width(font.glyph(U'0')) * face->size / 1000.0;
        }
    }

    void beginPage() override
    {
        m_pdf.beginPage();
        m_top = m_setup.headerHeight;
    }

    void line(const PrintedLine& runs) override
    {
        newRow();
        double x = 0;
        std::size_t column = 0;
        const auto columns = static_cast<std::size_t>(m_setup.columns);
        for (const auto& run : runs) {
            // Fixed pitch: every character of a run advances alike.
            const Face& face = run.bold ? m_bold : m_regular;
            const std::string_view text = run.text;
            std::size_t at = 0;
            while (at < text.size()) {
                if (column == columns) {
                    newRow();
                    x = 0;
                    column = 0;
                }
                const std::size_t count = std::min(text.size() - at, columns - column);
                // A blank run is only room: nothing to draw.
                const std::string_view piece = text.substr(at, count);
                if (!isBlank(piece))
                    draw(face, piece, x);
                at += count;
                x += face.advance * static_cast<double>(count);
                column += count;
            }
        }
    }

    // On the line the fit rule keeps below the P lines, centred under the
    // report's width.
    void foot(std::string_view text) override
    {
        const double reserved = m_setup.headerHeight + (m_pageLines + kFootLines) * m_lineHeight;
        m_top = std::min(std::max(m_top + m_lineHeight, reserved), m_bottom);
        const auto width = static_cast<std::size_t>(std::min(kReportColumns, m_setup.columns));
        const std::size_t blank = width > text.size() ? (width - text.size()) / 2 : 0;
        draw(m_regular, text, m_regular.advance * static_cast<double>(blank));
    }

private:
    struct Face {
        int font = 0;
        double size = 0;    // points
        double advance = 0; // points, from one character to the next
    };

    bool isBlank(std::string_view text) const
    {
        return std::all_of(text.begin(), text.end(),
                           [this](char c) { return m_blank[static_cast<unsigned char>(c)]; });
    }

    // The report bytes as one run of glyphs: no text shaping, which a
    // fixed-pitch page does not need.
    void draw(const Face& face, std::string_view text, double x)
    {
        m_pdf.showText(face.font, face.size, m_origin.x() + x,
                       m_origin.y() + m_top - m_lineHeight + m_ascent, text);
    }

    // Room for one more printed line: on this sheet, or on a further one.
    void newRow()
    {
        if (m_top + m_lineHeight > m_bottom + 0.5 / kPixelsPerPoint && m_top > 0) {
            m_pdf.beginPage();
            m_top = 0;
        }
        m_top += m_lineHeight;
    }

    PdfDocument& m_pdf;
    const PdfPageSetup& m_setup;
    bool m_keepLetters;
    QPointF m_origin; // the printable area's top left corner on the sheet
    int m_pageLines;  // P
    Face m_regular;
    Face m_bold;
    std::array<bool, 256> m_blank{};
    double m_ascent = 0;
    double m_lineHeight = 0;
    double m_top = 0;
    double m_bottom = 0;
};

PdfPageSetup setupOn(QPdfWriter& writer, const PrintJob& job)
{
    const QRectF area = writer.pageLayout().paintRect(QPageLayout::Point);
    return fit(job, &writer, area.width(), area.height());
}

} // namespace

PdfPageSetup pdfPageSetup(const PrintJob& job)
{
    QPdfWriter writer(QString{});
    PdfPages::setUp(writer, job.landscape, titleOf(job));
    return setupOn(writer, job);
}

void writeReportPdf(const PrintJob& job, const std::filesystem::path& file)
{
    // Qt measures the font on a writer of the same page setup; the pages
    // themselves are written by our own writer.
    QPdfWriter measure(QString{});
    PdfPages::setUp(measure, job.landscape, titleOf(job));
    const PdfPageSetup setup = setupOn(measure, job);
    const QPageLayout layout = measure.pageLayout();
    const QSizeF sheet = layout.fullRect(QPageLayout::Point).size();
    PdfDocument pdf(file, {sheet.width(), sheet.height()}, titleOf(job));
    {
        PdfPageDrawer drawer(pdf, job, setup, layout.paintRect(QPageLayout::Point).topLeft());
        layoutPages(job, drawer);
    }
    pdf.finish();
}

} // namespace presenze
