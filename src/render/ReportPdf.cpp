#include "render/ReportPdf.h"

#include "output/LineConversion.h"
#include "output/PageLayout.h"
#include "render/PdfPages.h"
#include "render/QtText.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <algorithm>
#include <cmath>

namespace presenze {
namespace {

// Points per inch: the writer's resolution turns points into its pixels.
constexpr double kPointsPerInch = 72.0;
constexpr double kSizeStep = 0.05;

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

QString titleOf(const PrintJob& job)
{
    return QStringLiteral("Presenze - ") + fromCp1252(job.destination);
}

// The fit rule on a paint device, for a printable area in points.
PdfPageSetup fit(const PrintJob& job, QPaintDevice* device, double width, double height)
{
    PdfPageSetup setup;
    const QFont base = reportFont(job.font);
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

// Draws the pages of PageLayout, wrapping long lines and going on to a
// further sheet where lines do not fit.
class PdfPageDrawer final : public PageSink {
public:
    PdfPageDrawer(QPdfWriter& writer, QPainter& painter, const PrintJob& job,
                  const PdfPageSetup& setup)
        : m_writer(writer), m_painter(painter), m_setup(setup), m_keepLetters(job.keepsBytes()),
          m_scale(writer.logicalDpiY() / kPointsPerInch), m_pageLines(std::max(1, job.pageLength))
    {
        const QFont base = reportFont(job.font);
        m_regular = sized(base, setup.bodySize);
        m_bold = sized(base, setup.bodySize, true);
        // The baseline sits where the font puts it within a line of its own
        // spacing, scaled to the spacing used.
        const QFontMetricsF metrics(m_regular, &writer);
        m_lineHeight = setup.lineHeight * m_scale;
        m_ascent = m_lineHeight * metrics.ascent() / (metrics.ascent() + metrics.descent());
        m_bottom = setup.height * m_scale;
        m_rawRegular = QRawFont::fromFont(m_regular);
        m_rawRegular.setPixelSize(setup.bodySize * m_scale);
        m_rawBold = QRawFont::fromFont(m_bold);
        m_rawBold.setPixelSize((setup.bodySize - kBoldSizeReduction) * m_scale);
        m_advance = advanceOf(m_rawRegular);
        m_boldAdvance = advanceOf(m_rawBold);
    }

    void beginPage() override
    {
        if (m_started)
            m_writer.newPage();
        m_started = true;
        m_top = m_setup.headerHeight * m_scale;
    }

    void line(const PrintedLine& runs) override
    {
        newRow();
        double x = 0;
        int column = 0;
        for (const auto& run : runs) {
            // Fixed pitch: every character of a run advances alike.
            const QRawFont& font = run.bold ? m_rawBold : m_rawRegular;
            const double advance = run.bold ? m_boldAdvance : m_advance;
            const QString text = QString::fromUtf8(Converti2(run.text, m_keepLetters));
            qsizetype at = 0;
            while (at < text.size()) {
                if (column == m_setup.columns) {
                    newRow();
                    x = 0;
                    column = 0;
                }
                const qsizetype count =
                    std::min<qsizetype>(text.size() - at, m_setup.columns - column);
                // A blank run is only room: nothing to draw.
                const QStringView piece = QStringView(text).mid(at, count);
                if (!piece.trimmed().isEmpty())
                    draw(font, piece, x, advance);
                at += count;
                x += advance * static_cast<double>(count);
                column += static_cast<int>(count);
            }
        }
    }

    // On the line the fit rule keeps below the P lines, centred under the
    // report's width.
    void foot(std::string_view text) override
    {
        const double reserved =
            (m_setup.headerHeight * m_scale) + (m_pageLines + kFootLines) * m_lineHeight;
        m_top = std::min(std::max(m_top + m_lineHeight, reserved), m_bottom);
        const QString drawn = fromCp1252(text);
        const int width = std::min(kReportColumns, m_setup.columns);
        const auto blank = std::max<qsizetype>(0, (width - drawn.size()) / 2);
        draw(m_rawRegular, drawn, m_advance * static_cast<double>(blank), m_advance);
    }

private:
    static double advanceOf(const QRawFont& font)
    {
        const auto glyphs = font.glyphIndexesForString(QStringLiteral("0"));
        return glyphs.isEmpty() ? 0.0 : font.advancesForGlyphIndexes(glyphs).value(0).x();
    }

    // The characters as glyphs set one column apart: no text shaping, which
    // a fixed-pitch page does not need and which would take most of the time.
    void draw(const QRawFont& font, QStringView text, double x, double advance)
    {
        m_glyphs = font.glyphIndexesForString(text.toString());
        m_positions.resize(m_glyphs.size());
        const double baseline = m_top - m_lineHeight + m_ascent;
        for (qsizetype i = 0; i < m_positions.size(); ++i)
            m_positions[i] = QPointF(x + advance * static_cast<double>(i), baseline);
        QGlyphRun run;
        run.setRawFont(font);
        run.setGlyphIndexes(m_glyphs);
        run.setPositions(m_positions);
        m_painter.drawGlyphRun(QPointF(0, 0), run);
    }

    // Room for one more printed line: on this sheet, or on a further one.
    void newRow()
    {
        if (m_top + m_lineHeight > m_bottom + 0.5 && m_top > 0) {
            m_writer.newPage();
            m_top = 0;
        }
        m_top += m_lineHeight;
    }

    QPdfWriter& m_writer;
    QPainter& m_painter;
    const PdfPageSetup& m_setup;
    bool m_keepLetters;
    double m_scale;
    int m_pageLines; // P
    QFont m_regular;
    QFont m_bold;
    QRawFont m_rawRegular;
    QRawFont m_rawBold;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
    double m_ascent = 0;
    double m_lineHeight = 0;
    double m_advance = 0;
    double m_boldAdvance = 0;
    double m_top = 0;
    double m_bottom = 0;
    bool m_started = false;
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
    PdfPages pages(file, job.landscape, titleOf(job));
    const PdfPageSetup setup = setupOn(pages.writer(), job);
    {
        PdfPageDrawer drawer(pages.writer(), pages.painter(), job, setup);
        layoutPages(job, drawer);
    }
    pages.finish();
}

} // namespace presenze
