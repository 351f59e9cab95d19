// The ISTAT window and its beds editor: on a demo month the window shows the
// figures and writes the workbook of presenze-cli istat; "Letti per hotel"
// saves and reads back LettiHotel.txt, leaves it alone on "Annulla" and names
// the line of a bad file.

#include "gui/istat/Istat.h"

#include "GuiTestSupport.h"
#include "demo/DemoData.h"
#include "gui/istat/LettiHotel.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>
#include <deque>
#include <map>
#include <memory>
#include <sstream>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// "hotel,YYYY-MM-DD,nationality" -> "before,arrivals,departures,present[,rooms]".
using Figures = std::map<std::string, std::string>;

Figures csvFigures(const std::string& csv)
{
    Figures figures;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line); // the heading
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, ',');)
            fields.push_back(field);
        if (fields.size() == 7)
            fields.emplace_back(); // no rooms for a nationality
        if (fields.size() != 8)
            continue;
        std::string values = fields[3] + "," + fields[4] + "," + fields[5] + "," + fields[6];
        if (!fields[7].empty())
            values += "," + fields[7];
        figures[fields[0] + "," + fields[1] + "," + fields[2]] = values;
    }
    return figures;
}

std::int64_t shownNumber(const QTableWidget* table, int row, int column)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toLongLong(table->item(row, column)->text());
}

// What the window shows, every hotel and nationality, in the CSV's terms.
Figures windowFigures(Istat& w)
{
    Figures figures;
    const int year = w.movement()->first.year;
    for (int h = 0; h < w.hotelChoice()->count(); ++h) {
        w.hotelChoice()->setCurrentIndex(h);
        const std::string hotel = std::to_string(w.movement()->hotels[std::size_t(h)].hotel);
        for (int n = 0; n < w.nationalityChoice()->count(); ++n) {
            w.nationalityChoice()->setCurrentIndex(n);
            const std::string nation =
                n == 0 ? "Totale" : w.nationalityChoice()->itemText(n).toStdString();
            const QTableWidget* days = w.dayTable();
            for (int r = 0; r + 1 < days->rowCount(); ++r) {
                // "Lun 02/11"
                const QString day = days->item(r, 0)->text();
                const std::string date = std::to_string(year) + "-" + day.mid(7, 2).toStdString() +
                                         "-" + day.mid(4, 2).toStdString();
                std::string values;
                bool any = false;
                for (int c = 1; c <= 4; ++c) {
                    const std::int64_t value = shownNumber(days, r, c);
                    any = any || value != 0;
                    values += (c > 1 ? "," : "") + std::to_string(value);
                }
                if (n == 0)
                    values += "," + std::to_string(shownNumber(days, r, 5));
                if (n == 0 || any)
                    figures[hotel + "," + date + "," + nation] = values;
            }
        }
    }
    return figures;
}

// "Camere disponibili (al giorno)" and the like of the text, hotel by hotel.
std::vector<std::string> textSummary(const std::string& out)
{
    std::vector<std::string> values;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        for (const char* label : {"  Camere disponibili", "  Letti disponibili",
                                  "  Giorni di apertura", "  Giornate letto"})
            if (line.rfind(label, 0) == 0)
                values.push_back(line.substr(line.find_last_of(' ') + 1));
    return values;
}

std::vector<std::string> windowSummary(Istat& w)
{
    std::vector<std::string> values;
    for (int h = 0; h < w.hotelChoice()->count(); ++h) {
        w.hotelChoice()->setCurrentIndex(h);
        for (int r = 0; r < w.summaryTable()->rowCount(); ++r)
            values.push_back(w.summaryTable()->item(r, 1)->text().remove('.').toStdString());
    }
    return values;
}

std::string unzipped(const fs::path& xlsx, const std::string& entry)
{
    return test::runTool("unzip", {"-p", xlsx.string(), entry}).output;
}

} // namespace

class IstatTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_demo = std::make_unique<test::TempDir>();
        DemoOptions options;
        options.reference = Date{2026, 11, 15};
        writeDemoData(m_demo->path(), options);
    }

    void showsAndWritesWhatTheCommandLineDoes();
    void bedsAreSavedAndReadBack();
    void annullaLeavesTheBedsFileAsItWas();
    void aBadBedsLineIsNamedAndReplacedOnlyWhenConfirmed();

private:
    std::unique_ptr<test::TempDir> m_demo;
};

void IstatTest::showsAndWritesWhatTheCommandLineDoes()
{
    test::TempDir out;
    const auto cli = test::runProgram("presenze-cli",
                                      {"istat", "--month", "11/2026", "--data-dir",
                                       m_demo->path().string(), "--csv", (out / "cli.csv").string(),
                                       "--xlsx", (out / "cli.xlsx").string()});
    QCOMPARE(cli.status, 0);

    test::ScriptedPrompts prompts;
    IstatOptions options;
    options.month = 11;
    options.year = 2026;
    Istat w(DataFolder(m_demo->path()), options, prompts);
    std::vector<fs::path> opened;
    w.setFileOpener([&opened](const fs::path& file) {
        opened.push_back(file);
        return test::openedWell();
    });
    w.show();
    QVERIFY(w.isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), 60000);
    QVERIFY2(prompts.warnings.empty(), prompts.warnings.empty() ? "" : prompts.warnings[0].c_str());
    QCOMPARE(w.hotelChoice()->count(), 12);

    const Figures expected = csvFigures(test::readFile(out / "cli.csv"));
    QVERIFY(expected.size() > 12 * 30);
    const Figures shown = windowFigures(w);
    for (const auto& [key, values] : expected)
        QCOMPARE(QString::fromStdString(key + " " + (shown.count(key) ? shown.at(key) : "-")),
                 QString::fromStdString(key + " " + values));
    QCOMPARE(shown.size(), expected.size());
    // The beds of the demo's LettiHotel.txt, and the rest of the summary.
    const auto summary = textSummary(cli.out);
    QCOMPARE(summary.size(), std::size_t(4 * 12));
    QVERIFY(std::find(summary.begin(), summary.end(), "-") == summary.end());
    QCOMPARE(windowSummary(w), summary);

    // A data file is refused as the workbook; a file of the user's gets the
    // command line's workbook.
    const std::string registry = test::readFile(m_demo->path() / "AnagraficaHotels.mdb");
    std::deque<std::optional<fs::path>> named{m_demo->path() / "AnagraficaHotels.mdb", std::nullopt,
                                              out / "window.xlsx"};
    w.setFileDialog([&named](QWidget*, const QString&, const fs::path&, const QString&) {
        const auto file = named.front();
        named.pop_front();
        return file;
    });
    w.excelButton()->click();
    QVERIFY(!w.isBusy());
    QVERIFY(named.size() == 1); // asked again after the refusal, then cancelled
    QVERIFY(test::contains(prompts.warnings, "AnagraficaHotels.mdb"));
    QCOMPARE(test::readFile(m_demo->path() / "AnagraficaHotels.mdb"), registry);
    w.excelButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), 60000);
    QCOMPARE(opened, std::vector<fs::path>{out / "window.xlsx"});
    for (const char* entry : {"xl/workbook.xml", "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml",
                              "xl/worksheets/sheet12.xml"}) {
        const std::string window = unzipped(out / "window.xlsx", entry);
        QVERIFY2(!window.empty(), entry);
        QVERIFY2(window == unzipped(out / "cli.xlsx", entry), entry);
    }
}

void IstatTest::bedsAreSavedAndReadBack()
{
    test::TempDir dir;
    test::writeRegistry(dir.path(), 3);
    test::ScriptedPrompts prompts;
    {
        LettiHotel editor(DataFolder(dir.path()), prompts);
        QCOMPARE(editor.hotelNumbers(), (std::vector<std::int64_t>{1, 2, 3}));
        QVERIFY(editor.Letti(1)->text().isEmpty());
        // Digits only.
        QTest::keyClicks(editor.Letti(1), "4a0");
        QCOMPARE(editor.Letti(1)->text(), QStringLiteral("40"));
        editor.Letti(3)->setText("120");
        editor.saveButton()->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
    }
    QCOMPARE(test::readFile(dir / "LettiHotel.txt"), std::string("1 40\r\n3 120\r\n"));

    // A line of a hotel the registry lacks stays; an emptied field goes.
    test::writeFile(dir / "LettiHotel.txt", "3 120\r\n1 40\r\n7 15\r\n");
    {
        LettiHotel editor(DataFolder(dir.path()), prompts);
        QCOMPARE(editor.Letti(1)->text(), QStringLiteral("40"));
        QVERIFY(editor.Letti(2)->text().isEmpty());
        QCOMPARE(editor.Letti(3)->text(), QStringLiteral("120"));
        editor.Letti(1)->clear();
        editor.Letti(2)->setText("0");
        editor.saveButton()->click();
    }
    QCOMPARE(test::readFile(dir / "LettiHotel.txt"), std::string("2 0\r\n3 120\r\n7 15\r\n"));
    QVERIFY(prompts.warnings.empty());
}

void IstatTest::annullaLeavesTheBedsFileAsItWas()
{
    test::TempDir dir;
    test::writeRegistry(dir.path(), 2);
    test::ScriptedPrompts prompts;
    for (const std::optional<std::string>& before :
         {std::optional<std::string>(), std::optional<std::string>("2 30\n1 10\n")}) {
        if (before)
            test::writeFile(dir / "LettiHotel.txt", *before);
        LettiHotel editor(DataFolder(dir.path()), prompts);
        editor.Letti(1)->setText("99");
        editor.Letti(2)->clear();
        editor.cancelButton()->click();
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(fs::exists(dir / "LettiHotel.txt"), before.has_value());
        if (before)
            QCOMPARE(test::readFile(dir / "LettiHotel.txt"), *before);
    }
    QVERIFY(prompts.questions.empty());
}

void IstatTest::aBadBedsLineIsNamedAndReplacedOnlyWhenConfirmed()
{
    test::TempDir dir;
    test::writeRegistry(dir.path(), 3);
    const std::string bad = "1 40\r\n\r\n2 venti\r\n3 12\r\n";
    test::writeFile(dir / "LettiHotel.txt", bad);
    test::ScriptedPrompts prompts;
    LettiHotel editor(DataFolder(dir.path()), prompts);
    QCOMPARE(prompts.warnings.size(), std::size_t(1));
    QVERIFY2(test::contains(prompts.warnings, "Riga 3 non valida") &&
                 test::contains(prompts.warnings, "LettiHotel.txt"),
             prompts.warnings[0].c_str());
    // The good lines are there to fix the bad one.
    QCOMPARE(editor.Letti(1)->text(), QStringLiteral("40"));
    QVERIFY(editor.Letti(2)->text().isEmpty());
    QCOMPARE(editor.Letti(3)->text(), QStringLiteral("12"));
    editor.Letti(2)->setText("20");

    prompts.answers = {AnswerNo};
    editor.saveButton()->click();
    QCOMPARE(test::readFile(dir / "LettiHotel.txt"), bad);
    QVERIFY(test::contains(prompts.questions, "Sostituirlo"));
    prompts.answers = {AnswerYes};
    editor.saveButton()->click();
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    QCOMPARE(test::readFile(dir / "LettiHotel.txt"), std::string("1 40\r\n2 20\r\n3 12\r\n"));
}

QTEST_MAIN(IstatTest)
#include "IstatTest.moc"
