// The figures of a request in the windows: the "Grafici" window shows both
// charts, fits the screen and writes numbers the Italian way, and the print
// menu's "Excel" writes the workbook and opens it.

#include "GuiTestSupport.h"
#include "common/KV7Routine.h"
#include "gui/charts/Grafici.h"
#include "gui/charts/OccupancyView.h"
#include "gui/charts/TopChart.h"
#include "gui/desk/KV7DeskTop.h"
#include "gui/output/MenuStampa.h"
#include "render/ChartPixels.h"
#include "request/PrintRequest.h"
#include "support/HotelFolder.h"
#include "support/TestSupport.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGraphicsTextItem>
#include <QHorizontalStackedBarSeries>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace presenze;
namespace fs = std::filesystem;

class ChartsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void graficiShowsOccupancyAndTheTopCompanies();
    void graficiFitsTheScreenAndGroupsThousands();
    void excelWritesTheWorkbookAndOpensIt();
    void theWindowsRequestHandsItsFiguresToThePrintMenu();

private:
    test::TemporarySettings m_settings;
    test::TempDir m_dir;
    std::shared_ptr<ReportFigures> m_figures = std::make_shared<ReportFigures>();
};

void ChartsTest::initTestCase()
{
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    FillCalendarTables();
    test::copyFixture("hotel", m_dir.path());
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    const FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    ReportContext context{DataFolder(m_dir.path()), "7", clock, ui};
    context.figures = m_figures.get();
    runPrintRequest(ReportKind::Type2, {1, 2024, 2, 2024}, selection, context);
    QCOMPARE(m_figures->months().size(), std::size_t(2));
}

void ChartsTest::graficiShowsOccupancyAndTheTopCompanies()
{
    const auto top = topEntries(*m_figures);
    QVERIFY(!top.empty() && top.size() <= 15);
    for (std::size_t i = 1; i < top.size(); ++i)
        QVERIFY(top[i - 1].confirmed + top[i - 1].optional >= top[i].confirmed + top[i].optional);

    Grafici window(m_figures);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.tabs()->count(), 2);
    QCOMPARE(window.months()->count(), 2);
    QCOMPARE(window.months()->currentText(), QStringLiteral("Febbraio 2024"));
    auto* occupancy = window.findChild<OccupancyView*>();
    QVERIFY(occupancy);
    QVERIFY(test::confirmedPixels(occupancy->grab().toImage()).first > 500);
    window.months()->setCurrentIndex(0);
    QVERIFY(window.findChild<OccupancyView*>() != nullptr);

    window.tabs()->setCurrentIndex(1);
    auto* view = window.findChild<QChartView*>(QStringLiteral("Ditte"));
    QVERIFY(view);
    const auto series = view->chart()->series();
    QCOMPARE(series.size(), 1);
    auto* bars = qobject_cast<QHorizontalStackedBarSeries*>(series.front());
    QVERIFY(bars);
    QCOMPARE(bars->count(), 2);
    QCOMPARE(bars->barSets().front()->count(), static_cast<int>(top.size()));
    // The largest bar is drawn on top, the last of the series.
    QCOMPARE(bars->barSets().front()->at(bars->barSets().front()->count() - 1),
             static_cast<qreal>(top.front().confirmed));
    QVERIFY(test::confirmedPixels(view->grab().toImage()).first > 500);
}

// Twelve hotels with long names and a company with tens of thousands of
// presences: the window stays within the screen (offscreen: 800x600, less
// than 1024x768) and the axis reads "10.000", not "10000" (up to 30.000).
void ChartsTest::graficiFitsTheScreenAndGroupsThousands()
{
    auto figures = std::make_shared<ReportFigures>();
    Selection selection;
    selection.summary = false;
    figures->start(false, selection);
    figures->startMonth(Date{2024, 3, 1}, false, false);
    for (std::int64_t hotel = 1; hotel <= 12; ++hotel) {
        figures->setHotelName(hotel, "HOTEL LE GINESTRE RESORT E CENTRO BENESSERE " +
                                         std::to_string(hotel));
        HotelFigures& h = figures->addHotel(hotel, 1200);
        for (DayFigures& day : h.days)
            day.camCon = 1200;
        figures->startCompany(hotel, "DITTA " + std::to_string(hotel));
        figures->addDay(1, DayFigures{hotel * 2500, 0, 1200, 0, {}});
    }

    Grafici window(figures);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect area = window.screen()->availableGeometry();
    QVERIFY2(area.contains(window.frameGeometry()),
             qPrintable(QStringLiteral("%1x%2 on %3x%4")
                            .arg(window.frameGeometry().width())
                            .arg(window.frameGeometry().height())
                            .arg(area.width())
                            .arg(area.height())));

    window.tabs()->setCurrentIndex(1);
    auto* view = window.findChild<QChartView*>(QStringLiteral("Ditte"));
    QVERIFY(view);
    view->grab();
    QStringList numbers;
    for (const QGraphicsItem* item : view->scene()->items())
        if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item))
            if (text->toPlainText().contains(QRegularExpression(QStringLiteral("^[0-9.]+$"))))
                numbers << text->toPlainText();
    QVERIFY2(!numbers.filter(QRegularExpression(QStringLiteral("^[1-9][0-9]?\\.000$"))).isEmpty(),
             qPrintable(numbers.join(u' ')));
    QVERIFY2(numbers.filter(QRegularExpression(QStringLiteral("[0-9]{4}"))).isEmpty(),
             qPrintable(numbers.join(u' ')));
}

void ChartsTest::excelWritesTheWorkbookAndOpensIt()
{
    test::HotelFolder(m_dir.path()).destination("Ufficio", 1, "out.prn");
    FixedClock clock = test::fixedClock();
    test::ScriptedInteraction ui;
    std::vector<fs::path> opened;
    MenuStampa menu(DataFolder(m_dir.path()), "7", 1, clock, nullptr, &ui);
    menu.setFileOpener([&](const fs::path& file) {
        opened.push_back(file);
        return test::openedWell();
    });
    auto* excel = menu.findChild<QToolButton*>(QStringLiteral("Excel"));
    auto* charts = menu.findChild<QToolButton*>(QStringLiteral("Grafici"));
    QVERIFY(excel && charts);
    QVERIFY(!excel->isEnabled() && !charts->isEnabled());

    menu.setFigures(m_figures);
    QVERIFY(excel->isEnabled() && charts->isEnabled());
    excel->click();
    QCOMPARE(ui.warnings, std::vector<std::string>{});
    QCOMPARE(opened, std::vector<fs::path>{m_dir / "fd7.xlsx"});
    QVERIFY(test::readFile(m_dir / "fd7.xlsx").rfind("PK", 0) == 0);
}

void ChartsTest::theWindowsRequestHandsItsFiguresToThePrintMenu()
{
    qputenv("PCLocal", "7");
    test::TempDir dir;
    test::copyFixture("hotel", dir.path());
    fs::copy_file(m_dir / "Stampanti.mdb", dir / "Stampanti.mdb");
    FixedClock clock = test::fixedClock();
    test::ScriptedPrompts prompts; // Type 1
    KV7DeskTop window(DataFolder(dir.path()), clock, &prompts);
    window.show();
    for (int i : {0, 3})
        window.Text1(i)->setText(QStringLiteral("02"));
    for (int i : {2, 4})
        window.Text1(i)->setText(QStringLiteral("2024"));

    // The print menu comes up modally at the end of the request.
    bool seen = false, enabled = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<MenuStampa*>(QApplication::activeModalWidget());
        if (!menu)
            return;
        seen = true;
        enabled = menu->findChild<QToolButton*>(QStringLiteral("Grafici"))->isEnabled();
        menu->close();
    });
    poll.start(20);
    QSignalSpy finished(&window, &KV7DeskTop::printRequestFinished);
    QTest::mouseClick(window.Tasto(0), Qt::LeftButton);
    QVERIFY(finished.wait(60000));
    QVERIFY(seen);
    QVERIFY(enabled);
}

QTEST_MAIN(ChartsTest)
#include "ChartsTest.moc"
