// "Elenco Ditte Particolari": the saved list, the candidates, the search and
// the two ways out.

#include "gui/dialogs/CreaElenco.h"

#include "GuiTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace presenze;

class CreaElencoTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> m_dir;
    test::ScriptedPrompts m_prompts;

    std::unique_ptr<CreaElenco> open(std::optional<std::int64_t> hotel = std::nullopt)
    {
        auto dialog = std::make_unique<CreaElenco>(DataFolder(m_dir->path()), hotel, m_prompts);
        dialog->show();
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("dialog not active");
        dialog->Form_Activate();
        return dialog;
    }
    static void select(QListWidget* list, int row)
    {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static void doubleClick(QListWidget* list, int row)
    {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    std::string listFile() const { return test::readFile(m_dir->path() / "ElencoDitte.txt"); }

private slots:
    void init()
    {
        m_dir = std::make_unique<test::TempDir>();
        test::copyFixture("hotel-edge", m_dir->path());
        m_prompts = test::ScriptedPrompts();
    }
    void cleanup() { m_dir.reset(); }

    void showsTheSavedListAndAPageOfCandidates()
    {
        auto dialog = open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Elenco Ditte Particolari"));
        QCOMPARE(dialog->Label1(0)->text(), QStringLiteral("Elenco"));
        QCOMPARE(dialog->Label1(1)->text(), QStringLiteral("Ditte abituali"));
        QCOMPARE(dialog->List1(0)->count(), 104);
        QCOMPARE(dialog->List1(0)->item(0)->text(), QStringLiteral("   177 ROSSI SRL   "));
        QCOMPARE(dialog->List1(1)->count(), 50);
        QCOMPARE(dialog->List1(1)->item(0)->text(), QStringLiteral("     3 ROSSI TOUR"));
        QCOMPARE(dialog->List1(1)->item(1)->text(), QStringLiteral("     9 BIANCHI VIAGGI"));
        QVERIFY(m_prompts.warnings.empty());

        auto onlyHotel6 = open(6);
        for (int row = 0; row < onlyHotel6->List1(1)->count(); ++row)
            QVERIFY(onlyHotel6->List1(1)->item(row)->text().size() > 7);
        QCOMPARE(onlyHotel6->List1(1)->item(0)->text(), QStringLiteral("    14 L'ANCORA VIAGGI"));
    }

    void doubleClicksMoveCompaniesInAndOutOnceAndRegistraSaves()
    {
        std::filesystem::remove(m_dir->path() / "ElencoDitte.txt");
        auto dialog = open();
        QCOMPARE(dialog->List1(0)->count(), 0);

        select(dialog->List1(1), 1); // a single click only selects
        QCOMPARE(dialog->List1(0)->count(), 0);
        doubleClick(dialog->List1(1), 1); // BIANCHI VIAGGI
        doubleClick(dialog->List1(1), 0); // ROSSI TOUR
        doubleClick(dialog->List1(1), 1); // BIANCHI VIAGGI again: shown, not added
        QCOMPARE(dialog->items(0),
                 (std::vector<std::string>{"     9 BIANCHI VIAGGI", "     3 ROSSI TOUR"}));
        QCOMPARE(dialog->List1(0)->currentRow(), 0);
        select(dialog->List1(0), 1);
        QCOMPARE(dialog->List1(0)->count(), 2);
        doubleClick(dialog->List1(0), 0); // BIANCHI VIAGGI goes
        QCOMPARE(dialog->items(0), std::vector<std::string>{"     3 ROSSI TOUR"});

        // Enter in the search field searches; it never closes the dialog.
        dialog->Text1()->setFocus();
        QTest::keyClicks(dialog->Text1(), "l'ancora");
        QTest::keyClick(dialog->Text1(), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Text1()->text(), QStringLiteral("L\u00B4ANCORA"));
        QCOMPARE(dialog->List1(1)->count(), 1);
        QCOMPARE(dialog->List1(1)->item(0)->text(), QStringLiteral("    14 L'ANCORA VIAGGI"));
        QCOMPARE(dialog->Text1()->selectedText(), dialog->Text1()->text());
        doubleClick(dialog->List1(1), 0);

        QTest::mouseClick(dialog->Tasto(0), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(m_prompts.questions.empty());
        QCOMPARE(listFile(), std::string("     3 ROSSI TOUR\r\n    14 L'ANCORA VIAGGI\r\n"));
    }

    void keyboardNavigationAddsNothingAndLeavingAsks()
    {
        const std::string before = listFile();
        auto dialog = open();
        const auto saved = dialog->items(0);
        QListWidget* candidates = dialog->List1(1);
        candidates->setFocus();
        for (const Qt::Key key :
             {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Down,
              Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(candidates, key);
        QCOMPARE(candidates->currentItem()->text(), QStringLiteral("    25 AZZURRA TOUR OPERATOR"));
        QCOMPARE(dialog->items(0), saved);
        QVERIFY(!dialog->isModified());

        QTest::keyClick(candidates, Qt::Key_Return); // adds the current company
        QCOMPARE(dialog->items(0).size(), saved.size() + 1);
        QTest::keyClick(candidates, Qt::Key_Return); // already there
        QCOMPARE(dialog->items(0).size(), saved.size() + 1);
        QListWidget* list = dialog->List1(0);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Delete); // the second company goes
        QCOMPARE(dialog->items(0).size(), saved.size());
        QCOMPARE(dialog->items(0)[0], saved[0]);
        QVERIFY(dialog->items(0)[1] != saved[1]);

        // Escape with changes asks: Cancel stays, No leaves the file as it was.
        m_prompts.answers = {AnswerCancel, AnswerNo};
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(dialog->Tasto(1), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(m_prompts.questions.size(), std::size_t(2));
        QVERIFY(test::contains(m_prompts.questions, "Salvare le modifiche?"));
        QCOMPARE(listFile(), before);

        // Yes saves on the way out.
        auto again = open();
        again->List1(0)->setCurrentRow(0);
        again->List1_DblClick(0);
        m_prompts.answers = {AnswerYes};
        again->close();
        QCOMPARE(again->result(), int(QDialog::Accepted));
        QVERIFY(listFile() != before);
    }

    void savedLinesKeepTheirBytes()
    {
        // Lines are written back as they were read, accented letters included.
        const std::string line = "    35 SOCIET\xC0 ALBA";
        test::writeFile(m_dir->path() / "ElencoDitte.txt", line + "\r\n");
        auto dialog = open();
        QCOMPARE(dialog->List1(0)->item(0)->text(), QStringLiteral("    35 SOCIET\u00C0 ALBA"));
        QTest::mouseClick(dialog->Tasto(0), Qt::LeftButton);
        QCOMPARE(listFile(), line + "\r\n");
    }

    void aCodeTooLongForTheListIsRefused()
    {
        test::runSql(m_dir->path() / "DitteAbituali.mdb",
                     "DELETE FROM DitteAbituali;"
                     "INSERT INTO DitteAbituali VALUES(1, 1234567, 'TROPPO LUNGA SRL', 'ROMA');");
        auto dialog = open();
        const int before = dialog->List1(0)->count();
        doubleClick(dialog->List1(1), 0);
        QCOMPARE(dialog->List1(0)->count(), before);
        QVERIFY(test::contains(m_prompts.warnings, "sei cifre"));
    }

    void aMissingCompaniesFileIsReported()
    {
        std::filesystem::remove(m_dir->path() / "DitteAbituali.mdb");
        auto dialog = open();
        QVERIFY(test::contains(m_prompts.warnings, "DitteAbituali.mdb"));
        QCOMPARE(dialog->List1(0)->count(), 104);
        QCOMPARE(dialog->List1(1)->count(), 0);
    }
};

QTEST_MAIN(CreaElencoTest)
#include "CreaElencoTest.moc"
