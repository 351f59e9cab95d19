// `presenze-cli kpi --chart` on the demo data: a PNG and an SVG that show
// every hotel's name and the group's figures written the Italian way, and a
// name that would replace a data file refused with nothing written.

#include "render/ChartColours.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QtTest>
#include <filesystem>

using namespace presenze;
namespace fs = std::filesystem;

class IndicatorChartTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void chartIsWrittenAsPngAndSvg();
    void chartIsRefusedOverADataFile();

private:
    test::RunResult kpi(const std::vector<std::string>& more) const;

    test::TempDir m_dir;
};

void IndicatorChartTest::initTestCase()
{
    const auto demo =
        test::runProgram("presenze-cli", {"demo", m_dir.path().string(), "--date", "08/12/2026"});
    QVERIFY2(demo.status == 0, demo.err.c_str());
}

test::RunResult IndicatorChartTest::kpi(const std::vector<std::string>& more) const
{
    std::vector<std::string> args = {"kpi", "--from", "01/2026", "--to", "12/2026", "--compare"};
    args.insert(args.end(), more.begin(), more.end());
    return test::runProgram("presenze-cli", args, m_dir.path());
}

void IndicatorChartTest::chartIsWrittenAsPngAndSvg()
{
    const auto run = kpi({"--csv", "k.csv", "--chart", "k.png"});
    QVERIFY2(run.status == 0, run.err.c_str());
    QVERIFY(run.out.find((m_dir / "k.png").string()) != std::string::npos);
    const QImage image(QString::fromStdString((m_dir / "k.png").string()));
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 800 && image.height() > 800);
    int columns = 0;
    int line = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            columns += pixel == chart::kPeriod.rgb();
            line += pixel == chart::kText.rgb();
        }
    }
    QVERIFY2(columns > 5000 && line > 5000,
             qPrintable(QStringLiteral("%1 %2").arg(columns).arg(line)));

    QVERIFY2(kpi({"--chart", "k.SVG"}).status == 0, "svg");
    const std::string svg = test::readFile(m_dir / "k.SVG");
    QVERIFY(svg.find("<svg") != std::string::npos);
    // Every hotel whole, and the group's ADR as the CSV has it, the Italian way.
    for (const char* hotel : {"HOTEL MIRAMARE PALACE", "HOTEL CITT\u00C0 DI PARMA",
                              "HOTEL LE GINESTRE RESORT", "Totale gruppo"})
        QVERIFY2(svg.find(hotel) != std::string::npos, hotel);
    const std::string csv = test::readFile(m_dir / "k.csv");
    const auto group = csv.find("\r\nTotale,Totale,");
    QVERIFY(group != std::string::npos);
    QStringList fields =
        QString::fromStdString(csv.substr(group + 2, csv.find("\r", group + 2) - group - 2))
            .split(QLatin1Char(','));
    QCOMPARE(fields.size(), 24);
    for (const int adr : {9, 20}) { // ADR, ADRAP
        const QString italian =
            fields[adr].replace(QLatin1Char('.'), QLatin1Char(',')) + QStringLiteral(" \u20AC");
        QVERIFY2(svg.find(italian.toStdString()) != std::string::npos, qPrintable(italian));
    }
}

void IndicatorChartTest::chartIsRefusedOverADataFile()
{
    fs::copy_file(m_dir / "Camere_Prenotazione.mdb", m_dir / "dati.png");
    const std::string data = test::readFile(m_dir / "dati.png");
    struct Case {
        const char* name;
        int status;
        const char* message;
    };
    for (const Case& c : {Case{"Camere_Prenotazione.mdb", 2, ".png o .svg"},
                          Case{"dati.png", 1, "file dei dati"}}) {
        const auto run = kpi({"--csv", "rifiutato.csv", "--chart", c.name});
        QCOMPARE(run.status, c.status);
        QVERIFY2(run.err.find(c.message) != std::string::npos, run.err.c_str());
        QVERIFY(!fs::exists(m_dir / "rifiutato.csv"));
    }
    QVERIFY(test::readFile(m_dir / "dati.png") == data);
}

QTEST_MAIN(IndicatorChartTest)
#include "IndicatorChartTest.moc"
