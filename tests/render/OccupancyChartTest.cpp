// The occupancy chart of a request's month saved as PNG and SVG: made, not
// blank, in the confirmed bookings' colour; a file that cannot be written
// raises the data error.

#include "render/OccupancyChart.h"

#include "ChartPixels.h"
#include "common/KV7Routine.h"
#include "data/DataError.h"
#include "render/ChartColours.h"
#include "request/PrintRequest.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QtTest>

using namespace presenze;

class OccupancyChartTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void occupancyChartIsSavedAsPngAndSvg();

private:
    test::TempDir m_dir;
    ReportFigures m_figures;
};

void OccupancyChartTest::initTestCase()
{
    FillCalendarTables();
    test::copyFixture("hotel", m_dir.path());
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ReportContext context{DataFolder(m_dir.path()), "7", clock, ui};
    context.figures = &m_figures;
    runPrintRequest(ReportKind::Type2, {1, 2024, 2, 2024}, selection, context);
    QCOMPARE(m_figures.months().size(), std::size_t(2));
}

void OccupancyChartTest::occupancyChartIsSavedAsPngAndSvg()
{
    const MonthFigures& february = m_figures.months().back();
    QVERIFY(!february.hotels.empty());
    saveOccupancyChart(m_figures, february, m_dir / "chart.png");
    const QImage image(QString::fromStdString((m_dir / "chart.png").string()));
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 600 && image.height() > 150);
    const auto [confirmed, colours] = test::confirmedPixels(image);
    QVERIFY2(confirmed > 500, qPrintable(QString::number(confirmed)));
    QVERIFY(colours > 10);

    saveOccupancyChart(m_figures, february, m_dir / "chart.SVG");
    const std::string svg = test::readFile(m_dir / "chart.SVG");
    QVERIFY(svg.find("<svg") != std::string::npos);
    QVERIFY(svg.find(chart::kConfirmed.name().toStdString()) != std::string::npos);

    QVERIFY_THROWS_EXCEPTION(DataError,
                             saveOccupancyChart(m_figures, february, m_dir / "missing" / "c.png"));
}

QTEST_MAIN(OccupancyChartTest)
#include "OccupancyChartTest.moc"
