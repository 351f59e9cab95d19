// "&Stampa": the checks of the month range, the company and the hotels, the
// report-type question, the report built month by month while the window
// waits, stopping it, and the errors.

#include "GuiTestSupport.h"
#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "data/Text1252.h"
#include "gui/desk/KV7DeskTop.h"
#include "gui/dialogs/CreaElenco.h"
#include "support/HotelFolder.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace presenze;

namespace {

const char* firstOf(const std::vector<std::string>& texts)
{
    return texts.empty() ? "" : texts.front().c_str();
}

} // namespace

class PrintRequestTest : public QObject {
    Q_OBJECT

private:
    test::TemporarySettings m_settings;
    std::unique_ptr<test::TempDir> m_dir;
    FixedClock m_clock = test::fixedClock();
    test::ScriptedPrompts m_prompts;
    std::unique_ptr<KV7DeskTop> m_window;
    std::vector<std::filesystem::path> m_shown; // reports handed to the viewer

    KV7DeskTop& open(std::string_view fixture)
    {
        m_dir = std::make_unique<test::TempDir>();
        test::copyFixture(fixture, m_dir->path());
        return reopen();
    }
    KV7DeskTop& reopen(bool printMenu = false)
    {
        m_prompts = test::ScriptedPrompts();
        m_shown.clear();
        m_window.reset();
        m_window = std::make_unique<KV7DeskTop>(DataFolder(m_dir->path()), m_clock, &m_prompts);
        if (!printMenu)
            m_window->setReportViewer([this](QWidget*, const std::filesystem::path& report) {
                m_shown.push_back(report);
            });
        m_window->show();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("window not active");
        return *m_window;
    }
    void setRange(KV7DeskTop& w, const QString& from, const QString& fromYear, const QString& to,
                  const QString& toYear)
    {
        w.Text1(0)->setText(from);
        w.Text1(2)->setText(fromYear);
        w.Text1(3)->setText(to);
        w.Text1(4)->setText(toYear);
    }
    // Presses "&Stampa" and waits until the request has ended.
    void print(KV7DeskTop& w)
    {
        QSignalSpy finished(&w, &KV7DeskTop::printRequestFinished);
        QTest::mouseClick(w.Tasto(0), Qt::LeftButton);
        if (w.isBusy())
            QVERIFY(finished.wait(60000));
        QVERIFY(!w.isBusy());
    }
    std::filesystem::path reportFile() const { return m_dir->path() / "fd7"; }

private slots:
    void initTestCase() { qputenv("PCLocal", "7"); }
    void cleanup()
    {
        m_window.reset();
        m_dir.reset();
    }

    void anInvalidRangeOnlyMovesTheFocus()
    {
        KV7DeskTop& w = open("hotel");
        const struct {
            const char* from;
            const char* fromYear;
            const char* to;
            const char* toYear;
            int focus;
            const char* why; // the start of the status line
        } cases[] = {
            {"0", "2024", "02", "2024", 0, "Mese"},     {"13", "2024", "02", "2024", 0, "Mese"},
            {"01", "2024", "13", "2024", 0, "Mese"},    {"x", "2024", "02", "2024", 0, "Mese"},
            {"05", "2024", "04", "2024", 0, "Periodo"}, {"01", "2025", "12", "2024", 0, "Periodo"},
            {"01", "1995", "02", "2024", 2, "Anno"},    {"01", "24", "02", "2024", 2, "Anno"},
            {"01", "2024", "02", "", 4, "Anno"},        {"01", "2024", "02", "12345", 4, "Anno"}};
        for (const auto& c : cases) {
            setRange(w, c.from, c.fromYear, c.to, c.toYear);
            w.Tasto(2)->setFocus();
            QTest::mouseClick(w.Tasto(0), Qt::LeftButton);
            QVERIFY(!w.isBusy());
            QCOMPARE(QApplication::focusWidget(), w.Text1(c.focus));
            QCOMPARE(w.Text1(0)->text(), QString(c.from));
            QVERIFY2(w.Label2()->text().startsWith(QString::fromLatin1(c.why)),
                     qPrintable(w.Label2()->text()));
        }
        QVERIFY(m_prompts.questions.empty());
        QVERIFY(m_prompts.warnings.empty());
        QVERIFY(!std::filesystem::exists(reportFile()));
    }

    void twoMonthsOfType1WhileTheWindowWaits()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "1", "2024", "02", "2024"); // a month typed as 1 is 01

        // What the window shows while the report is built.
        QStringList titles;
        bool hourglass = false, disabled = false;
        connect(&w, &QWidget::windowTitleChanged, this, [&](const QString& title) {
            titles << title;
            if (title.endsWith(QStringLiteral("Attendere..."))) {
                const QCursor* cursor = QGuiApplication::overrideCursor();
                hourglass = cursor && cursor->shape() == Qt::WaitCursor;
                disabled = !w.Tasto(0)->isEnabled() && !w.menuBar()->isEnabled();
            }
        });
        QList<int> progress;
        connect(w.progressBar(), &QProgressBar::valueChanged, this,
                [&](int value) { progress << value; });

        m_prompts.answers = {AnswerYes};
        print(w);
        QCOMPARE(m_prompts.questions.front(),
                 std::string("Stampa Presenze per Ditta: Stampa Tipo 1 (Si) o Tipo 2 (No)?"));
        QCOMPARE(w.lastReportKind(), ReportKind::Type1);
        QVERIFY2(m_prompts.warnings.empty(), firstOf(m_prompts.warnings));
        QCOMPARE(titles, (QStringList{"Presenze per Ditta / Agenzia - Attendere...",
                                      "Presenze per Ditta / Agenzia"}));
        QVERIFY(hourglass);
        QVERIFY(disabled);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(progress.contains(1));
        QVERIFY(!w.progressBar()->isVisible());
        QVERIFY(!w.Label2()->text().isEmpty()); // the tally's last status text

        // Both months, in order, in the report file the viewer was given.
        QCOMPARE(m_shown.size(), std::size_t(1));
        QCOMPARE(m_shown[0], reportFile());
        const std::string report = test::readFile(reportFile());
        const auto january = report.find("(Gennaio  )");
        const auto february = report.find("(Febbraio )");
        QVERIFY(january != std::string::npos);
        QVERIFY(february != std::string::npos);
        QVERIFY(january < february);
        QCOMPARE(QApplication::focusWidget(), w.Text1(0));
        QVERIFY(w.Tasto(0)->isEnabled());
    }

    void theReportGoesToThePrintMenu()
    {
        m_dir = std::make_unique<test::TempDir>();
        test::copyFixture("hotel", m_dir->path());
        test::HotelFolder(m_dir->path())
            .destination("UFFICIO", 1, "PDF")
            .printSettings(1, "000000000000000000027069", "000000000000000001");
        KV7DeskTop& w = reopen(true);
        setRange(w, "02", "2024", "02", "2024");
        QString shownMenu;
        bool modal = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget* top = QApplication::activeModalWidget();
            if (!top || top == &w)
                return;
            shownMenu = top->windowTitle();
            modal = top->isModal();
            top->close();
        });
        poll.start(20);
        m_prompts.answers = {AnswerYes};
        print(w);
        poll.stop();
        QVERIFY2(m_prompts.warnings.empty(), firstOf(m_prompts.warnings));
        QCOMPARE(shownMenu, QStringLiteral("Stampe non modificabili"));
        QVERIFY(modal);
        // The menu keeps its archive copy of the report.
        QVERIFY(std::filesystem::is_directory(m_dir->path() / "doc"));
        QVERIFY(!std::filesystem::is_empty(m_dir->path() / "doc"));
        QTRY_COMPARE(w.focusWidget(), w.Text1(0));
    }

    void stampaWithAnUnconfirmedCompanySearchesFirst()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        w.Chk(1)->setChecked(true);
        w.Chk(2)->setChecked(false);     // company by company
        w.Text1(1)->setText("l'ancora"); // typed, Enter never pressed

        // The search cancelled: no report at all.
        m_prompts.choices = {std::nullopt};
        print(w);
        QCOMPARE(m_prompts.lists, std::vector<std::string>{"Ditte Abituali: 1 ditta"});
        QVERIFY(m_prompts.questions.empty());
        QVERIFY(m_shown.empty());
        QVERIFY(!std::filesystem::exists(reportFile()));
        QVERIFY(w.Label2()->text().startsWith(QStringLiteral("Stampa non avviata")));

        // Chosen: the report is that company's, for either type.
        for (const int type : {AnswerYes, AnswerNo}) {
            w.Text1(1)->setText("l'ancora");
            m_prompts.lists.clear();
            m_prompts.answers = {type};
            print(w);
            QCOMPARE(m_prompts.lists.size(), std::size_t(1));
            QCOMPARE(w.Text1(1)->text(), QStringLiteral("L'ANCORA VIAGGI"));
            QVERIFY(test::readFile(reportFile()).find("L'ANCORA VIAGGI") != std::string::npos);
        }

        // The name in another case is the company's: no search, the stored name.
        w.Text1(1)->setText("l'ancora viaggi");
        m_prompts.lists.clear();
        m_prompts.answers = {AnswerYes};
        print(w);
        QVERIFY(m_prompts.lists.empty());
        QCOMPARE(w.Text1(1)->text(), QStringLiteral("L'ANCORA VIAGGI"));
        QVERIFY(test::readFile(reportFile()).find("L'ANCORA VIAGGI") != std::string::npos);
    }

    void escapeAtTheTypeQuestionCancels()
    {
        open("hotel");
        // The window's own message boxes this time.
        m_window.reset();
        m_window = std::make_unique<KV7DeskTop>(DataFolder(m_dir->path()), m_clock);
        m_window->setReportViewer(
            [this](QWidget*, const std::filesystem::path& report) { m_shown.push_back(report); });
        KV7DeskTop& w = *m_window;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        setRange(w, "02", "2024", "02", "2024");
        test::writeFile(reportFile(), "the previous report");
        for (const bool escape : {true, false}) {
            QString asked;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                asked = box->text();
                if (escape)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->close();
            });
            QTest::mouseClick(w.Tasto(0), Qt::LeftButton);
            QCOMPARE(asked, QStringLiteral("Stampa Tipo 1 (Si) o Tipo 2 (No)?"));
            QVERIFY(!w.isBusy());
            QVERIFY(m_shown.empty());
            QCOMPARE(test::readFile(reportFile()), std::string("the previous report"));
            QCOMPARE(w.Label2()->text(), QStringLiteral("Stampa annullata."));
        }
    }

    void aSavedListCountsForBothTypesAtOnce()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        w.Chk(2)->setChecked(false); // company by company
        w.Chk(3)->setChecked(true);
        // Elenco: only MARINO BUS stays in the list, saved.
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<CreaElenco*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->Form_Activate();
            QListWidget* list = dialog->List1(0);
            for (int row = list->count() - 1; row >= 0; --row) {
                if (!list->item(row)->text().contains(QStringLiteral("MARINO BUS"))) {
                    list->setCurrentRow(row);
                    dialog->List1_DblClick(0);
                }
            }
            QTest::mouseClick(dialog->Tasto(0), Qt::LeftButton);
        });
        QTest::mouseClick(w.Tasto(2), Qt::LeftButton);
        QVERIFY2(w.Label2()->text().contains(QStringLiteral("ElencoDitte.txt")),
                 qPrintable(w.Label2()->text()));
        for (const int type : {AnswerYes, AnswerNo}) {
            m_prompts.answers = {type};
            print(w);
            QVERIFY2(m_prompts.warnings.empty(), firstOf(m_prompts.warnings));
            const std::string report = test::readFile(reportFile());
            QVERIFY(report.find("MARINO BUS") != std::string::npos);
            QVERIFY(report.find("RICCI SPORT CLUB") == std::string::npos);
        }
    }

    void withoutAHotelType1SaysSo()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        w.ChkHtl(0)->click();
        m_prompts.answers = {AnswerYes};
        print(w);
        QVERIFY(test::contains(m_prompts.warnings, "Nessun hotel selezionato"));
        QVERIFY(m_shown.empty());
        QVERIFY(!std::filesystem::exists(reportFile()));
        QCOMPARE(QApplication::focusWidget(), w.ChkHtl(0));
    }

    void annullaStopsBetweenMonthsAndKeepsThePreviousReport()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "01", "2024", "03", "2024");
        test::writeFile(reportFile(), "the previous report");
        bool stopShown = false;
        m_prompts.onAsk = [&](const std::string& question) {
            if (question.find("Arrivi") == std::string::npos)
                return;
            stopShown = w.stopButton()->isVisible() && w.stopButton()->isEnabled();
            w.stopButton()->click(); // during the first month
        };
        m_prompts.answers = {AnswerNo, AnswerYes, AnswerYes, AnswerYes};
        print(w);
        QVERIFY(stopShown);
        QCOMPARE(m_prompts.questions.size(), std::size_t(2)); // the type, one month
        QVERIFY(m_shown.empty());
        QVERIFY(m_prompts.warnings.empty());
        QCOMPARE(test::readFile(reportFile()), std::string("the previous report"));
        QVERIFY(w.Label2()->text().startsWith(QStringLiteral("Stampa annullata")));
        QVERIFY(!w.stopButton()->isVisible());
    }

    void aLongRequestAsksFirst()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "01", "1996", "12", "2024");
        m_prompts.answers = {AnswerNo};
        print(w);
        QCOMPARE(m_prompts.questions.size(), std::size_t(1));
        QVERIFY2(m_prompts.questions[0].find("Richiesta di 348 mesi") != std::string::npos,
                 firstOf(m_prompts.questions));
        QVERIFY(w.Label2()->text().startsWith(QStringLiteral("Stampa non avviata")));
        QVERIFY(!std::filesystem::exists(reportFile()));
    }

    void aFileBeingWrittenIsWaitedForAndAnnullaStopsTheWait()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        test::writeFile(reportFile(), "the previous report");
        // Another program keeps writing the booked rooms.
        const auto rooms = m_dir->path() / "Camere_Prenotazione.mdb";
        const auto write = [&] {
            std::filesystem::last_write_time(rooms, std::filesystem::file_time_type::clock::now());
        };
        write();
        QTimer writer;
        connect(&writer, &QTimer::timeout, write);
        writer.start(200);
        m_prompts.answers = {AnswerYes};
        QSignalSpy finished(&w, &KV7DeskTop::printRequestFinished);
        QTest::mouseClick(w.Tasto(0), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.Label2()->text().contains(QStringLiteral("attendo che il file")),
                                 10000);
        QVERIFY(w.Label2()->text().contains(QStringLiteral("Camere_Prenotazione.mdb")));
        w.stopButton()->click();
        QVERIFY(finished.wait(10000));
        QVERIFY2(w.Label2()->text().startsWith(QStringLiteral("Stampa annullata")),
                 qPrintable(w.Label2()->text()));
        QVERIFY(m_prompts.warnings.empty());
        QCOMPARE(test::readFile(reportFile()), std::string("the previous report"));
    }

    void theReportMatchesTheCommandLine()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        m_prompts.answers = {AnswerYes};
        print(w);
        QVERIFY2(m_prompts.warnings.empty(), firstOf(m_prompts.warnings));
        const std::string expected =
            test::readFile(test::fixturesDir() / "expected" / "t1-summary-confirmed-feb2024");
        QVERIFY(test::readFile(reportFile()) == expected);
    }

    void anArchivedSeasonIsReadByTheNextReport()
    {
        KV7DeskTop& w = open("hotel");
        // The season's files only: the current season's booking files are gone.
        std::filesystem::remove(m_dir->path() / "Scheda_Prenotazione.mdb");
        std::filesystem::remove(m_dir->path() / "Camere_Prenotazione.mdb");
        m_prompts.inputs = {std::string(" 2023 ")};
        w.menuStagione()->trigger();
        QCOMPARE(w.selection().season, std::string("2023"));
        QCOMPARE(m_prompts.prompts.size(), std::size_t(1));
        QVERIFY(m_prompts.prompts[0].first.rfind("Stampa Prenotazioni: Elenco Stagioni Archiviate",
                                                 0) == 0);
        QVERIFY(m_prompts.prompts[0].first.find("\r\n2023\r\n") != std::string::npos);
        QCOMPARE(w.selection().season, std::string("2023"));
        QVERIFY(w.seasonLabel()->isVisible() && w.seasonLabel()->text().contains("2023"));

        setRange(w, "02", "2023", "02", "2023");
        m_prompts.answers = {AnswerYes};
        print(w);
        QVERIFY2(m_prompts.warnings.empty(), firstOf(m_prompts.warnings));
        QCOMPARE(m_shown.size(), std::size_t(1));

        // Back to the current season, whose files are missing: the error names them.
        std::filesystem::copy_file(test::fixturesDir() / "hotel" / "Scheda_Prenotazione.mdb",
                                   m_dir->path() / "Scheda_Prenotazione.mdb");
        m_prompts.inputs = {std::nullopt};
        w.menuStagione()->trigger();
        QVERIFY(w.selection().season.empty());
        QVERIFY(!w.seasonLabel()->isVisible());
        print(w);
        QVERIFY(test::contains(m_prompts.warnings, "Camere_Prenotazione.mdb"));
    }

    void cancelKeepsTheSeasonWhenTheCurrentOneIsMissing()
    {
        KV7DeskTop& w = open("hotel");
        std::filesystem::remove(m_dir->path() / "Scheda_Prenotazione.mdb");
        m_prompts.inputs = {std::string("2023")};
        w.menuStagione()->trigger();
        QCOMPARE(w.selection().season, std::string("2023"));
        m_prompts.inputs = {std::string("2019"), std::nullopt};
        w.menuStagione()->trigger();
        QCOMPARE(w.selection().season, std::string("2023"));
        QCOMPARE(m_prompts.prompts.size(), std::size_t(3));
        QCOMPARE(m_prompts.prompts[2].second, std::string("2019"));
    }

    void errorsAreShownAndTheWindowStaysUsable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("corrupt");
        QTest::addColumn<int>("type");
        QTest::newRow("registry missing") << "AnagraficaHotels.mdb" << false << 6;
        QTest::newRow("registry corrupt") << "AnagraficaHotels.mdb" << true << 6;
        QTest::newRow("rooms missing") << "Camere_Prenotazione.mdb" << false << 6;
        QTest::newRow("rooms corrupt") << "Camere_Prenotazione.mdb" << true << 6;
        QTest::newRow("headers corrupt, type 2") << "Scheda_Prenotazione.mdb" << true << 7;
    }

    void errorsAreShownAndTheWindowStaysUsable()
    {
        QFETCH(QString, file);
        QFETCH(bool, corrupt);
        QFETCH(int, type);
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        test::writeFile(reportFile(), "the previous report");
        const auto path = m_dir->path() / file.toStdString();
        std::filesystem::remove(path);
        if (corrupt)
            test::writeFile(path, std::string(4096, '\x5A'));

        m_prompts.answers = {type};
        print(w);
        QCOMPARE(m_prompts.warnings.size(), std::size_t(1));
        QVERIFY2(test::contains(m_prompts.warnings, file.toStdString()),
                 firstOf(m_prompts.warnings));
        QVERIFY(m_shown.empty());
        // The previous report file is left as it was.
        QCOMPARE(test::readFile(reportFile()), std::string("the previous report"));
        QVERIFY(w.isVisible());
        QVERIFY(w.Tasto(0)->isEnabled());
        QCOMPARE(w.windowTitle(), QStringLiteral("Presenze per Ditta / Agenzia"));

        // Mended, the next request works.
        std::filesystem::remove(path);
        std::filesystem::copy_file(test::fixturesDir() / "hotel" / file.toStdString(), path);
        m_prompts.warnings.clear();
        m_prompts.answers = {AnswerYes};
        print(w);
        QVERIFY2(m_prompts.warnings.empty(), firstOf(m_prompts.warnings));
        QCOMPARE(m_shown.size(), std::size_t(1));
    }

    void aStationTagThatLeavesTheFolderIsRefused()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        qputenv("PCLocal", "/../x");
        print(w);
        qputenv("PCLocal", "7");
        QCOMPARE(m_prompts.warnings.size(), std::size_t(1));
        QVERIFY(m_shown.empty());
    }

    void theWindowAsksTheCoresQuestionsMeanwhile()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "02", "2024", "02", "2024");
        bool busyWhileAsked = false;
        m_prompts.onAsk = [&](const std::string& question) {
            if (question.find("Tipo 1") == std::string::npos)
                busyWhileAsked = w.isBusy() && !QGuiApplication::overrideCursor();
        };
        m_prompts.answers = {AnswerNo, AnswerNo}; // Type 2, then arrivals
        print(w);
        QCOMPARE(w.lastReportKind(), ReportKind::Type2);
        QVERIFY2(m_prompts.warnings.empty(), firstOf(m_prompts.warnings));
        QCOMPARE(m_prompts.questions.size(), std::size_t(2));
        QVERIFY(busyWhileAsked);
        QCOMPARE(m_shown.size(), std::size_t(1));
        const std::string expected = test::readFile(test::fixturesDir() / "expected" /
                                                    "t2-totals-confirmed-arrivals-feb2024");
        QVERIFY(test::readFile(reportFile()) == expected);
    }

    void closingWhileBusyIsRefused()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "01", "2024", "03", "2024");
        QSignalSpy finished(&w, &KV7DeskTop::printRequestFinished);
        m_prompts.answers = {AnswerYes};
        QTest::mouseClick(w.Tasto(0), Qt::LeftButton);
        if (w.isBusy()) {
            QVERIFY(!w.close());
            QVERIFY(w.isVisible());
            QVERIFY(finished.wait(60000));
        }
        QVERIFY(w.close());
    }

    void destroyingTheWindowWaitsForTheReport()
    {
        KV7DeskTop& w = open("hotel");
        setRange(w, "01", "2024", "03", "2024");
        m_prompts.answers = {AnswerYes};
        QTest::mouseClick(w.Tasto(0), Qt::LeftButton);
        m_window.reset(); // must neither crash nor hang
        QVERIFY(std::filesystem::exists(reportFile()));
    }
};

QTEST_MAIN(PrintRequestTest)
#include "PrintRequestTest.moc"
