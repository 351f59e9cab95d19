#include "render/PdfPages.h"

#include "common/BoxDrawing.h"
#include "data/DataError.h"
#include "data/DataFolder.h"
#include "data/SystemErrors.h"
#include "render/QtText.h"

#include <QFile>
#include <QFontInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QRawFont>
#include <cerrno>

namespace presenze {
namespace {

// Points per inch: the writer's resolution turns points into its pixels.
constexpr double kPointsPerInch = 72.0;

QFont fixedFont(const QString& family)
{
    QFont font(family);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// Fixed-pitch and has every frame character.
bool drawsFrames(const QFont& font)
{
    if (!QFontInfo(font).fixedPitch())
        return false;
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return false;
    for (int b = 128; b < 256; ++b) {
        if (const char32_t c = box::frameCharacter(static_cast<char>(b));
            c && !raw.supportsCharacter(static_cast<uint>(c)))
            return false;
    }
    return true;
}

} // namespace

QFont reportFont(const std::string& configured)
{
    QFont font = fixedFont(fromCp1252(configured));
    font.setPointSizeF(10);
    if (drawsFrames(font))
        return font;
    font = fixedFont(QString::fromLatin1(kFrameFontFamily));
    font.setPointSizeF(10);
    return font;
}

PdfPages::PdfPages(const std::filesystem::path& file, bool landscape, const QString& title)
    : m_path(file), m_file(std::make_unique<QFile>(QString::fromStdString(file.string())))
{
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw DataError("Impossibile scrivere il file PDF: " + systemErrorText(errno),
                        displayName(file));
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    setUp(*m_writer, landscape, title);
    if (!m_painter.begin(m_writer.get()))
        throw DataError("Impossibile scrivere il file PDF", displayName(file));
}

void PdfPages::setUp(QPdfWriter& writer, bool landscape, const QString& title)
{
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    writer.setPageMargins(
        QMarginsF(kPageEdgePoints, kPageEdgePoints, kPageEdgePoints, kPageEdgePoints),
        QPageLayout::Point);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Presenze"));
}

PdfPages::~PdfPages()
{
    if (m_painter.isActive())
        m_painter.end();
}

double PdfPages::pointScale() const
{
    return m_writer->logicalDpiY() / kPointsPerInch;
}

QSizeF PdfPages::printableSize() const
{
    return m_writer->pageLayout().paintRect(QPageLayout::Point).size();
}

void PdfPages::finish()
{
    m_painter.end();
    m_writer.reset();
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError)
        throw DataError("Errore di scrittura del file PDF", displayName(m_path));
    m_file->close();
}

} // namespace presenze
