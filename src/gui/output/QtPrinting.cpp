#include "gui/output/QtPrinting.h"

#include "data/AtomicFile.h"
#include "data/DataError.h"
#include "gui/desk/QtText.h"
#include "output/PageLayout.h"
#include "output/PdfWriter.h"
#include "output/PrintOutput.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <optional>

namespace presenze {
namespace {

QFont headerFont(double size)
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(size);
    return font;
}

QFont bodyFont(const std::string& family, double size, bool bold)
{
    QFont font;
    font.setFamilies({fromCp1252(family), QStringLiteral("Courier New"),
                      QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(bold ? size - kBoldSizeReduction : size);
    font.setBold(bold);
    return font;
}

// Draws the pages, going on to a further sheet where lines do not fit.
class PageDrawer {
public:
    PageDrawer(QPrinter& printer, QPainter& painter, const PrintJob& job)
        : m_printer(printer), m_painter(painter),
          m_header(headerFont(job.settings.headerFontSize())),
          m_regular(bodyFont(job.font, job.settings.bodyFontSize(job.compressed), false)),
          m_bold(bodyFont(job.font, job.settings.bodyFontSize(job.compressed), true))
    {
        m_bottom = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    }

    void page(const PrintedPage& page)
    {
        if (m_started)
            m_printer.newPage();
        m_started = true;
        m_top = QFontMetricsF(m_header, &m_printer).lineSpacing();
        for (const auto& line : page.lines)
            this->line(line);
    }

private:
    void line(const PrintedLine& runs)
    {
        const QFontMetricsF metrics(m_regular, &m_printer);
        if (m_top + metrics.lineSpacing() > m_bottom && m_top > 0) {
            m_printer.newPage();
            m_top = 0;
        }
        const double baseline = m_top + metrics.ascent();
        double x = 0;
        for (const auto& run : runs) {
            const QFont& font = run.bold ? m_bold : m_regular;
            const QString text = fromCp1252(run.text);
            m_painter.setFont(font);
            m_painter.drawText(QPointF(x, baseline), text);
            x += QFontMetricsF(font, &m_printer).horizontalAdvance(text);
        }
        m_top += metrics.lineSpacing();
    }

    QPrinter& m_printer;
    QPainter& m_painter;
    QFont m_header;
    QFont m_regular;
    QFont m_bold;
    double m_top = 0;
    double m_bottom = 0;
    bool m_started = false;
};

} // namespace

QStringList systemPrinterNames()
{
    return QPrinterInfo::availablePrinterNames();
}

std::optional<std::filesystem::path> printOnSystemPrinter(const PrintJob& job,
                                                          const DataFolder& folder,
                                                          const std::filesystem::path& defaultPdf)
{
    std::vector<std::string> installed;
    for (const QString& name : systemPrinterNames())
        installed.push_back(toCp1252(name));
    const SystemPrinterRoute route = routeSystemPrint(job, installed, folder, defaultPdf);

    QPrinter printer(QPrinter::HighResolution);
    std::optional<std::filesystem::path> pdf;
    // The PDF is written beside the file and renamed over it once whole.
    std::optional<AtomicFile> work;
    switch (route.target) {
    case SystemPrinterTarget::PdfFile: {
        checkPrintFile(route.pdfFile);
        std::error_code ec;
        std::filesystem::create_directories(route.pdfFile.parent_path(), ec);
        work.emplace(route.pdfFile);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(work->path().string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        pdf = route.pdfFile;
        break;
    }
    case SystemPrinterTarget::Queue:
        printer.setPrinterName(fromCp1252(route.queue));
        break;
    case SystemPrinterTarget::DefaultQueue:
        if (QPrinterInfo::defaultPrinter().isNull())
            throw DataError("Nessuna stampante predefinita: impossibile stampare sulla "
                            "destinazione \"" +
                            job.destination + "\"");
        break;
    }
    if (!printer.isValid())
        throw DataError("Stampante non disponibile per la destinazione \"" + job.destination +
                        "\"");
    printer.setDocName(QStringLiteral("Presenze - ") + fromCp1252(job.destination));
    printer.setDuplex(job.duplex ? QPrinter::DuplexLongSide : QPrinter::DuplexNone);
    printer.setPageOrientation(job.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (pdf)
        printer.setPageMargins(
            QMarginsF(kPageEdgePoints, kPageEdgePoints, kPageEdgePoints, kPageEdgePoints),
            QPageLayout::Point);

    QPainter painter;
    if (!painter.begin(&printer))
        throw DataError(pdf ? "Impossibile scrivere il file PDF" : "Impossibile avviare la stampa",
                        pdf ? displayName(*pdf) : job.destination);
    PageDrawer drawer(printer, painter, job);
    for (const auto& page : layoutPages(job))
        drawer.page(page);
    if (!painter.end())
        throw DataError("Stampa non completata", pdf ? displayName(*pdf) : job.destination);
    if (work)
        work->commit();
    return pdf;
}

} // namespace presenze
