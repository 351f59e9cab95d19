// The print menu: its lists, the archive copy, the buttons, printing on a raw
// file device and on the PDF destination without a PDF printer. A private
// CUPS scheduler (when it can start) stands for the system's printers.

#include "gui/output/MenuStampa.h"

#include "GuiTestSupport.h"
#include "common/KV7Routine.h"
#include "output/PrintJob.h"
#include "output/RawPrint.h"
#include "render/QtText.h"
#include "support/HotelFolder.h"
#include "support/PrivateCups.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// A data folder with destinations, settings and a report file of station 7.
class MenuFolder {
public:
    MenuFolder()
    {
        m_files.registry("(1, 1, 'EDEN', '')")
            .printSettings(1, "000000000000000000027069", "000000000000000001")
            .printSettings(2, "008000000000000001010", "")
            .counters();
        test::writeFile(m_dir / "fd7", "\xDA\xC4\xC4\xBF\r\n\xB3"
                                       "EDEN \xB3 1.234,50\r\n\x0C\r\nCITT\xE0 ROSSI\r\n");
    }

    void destination(const std::string& name, int tipo, const std::string& linea, int hotel = 1)
    {
        m_files.destination(name, tipo, linea, hotel);
    }

    const fs::path& path() const { return m_dir.path(); }
    fs::path operator/(std::string_view name) const { return m_dir / name; }

private:
    test::TempDir m_dir;
    test::HotelFolder m_files{m_dir.path()};
};

// Closes whatever modal window opens next (the preview opened by the menu).
void closeNextModal()
{
    QTimer::singleShot(50, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
}

QString q(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

std::string pdfText(const fs::path& pdf)
{
    const auto r = test::runTool("pdftotext", {"-layout", pdf.string(), "-"});
    return r.started() ? r.output : std::string();
}

} // namespace

class MenuStampaTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void listsCaptionsAndArchiveCopy();
    void emptyDestinationListClosesTheMenu();
    void theChoiceStaysAcrossActivations();
    void archiveAndCsvOpenWithTheAssociatedProgram();
    void theStatusLineSaysWhetherTheOpenerOpenedTheFile();
    void pdfButtonWithoutPdfDestinationWarns();
    void pdfButtonPrintsOnTheLastPdfDestination();
    void pdfDestinationWithoutPrinterWritesAndOpensAPdf();
    void rawPrintOnAFileDevice();
    void rawPrintThroughTheQueueChosenInVirtuale();

private:
    std::unique_ptr<MenuStampa> menu(const MenuFolder& folder, std::int64_t hotel = 1)
    {
        auto m = std::make_unique<MenuStampa>(DataFolder(folder.path()), "7", hotel, m_clock,
                                              nullptr, &m_ui);
        m->setFileOpener([this](const fs::path& file) {
            m_opened.push_back(file);
            return test::openedWell();
        });
        return m;
    }

    test::TemporarySettings m_settings;
    FixedClock m_clock = test::fixedClock();
    test::ScriptedInteraction m_ui;
    std::vector<fs::path> m_opened;
    std::unique_ptr<test::PrivateCups> m_cups;
    std::unique_ptr<test::SocketPrinter> m_printer;
    bool m_haveQueue = false;
};

void MenuStampaTest::initTestCase()
{
    // The system's printers are those of a private scheduler, or none at all.
    m_cups = std::make_unique<test::PrivateCups>();
    m_printer = std::make_unique<test::SocketPrinter>();
    const std::string problem = m_cups->start();
    if (problem.empty()) {
        const auto added =
            m_cups->lp("lpadmin", {"-p", "Ufficio", "-E", "-v",
                                   "socket://127.0.0.1:" + std::to_string(m_printer->port())});
        m_haveQueue = added.succeeded();
        qputenv("CUPS_SERVER", QByteArray::fromStdString(m_cups->socket()));
    } else {
        qWarning("CUPS cannot start here: %s", problem.c_str());
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    }
}

void MenuStampaTest::cleanupTestCase()
{
    m_cups.reset();
}

void MenuStampaTest::listsCaptionsAndArchiveCopy()
{
    MenuFolder f;
    f.destination("Ufficio", 1, "uscita.prn");
    f.destination("Reception", 1, "r.prn", 2);
    f.destination("PDF Ufficio", 2, "NessunaStampante");
    auto m = menu(f, 0);
    QCOMPARE(m->hotel(), std::int64_t(1));
    QCOMPARE(m->windowTitle(), QStringLiteral("Stampe non modificabili"));
    QVERIFY(m->windowFlags() & Qt::WindowStaysOnTopHint);
    m->show();

    auto* combo1 = m->findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* combo2 = m->findChild<QComboBox*>(QStringLiteral("Combo2"));
    QVERIFY(combo1 && combo2);
    QCOMPARE(combo1->count(), 2);
    QCOMPARE(combo1->itemText(0), QStringLiteral("Ufficio"));
    QCOMPARE(combo1->itemText(1), QStringLiteral("PDF Ufficio"));
    QCOMPARE(combo1->currentIndex(), 0);
    // The printers come from a thread of their own: the menu does not wait.
    QTRY_VERIFY(combo2->count() > 0);
    if (m_haveQueue) {
        QCOMPARE(combo2->count(), 1);
        QCOMPARE(combo2->itemText(0), QStringLiteral("Ufficio"));
    } else {
        QCOMPARE(combo2->itemText(0), QStringLiteral("<nessuna stampante>"));
    }
    QCOMPARE(combo2->currentText(), QString());

    QCOMPARE(m->findChild<QGroupBox*>(QStringLiteral("SSFrame1"))->title(),
             QStringLiteral("Selezione "));
    QCOMPARE(m->findChild<QLabel*>(QStringLiteral("Label1_0"))->text(),
             QStringLiteral("Stampante "));
    QCOMPARE(m->findChild<QLabel*>(QStringLiteral("Label1_1"))->text(),
             QStringLiteral("Virtuale "));
    QCOMPARE(m->findChild<QCheckBox*>(QStringLiteral("Chk"))->text(),
             QStringLiteral("Stampa Compressa"));
    QCOMPARE(m->findChild<QCheckBox*>(QStringLiteral("Chk2"))->text(),
             QStringLiteral("Stampa orizzontale"));
    QCOMPARE(m->findChild<QCheckBox*>(QStringLiteral("Chk3"))->text(),
             QStringLiteral("Stampa fronte / retro"));
    for (int i = 0; i < 6; ++i) {
        auto* button = m->findChild<QToolButton*>(QStringLiteral("Tst_%1").arg(i));
        QVERIFY(button);
        QVERIFY(button->text().isEmpty() || !button->icon().isNull());
    }
    // The pictures come with the program, whatever the desktop's icon theme.
    for (auto* button : m->findChildren<QToolButton*>())
        QVERIFY2(!button->icon().pixmap(32, 32).isNull(), qPrintable(button->objectName()));

    // The archive copy: the report's bytes under a name dated by the clock.
    QCOMPARE(m->archiveCopyPath(), f / "doc" / "fd7202612081400.doc");
    QCOMPARE(test::readFile(m->archiveCopyPath()), test::readFile(f / "fd7"));
    QCOMPARE(m->defaultPdfPath(), f / "doc" / "fd7202612081400.pdf");
}

void MenuStampaTest::emptyDestinationListClosesTheMenu()
{
    MenuFolder f;
    f.destination("Reception", 1, "r.prn", 2);
    auto m = menu(f);
    bool stillOpen = false;
    QTimer::singleShot(3000, m.get(), [&] {
        if (m->isVisible()) {
            stillOpen = true;
            m->reject();
        }
    });
    QCOMPARE(m->exec(), int(QDialog::Rejected));
    QVERIFY(!stillOpen);
}

void MenuStampaTest::theChoiceStaysAcrossActivations()
{
    MenuFolder f;
    f.destination("Laser Ufficio", 1, "uscita.prn");
    f.destination("Aghi Reception", 1, "aghi.prn");
    auto m = menu(f);
    m->show();
    QVERIFY(QTest::qWaitForWindowActive(m.get()));
    auto* combo1 = m->findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* compressed = m->findChild<QCheckBox*>(QStringLiteral("Chk"));
    auto* landscape = m->findChild<QCheckBox*>(QStringLiteral("Chk2"));
    combo1->setCurrentIndex(1);
    compressed->setChecked(true);
    landscape->setChecked(true);

    // Away and back, and one of the menu's own messages.
    for (int i = 0; i < 3; ++i) {
        QEvent away(QEvent::WindowDeactivate);
        QApplication::sendEvent(m.get(), &away);
        QEvent back(QEvent::WindowActivate);
        QApplication::sendEvent(m.get(), &back);
        QCoreApplication::processEvents();
    }
    m_ui.warnings.clear();
    m->Tst_Click(2); // no PDF destination: a message
    QCOMPARE(m_ui.warnings.size(), std::size_t(1));
    m->activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(combo1->currentText(), QStringLiteral("Aghi Reception"));
    QVERIFY(compressed->isChecked() && landscape->isChecked());

    // Back from the preview the list is read again and the choice stays.
    f.destination("Nuova", 1, "n.prn");
    closeNextModal();
    m->Tst_Click(4);
    QCOMPARE(combo1->count(), 3);
    QCOMPARE(combo1->currentText(), QStringLiteral("Aghi Reception"));
    QVERIFY(compressed->isChecked() && landscape->isChecked());

    // The print goes where it was chosen, and the status line says so.
    QSignalSpy status(m.get(), &MenuStampa::statusMessage);
    m->Tst_Click(3);
    QVERIFY(fs::exists(f / "aghi.prn"));
    QVERIFY(!fs::exists(f / "uscita.prn"));
    QCOMPARE(status.size(), 1);
    const QString said = status[0][0].toString();
    QVERIFY2(said.contains(QStringLiteral("Aghi Reception")) && said.contains(q(f / "aghi.prn")),
             qPrintable(said));
}

void MenuStampaTest::archiveAndCsvOpenWithTheAssociatedProgram()
{
    MenuFolder f;
    f.destination("Ufficio", 1, "uscita.prn");
    auto m = menu(f);
    m_opened.clear();
    m->Tst_Click(0);
    m->Tst_Click(1);
    QCOMPARE(m_opened.size(), std::size_t(2));
    QCOMPARE(m_opened[0], m->archiveCopyPath());
    QCOMPARE(m_opened[1], f / "fd7.csv");
    QCOMPARE(test::readFile(f / "fd7.csv"), std::string(",  ,\r\n,EDEN ,\x80"
                                                        "1234.50\r\n\x0C\r\nCITT\xE0 ROSSI\r\n"));
}

void MenuStampaTest::theStatusLineSaysWhetherTheOpenerOpenedTheFile()
{
    struct Case {
        int exitStatus;
        QString said;
        bool boxShown;
    };
    const std::vector<Case> cases{
        {0, QStringLiteral(" (aperto con xdg-open)."), false},
        {3,
         QStringLiteral(", non aperto: xdg-open \u00E8 terminato con il codice 3 (manca un "
                        "programma necessario)."),
         true}};
    const QByteArray path = qgetenv("PATH");
    for (const Case& c : cases) {
        MenuFolder f;
        f.destination("Ufficio", 1, "uscita.prn");
        // The desktop's opener, first on the PATH: it notes the file and ends as told.
        fs::create_directory(f / "bin");
        test::writeFile(f / "bin" / "xdg-open", "#!/bin/sh\necho \"$1\" >> \"" +
                                                    (f / "aperti.txt").string() + "\"\nexit " +
                                                    std::to_string(c.exitStatus) + "\n");
        ::chmod((f / "bin" / "xdg-open").c_str(), 0755);
        qputenv("PATH", QByteArray::fromStdString((f / "bin").string()) + ":" + path);
        auto m = menu(f);
        m->setFileOpener(nullptr);
        QSignalSpy status(m.get(), &MenuStampa::statusMessage);
        m_ui.warnings.clear();
        m->Tst_Click(1);
        qputenv("PATH", path);
        QCOMPARE(test::readFile(f / "aperti.txt"), (f / "fd7.csv").string() + "\n");
        QCOMPARE(status.size(), 1);
        QCOMPARE(status[0][0].toString(),
                 QStringLiteral("CSV scritto: ") + q(f / "fd7.csv") + c.said);
        // The box says where the file is.
        QCOMPARE(m_ui.warnings.size(), std::size_t(c.boxShown ? 1 : 0));
        if (c.boxShown)
            QVERIFY(test::contains(m_ui.warnings, f.path().string() + "."));
    }
}

void MenuStampaTest::pdfButtonWithoutPdfDestinationWarns()
{
    MenuFolder f;
    f.destination("Ufficio", 1, "uscita.prn");
    auto m = menu(f);
    m->show();
    m_ui.warnings.clear();
    m->Tst_Click(2);
    QCOMPARE(m_ui.warnings.size(), std::size_t(1));
    QCOMPARE(m_ui.warnings.front(), std::string("Stampa: Nessuna stampante PDF impostata!"));
    QVERIFY(!fs::exists(f / "uscita.prn"));
}

void MenuStampaTest::pdfButtonPrintsOnTheLastPdfDestination()
{
    MenuFolder f;
    f.destination("PDF Ufficio", 2, "ufficio.pdf");
    f.destination("Ufficio", 1, "uscita.prn");
    f.destination("PDF Reception", 2, "reception.pdf");
    f.destination("pdf minuscolo", 2, "minuscolo.pdf");
    auto m = menu(f);
    m->show();
    m_opened.clear();
    m->Tst_Click(2);
    QVERIFY(fs::exists(f / "reception.pdf"));
    QVERIFY(!fs::exists(f / "ufficio.pdf"));
    QVERIFY(!fs::exists(f / "minuscolo.pdf"));
    QCOMPARE(m_opened, std::vector<fs::path>{f / "reception.pdf"});
}

void MenuStampaTest::pdfDestinationWithoutPrinterWritesAndOpensAPdf()
{
    MenuFolder f;
    f.destination("PDF Ufficio", 2, "NessunaStampanteConQuestoNome");
    auto m = menu(f);
    m->show();
    m->findChild<QCheckBox*>(QStringLiteral("Chk2"))->setChecked(true);
    m_opened.clear();
    m_ui.warnings.clear();
    m->Tst_Click(3);
    QVERIFY2(m_ui.warnings.empty(), m_ui.warnings.empty() ? "" : m_ui.warnings.front().c_str());
    const fs::path pdf = m->defaultPdfPath();
    QVERIFY(fs::exists(pdf));
    QCOMPARE(test::readFile(pdf).substr(0, 5), std::string("%PDF-"));
    QCOMPARE(m_opened, std::vector<fs::path>{pdf});
    const std::string text = pdfText(pdf);
    if (text.empty())
        QSKIP("pdftotext is not installed");
    // Frames are drawn as frames (UTF-8 here).
    QVERIFY2(text.find("\u250C\u2500\u2500\u2510") != std::string::npos, text.c_str());
    QVERIFY2(text.find("\u2502EDEN \u2502 1.234,50") != std::string::npos, text.c_str());
    QVERIFY2(text.find("CITT\xC3\xA0 ROSSI") != std::string::npos, text.c_str());
    // The form-feed line began exactly one new page.
    QVERIFY2(text.find('\f') != std::string::npos, text.c_str());
    QCOMPARE(std::count(text.begin(), text.end(), '\f'), std::ptrdiff_t(2));
}

void MenuStampaTest::rawPrintOnAFileDevice()
{
    MenuFolder f;
    f.destination("Ufficio", 1, "uscita.prn");
    auto m = menu(f);
    m->show();
    m->findChild<QCheckBox*>(QStringLiteral("Chk"))->setChecked(true);
    m->Tst_Click(3);
    QVERIFY(fs::exists(f / "uscita.prn"));
    PrintChoices choices;
    choices.destination = "Ufficio";
    choices.compressed = true;
    QCOMPARE(test::readFile(f / "uscita.prn"),
             rawPrintBytes(preparePrint(DataFolder(f.path()), "7", 1, choices).job));
    QCOMPARE(test::readFile(f / "uscita.prn").substr(0, 9), std::string("\0\0\0\0\0 \r\n-", 9));

    // A print that fails says so in the status line too, not only in a box.
    f.destination("Aghi", 1, "LPT1:");
    m->Form_Activate();
    m->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(1);
    QSignalSpy status(m.get(), &MenuStampa::statusMessage);
    m_ui.warnings.clear();
    m->Tst_Click(3);
    QCOMPARE(m_ui.warnings.size(), std::size_t(1));
    QCOMPARE(status.size(), 1);
    QCOMPARE(toCp1252(status[0][0].toString()),
             m_ui.warnings.front().substr(std::string_view("Stampa: ").size()) + ".");
}

void MenuStampaTest::rawPrintThroughTheQueueChosenInVirtuale()
{
    if (!m_haveQueue)
        QSKIP("CUPS cannot start here");
    MenuFolder f;
    f.destination("Ufficio", 1, "uscita.prn");
    auto m = menu(f);
    m->show();
    auto* combo2 = m->findChild<QComboBox*>(QStringLiteral("Combo2"));
    QTRY_VERIFY(combo2->count() > 0);
    combo2->setCurrentIndex(0);
    m->Tst_Click(3);
    const auto bytes = m_printer->receive(std::chrono::seconds(30));
    QVERIFY2(bytes.has_value(), m_cups->log().c_str());
    QVERIFY(!fs::exists(f / "uscita.prn"));
    PrintChoices choices;
    choices.destination = "Ufficio";
    QCOMPARE(*bytes, rawPrintBytes(preparePrint(DataFolder(f.path()), "7", 1, choices).job));
}

QTEST_MAIN(MenuStampaTest)
#include "MenuStampaTest.moc"
