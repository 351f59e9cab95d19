// The program's own message box, and the standard dialogs in Italian.

#include "gui/dialogs/MsgBoxForm.h"

#include "gui/desk/MessageBoxes.h"
#include "gui/desk/QtTranslations.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace presenze;

namespace {

// Runs `act` on the next modal dialog once it is shown.
void whenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            whenModal(act);
            return;
        }
        act(modal);
    });
}

QPushButton* buttonOf(QWidget* box, const QString& text)
{
    for (auto* b : box->findChildren<QPushButton*>()) {
        if (b->text().remove(QLatin1Char('&')) == text)
            return b;
    }
    return nullptr;
}

} // namespace

class MsgBoxFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installItalianTranslations(*qApp)); }

    void sizesItselfToTheMessage()
    {
        MsgBox_Form form;
        form.setMessage(QString(20, QLatin1Char('x')));
        form.T(0)->setVisible(true);
        MsgBoxStile = 0;
        form.show();
        QCOMPARE(form.width(), form.pixels(4590));
        QCOMPARE(form.Text1()->height(), form.pixels(600));
        QCOMPARE(form.T(0)->x(), (form.width() - form.T(0)->width()) / 2 + 0);
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);

        MsgBox_Form wide;
        wide.setMessage("abc\r\n" + QString(79, QLatin1Char('y')) + "\r\nz");
        wide.show();
        QCOMPARE(wide.width(), wide.pixels(7290));
        QCOMPARE(wide.Text1()->height(), wide.pixels(1200));
    }

    void placesTwoButtonsAndFocusesTheFirst()
    {
        MsgBox_Form form;
        form.setMessage("Continuare?");
        form.T(0)->setText("Si");
        form.T(1)->setText("No");
        form.T(0)->setVisible(true);
        form.T(1)->setVisible(true);
        MsgBoxStile = 36;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const int left = form.T(0)->x();
        const int right = form.width() - (form.T(1)->x() + form.T(1)->width());
        QVERIFY(qAbs(left - right) <= 2);
        QCOMPARE(form.T(1)->x() - (form.T(0)->x() + form.T(0)->width()), form.pixels(70));
        QCOMPARE(form.T(0)->y(), form.T(1)->y());
        QVERIFY(form.T(0)->hasFocus());
    }

    void answersByButton()
    {
        MsgBoxRisposta = 99;
        whenModal([](QWidget* box) { QTest::mouseClick(buttonOf(box, "Si"), Qt::LeftButton); });
        QCOMPARE(MsgBox_Show("Titolo", "Va bene?", 36), 6);

        whenModal(
            [](QWidget* box) { QTest::mouseClick(buttonOf(box, "Annulla"), Qt::LeftButton); });
        QCOMPARE(MsgBox_Show("Titolo", "Va bene?", 35), 2);

        whenModal([](QWidget* box) { QTest::mouseClick(buttonOf(box, "No"), Qt::LeftButton); });
        QCOMPARE(MsgBox_Show("Titolo", "Va bene?", 300), 7);

        whenModal([](QWidget* box) { QTest::mouseClick(buttonOf(box, "Ok"), Qt::LeftButton); });
        QCOMPARE(MsgBox_Show("Titolo", "Fatto.", 48), 0);

        // Escape never leaves an old answer behind.
        MsgBoxRisposta = 99;
        whenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(MsgBox_Show("Titolo", "Va bene?", 51), 2);
        whenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(MsgBox_Show("Titolo", "Va bene?", 4), 7);
        whenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(MsgBox_Show("Titolo", "Stile sconosciuto", 1), 0);
    }

    void standardDialogsSpeakItalian()
    {
        QMessageBox box(QMessageBox::Question, "t", "q",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("S\u00EC"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QStringLiteral("No"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove('&'), QStringLiteral("Annulla"));
        QCOMPARE(answerCode(QMessageBox::Yes), 6);
        QCOMPARE(answerCode(QMessageBox::No), 7);
        QCOMPARE(answerCode(QMessageBox::Cancel), 2);
        QCOMPARE(answerCode(QMessageBox::Escape), 2);
    }

    void messageBoxesAnswerWithTheCodes()
    {
        MessageBoxes prompts;
        whenModal([](QWidget* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Ditte Abituali"));
            QVERIFY(qobject_cast<QMessageBox*>(box)->text().contains(
                QStringLiteral("Localit\u00E0 : CANT\u00D9\nE' la Ditta")));
            QTest::mouseClick(buttonOf(box, "No"), Qt::LeftButton);
        });
        QCOMPARE(prompts.ask("Ditte Abituali",
                             "ROSSI\r\nLocalit\xE0 : CANT\xD9\r\nE' la Ditta cercata?", true),
                 7);
        whenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(prompts.ask("Ditte Abituali", "ROSSI", true), 2);
        whenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(prompts.ask("Stampa Presenze per Ditta", "Stampa Tipo 1 (Si) o Tipo 2 (No)?"), 7);
        whenModal(
            [](QWidget* box) { QTest::mouseClick(buttonOf(box, "S\u00EC"), Qt::LeftButton); });
        QCOMPARE(prompts.ask("Stampa Presenze per Ditta", "Stampa Tipo 1 (Si) o Tipo 2 (No)?"), 6);

        whenModal([](QWidget* box) {
            auto* input = qobject_cast<QInputDialog*>(box);
            QCOMPARE(input->textValue(), QStringLiteral("2023"));
            input->setTextValue(QStringLiteral("Inverno\u00E0"));
            input->accept();
        });
        QCOMPARE(prompts.input("Stampa Prenotazioni", "Inserire", "2023"),
                 std::optional<std::string>("Inverno\xE0"));
        whenModal([](QWidget* box) { qobject_cast<QDialog*>(box)->reject(); });
        QCOMPARE(prompts.input("Stampa Prenotazioni", "Inserire", ""), std::nullopt);
    }
};

QTEST_MAIN(MsgBoxFormTest)
#include "MsgBoxFormTest.moc"
