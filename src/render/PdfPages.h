#pragma once
// The sheets of a PDF the program writes, one page setup for all: A4 with a
// printable edge of kPageEdgePoints on every side, portrait or landscape,
// drawn by Qt into a file of Qt's own (so that a write that fails, a full
// disk, is seen). The indicators' pages (render/IndicatorPdf.h) are drawn
// on it; the report pages (render/ReportPdf.h) are measured on a writer of
// this setup (setUp) and written by render/PdfDocument.h on the same sheet.
//
//   PdfPages pages(file, true, QStringLiteral("Presenze - Indicatori"));
//   pages.painter().drawText(...);
//   pages.newPage();
//   pages.finish();

#include <QPainter>
#include <QPdfWriter>
#include <QSizeF>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>

class QFile;

namespace presenze {

// A4 with a printable edge of this many points on every side.
inline constexpr double kPageEdgePoints = 18.0;
// A further font for the frames, fixed-pitch (fonts-dejavu-core).
inline constexpr const char* kFrameFontFamily = "DejaVu Sans Mono";

// The font of printed report lines: the one named (Windows-1252) when it is
// fixed-pitch and has the box-drawing characters, otherwise DejaVu Sans Mono;
// 10 points.
QFont reportFont(const std::string& configured);

class PdfPages {
public:
    // Opens the file and begins the first sheet. Raises DataError when the
    // file cannot be written.
    PdfPages(const std::filesystem::path& file, bool landscape, const QString& title);
    ~PdfPages();
    PdfPages(const PdfPages&) = delete;
    PdfPages& operator=(const PdfPages&) = delete;

    QPdfWriter& writer() { return *m_writer; }
    QPainter& painter() { return m_painter; }
    // The page setup on a writer of its own (one that measures, say).
    static void setUp(QPdfWriter& writer, bool landscape, const QString& title);

    // The writer's pixels per point.
    double pointScale() const;
    // The printable area's width and height, in points; the painter's (0, 0)
    // is its top left corner.
    QSizeF printableSize() const;

    // Begins the next sheet.
    void newPage() { m_writer->newPage(); }
    // Ends the last sheet and the file. Raises DataError when it could not
    // be written whole.
    void finish();

private:
    std::filesystem::path m_path;
    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
};

} // namespace presenze
