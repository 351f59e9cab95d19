// The "Indicatori" window on the demo data: opened from the main window it
// shows the command line's figures for the same choices; the comparison and
// the nights ahead compute again, the last choice winning; its files are
// written where the person says, never over a data file.

#include "gui/indicators/Indicatori.h"

#include "GuiTestSupport.h"
#include "demo/DemoData.h"
#include "gui/charts/IndicatorChartView.h"
#include "gui/desk/KV7DeskTop.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <deque>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// A line's words, one blank apart.
QString words(const QString& line)
{
    return line.simplified();
}

// What a table shows, heading first, a row a line, as the text table lays
// it out once blanks are squeezed.
QStringList shownRows(const QTableView* table)
{
    const QAbstractItemModel& model = *table->model();
    QStringList heading;
    for (int c = 0; c < model.columnCount(); ++c)
        heading << model.headerData(c, Qt::Horizontal).toString();
    QStringList rows{words(heading.join(QLatin1Char(' ')))};
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.data(model.index(r, c)).toString();
        rows << words(cells.join(QLatin1Char(' ')));
    }
    return rows;
}

// The table of `presenze-cli kpi`'s output: from its heading to the blank
// line before the legend.
QStringList commandLineRows(const std::string& out)
{
    const QStringList lines = QString::fromStdString(out).split(QLatin1Char('\n'));
    QStringList rows;
    bool inTable = false;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("Hotel ")))
            inTable = true;
        if (inTable && (line.startsWith(QLatin1String("Occup. =")) ||
                        line.startsWith(QLatin1String("Camere ="))))
            break;
        if (inTable)
            rows << words(line);
    }
    while (!rows.isEmpty() && rows.back().isEmpty())
        rows.removeLast();
    return rows;
}

} // namespace

class IndicatoriTest : public QObject {
    Q_OBJECT

private:
    test::TempDir m_dir;
    FixedClock m_clock = test::fixedClock(); // 08/12/2026
    test::ScriptedPrompts m_prompts;

    std::unique_ptr<Indicatori> open(bool compare)
    {
        IndicatorRequest request;
        request.period.months = {1, 2026, 12, 2026};
        request.compare = compare;
        auto window =
            std::make_unique<Indicatori>(DataFolder(m_dir.path()), request, m_clock, m_prompts);
        window->show();
        return window;
    }
    static bool settled(const Indicatori& window)
    {
        return QTest::qWaitFor([&] { return !window.isBusy(); }, 60000) &&
               window.indicators() != nullptr;
    }
    test::RunResult kpi(const std::vector<std::string>& options) const
    {
        std::vector<std::string> args{"kpi", "--from", "01/2026", "--to", "12/2026"};
        args.insert(args.end(), options.begin(), options.end());
        return test::runProgram("presenze-cli", args, m_dir.path());
    }

private slots:
    void initTestCase()
    {
        DemoOptions options;
        options.seed = 5;
        options.reference = Date{2026, 12, 8};
        writeDemoData(m_dir.path(), options);
        for (const auto& entry : fs::directory_iterator(m_dir.path()))
            test::settle(entry.path());
    }

    void theMainWindowsChoicesShowTheCommandLinesFigures()
    {
        KV7DeskTop desk(DataFolder(m_dir.path()), m_clock, &m_prompts);
        desk.show();
        desk.Text1(0)->setText(QStringLiteral("01"));
        desk.Text1(2)->setText(QStringLiteral("2026"));
        desk.Text1(3)->setText(QStringLiteral("12"));
        desk.Text1(4)->setText(QStringLiteral("2026"));
        desk.Opt(2)->click();
        desk.ChkHtl(2)->click();
        QVERIFY(!desk.ChkHtl(2)->isChecked());
        QStringList months;
        QStringList companies;
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            auto* window = qobject_cast<Indicatori*>(QApplication::activeModalWidget());
            opened = window != nullptr;
            if (!window)
                return;
            window->compareBox()->click();
            if (settled(*window)) {
                months = shownRows(window->monthTable());
                companies = shownRows(window->companyTable());
            }
            window->close();
        });
        desk.indicatoriButton()->click();
        QVERIFY(opened);

        std::string hotels;
        for (int h = 1; h <= 12; ++h)
            if (h != 2)
                hotels += (hotels.empty() ? "" : ",") + std::to_string(h);
        const std::vector<std::string> same{"--kind", "all", "--hotels", hotels, "--compare"};
        const auto byMonth = kpi(same);
        QVERIFY2(byMonth.status == 0, byMonth.err.c_str());
        std::vector<std::string> byCompanyOptions = same;
        byCompanyOptions.insert(byCompanyOptions.end(), {"--by", "company"});
        const auto byCompany = kpi(byCompanyOptions);
        QVERIFY2(byCompany.status == 0, byCompany.err.c_str());
        QVERIFY(months.size() > 11 * 13 * 3);
        QCOMPARE(months, commandLineRows(byMonth.out));
        QVERIFY(companies.join(QLatin1Char('\n')).contains(QLatin1String("Altre ditte")));
        QCOMPARE(companies, commandLineRows(byCompany.out));
    }

    void everyChoiceComputesAgainAndTheLastOneWins()
    {
        const auto window = open(false);
        QVERIFY(settled(*window));
        const QStringList plain = shownRows(window->monthTable());
        const auto lastYearRows = [&] {
            return shownRows(window->monthTable()).filter(QStringLiteral("anno prec.")).size();
        };
        QCOMPARE(lastYearRows(), 0);

        window->compareBox()->click();
        QVERIFY(settled(*window));
        const qsizetype figures = plain.size() - 1 - plain.filter(QRegularExpression("^$")).size();
        QCOMPARE(lastYearRows(), figures);
        QCOMPARE(shownRows(window->monthTable()).size(), plain.size() + 2 * figures);
        QVERIFY(window->chartView()->chart() != nullptr);

        // Choices made while a computation is at work: the last one counts.
        window->compareBox()->click();
        window->periodChoice(1)->click();
        window->compareBox()->click();
        window->compareBox()->click();
        QVERIFY(settled(*window));
        const Indicators& ahead = *window->indicators();
        QVERIFY(!ahead.compare);
        QCOMPARE(ahead.firstNight, (Date{2026, 12, 8}));
        QCOMPARE(ahead.lastNight, (Date{2027, 1, 6}));
        QCOMPARE(lastYearRows(), 0);

        window->periodChoice(0)->click();
        QVERIFY(settled(*window));
        QCOMPARE(shownRows(window->monthTable()), plain);
        QVERIFY(window->excelButton()->isEnabled());
    }

    void filesAreWrittenWhereThePersonSaysNeverOverDataFiles()
    {
        const auto window = open(true);
        QVERIFY(settled(*window));
        fs::copy_file(m_dir / "Camere_Prenotazione.mdb", m_dir / "dati.csv");
        const std::string data = test::readFile(m_dir / "dati.csv");
        std::deque<fs::path> names{m_dir / "mesi",  m_dir / "ditte.csv", m_dir / "k.xlsx",
                                   m_dir / "k.pdf", m_dir / "dati.csv",  m_dir / "fd3.csv",
                                   m_dir / "k.txt"};
        window->setFileDialog([&](QWidget*, const QString&, const fs::path& proposed,
                                  const QString& filter) -> std::optional<fs::path> {
            if (names.empty())
                return std::nullopt;
            [&] {
                QVERIFY(proposed.parent_path() == m_dir.path() ||
                        proposed.parent_path() == names.front().parent_path());
                QVERIFY(filter.contains(QString::fromStdString(proposed.extension().string())));
            }();
            const fs::path name = names.front();
            names.pop_front();
            return std::optional<fs::path>(name);
        });
        std::vector<fs::path> opened;
        window->setFileOpener([&](const fs::path& file) {
            opened.push_back(file);
            return test::openedWell();
        });
        window->Csv_Click();
        window->tabs()->setCurrentIndex(1);
        window->Csv_Click();
        window->Excel_Click();
        window->Pdf_Click();
        QVERIFY(opened == (std::vector<fs::path>{m_dir / "mesi.csv", m_dir / "ditte.csv",
                                                 m_dir / "k.xlsx", m_dir / "k.pdf"}));
        QVERIFY(test::readFile(m_dir / "mesi.csv").starts_with("Hotel,Mese,CamereDisponibili,"));
        QVERIFY(test::readFile(m_dir / "ditte.csv").starts_with("Hotel,Ditta,Presenze,"));
        QVERIFY(test::readFile(m_dir / "k.xlsx").starts_with("PK"));
        QVERIFY(test::readFile(m_dir / "k.pdf").starts_with("%PDF"));
        QVERIFY(m_prompts.warnings.empty());

        window->Csv_Click();
        window->Csv_Click();
        QCOMPARE(m_prompts.warnings.size(), std::size_t(3));
        QVERIFY2(m_prompts.warnings[0].find("file dei dati") != std::string::npos,
                 m_prompts.warnings[0].c_str());
        QVERIFY2(m_prompts.warnings[1].find("postazione") != std::string::npos,
                 m_prompts.warnings[1].c_str());
        QVERIFY2(m_prompts.warnings[2].find("terminare in .csv") != std::string::npos,
                 m_prompts.warnings[2].c_str());
        QCOMPARE(opened.size(), std::size_t(4));
        QVERIFY(!fs::exists(m_dir / "k.txt") && !fs::exists(m_dir / "k.txt.csv"));
        QVERIFY(test::readFile(m_dir / "dati.csv") == data);
        QVERIFY(!fs::exists(m_dir / "fd3.csv"));

        const auto pdf = test::runTool("pdftotext", {(m_dir / "k.pdf").string(), "-"});
        if (!pdf.started())
            QSKIP("pdftotext is not installed");
        for (const char* text : {"per mese", "per ditta", "Totale gruppo", "Altre ditte",
                                 "Occupazione delle camere per mese", "Pagina 1 di"})
            QVERIFY2(pdf.output.find(text) != std::string::npos, text);
    }
};

QTEST_MAIN(IndicatoriTest)
#include "IndicatoriTest.moc"
