// The preview: paging by chunks, activations that change nothing, text size,
// saving in place and the e-mail message file.

#include "gui/output/Anteprima.h"

#include "GuiTestSupport.h"
#include "render/QtText.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

// Lines "NNN" + 97 x; the first one carries box drawing.
std::string longReport(int count = 300)
{
    std::string text;
    for (int i = 1; i <= count; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", i);
        std::string line = number + std::string(97, 'x');
        if (i == 1)
            line.replace(3, 4, "\xDA\xC4\xB3\xD9");
        text += line + "\r\n";
    }
    return text;
}

int lineCount(const QPlainTextEdit* text)
{
    // The text ends with a line end, which leaves an empty last block.
    return text->blockCount() - 1;
}

} // namespace

class AnteprimaTest : public QObject {
    Q_OBJECT

private slots:
    void pagingByChunks();
    void editsStayUntilThePersonSaysOtherwise();
    void opensWideEnoughAndRemembersItsSize();
    void textSize();
    void saveKeepsTheRestOfTheReport();
    void eMailWritesTheMessageFileAndStartsTheProgram();
    void eMailWithoutAWorkingMailProgramSaysSo();
    void withoutAReportTheWindowClosesAtOnce();

private:
    test::TemporarySettings m_settings;
    test::ScriptedInteraction m_ui;
};

void AnteprimaTest::pagingByChunks()
{
    test::TempDir dir;
    test::writeFile(dir / "fd7", longReport());
    Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
    QCOMPARE(preview.windowTitle(), QStringLiteral("Anteprima di Stampa"));
    QVERIFY(preview.windowFlags() & Qt::WindowStaysOnTopHint);
    const QStringList captions = {"&Esci",   "&Riduci", "E&spandi", "&Avanti",
                                  "&Inizio", "E-&mail", "Sa&lva"};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(preview.findChild<QPushButton*>(QStringLiteral("Tasto_%1").arg(i))->text(),
                 captions[i]);
    preview.show();
    QPlainTextEdit* text = preview.text();
    QCOMPARE(lineCount(text), 200);
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("001\u250C\u2500\u2502\u2518")));
    QVERIFY(preview.preview().moreLines());

    preview.Tasto_Click(3);
    QCOMPARE(lineCount(text), 100);
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("201")));
    QVERIFY(!preview.preview().moreLines());
    preview.Tasto_Click(3); // at the end: nothing changes
    QCOMPARE(lineCount(text), 100);
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("201")));

    preview.Tasto_Click(4);
    QCOMPARE(lineCount(text), 260);
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("001")));
}

void AnteprimaTest::editsStayUntilThePersonSaysOtherwise()
{
    test::TempDir dir;
    const std::string original = longReport();
    test::writeFile(dir / "fd7", original);
    Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
    preview.show();
    preview.text()->moveCursor(QTextCursor::Start);
    preview.text()->insertPlainText(QStringLiteral("EDIT "));
    const QString edited = preview.text()->toPlainText();
    for (int i = 0; i < 3; ++i) {
        QEvent away(QEvent::WindowDeactivate);
        QApplication::sendEvent(&preview, &away);
        QEvent back(QEvent::WindowActivate);
        QApplication::sendEvent(&preview, &back);
        preview.activateWindow();
        QCoreApplication::processEvents();
    }
    QCOMPARE(preview.text()->toPlainText(), edited);
    QCOMPARE(preview.preview().chunkBegin(), std::size_t(0));
    QVERIFY(preview.hasUnsavedEdits());

    // Moving on or leaving asks: Cancel stays with the edits.
    m_ui.questions.clear();
    m_ui.answers = {AnswerCancel, AnswerCancel};
    preview.Tasto_Click(3);
    preview.Tasto_Click(0);
    QVERIFY(preview.isVisible());
    QCOMPARE(preview.text()->toPlainText(), edited);
    QCOMPARE(m_ui.questions.size(), std::size_t(2));
    QCOMPARE(test::readFile(dir / "fd7"), original);

    // Yes saves, then moves on after the saved lines.
    m_ui.answers = {AnswerYes};
    preview.Tasto_Click(3);
    QVERIFY(preview.text()->toPlainText().startsWith(QStringLiteral("201")));
    QVERIFY(test::readFile(dir / "fd7").rfind("EDIT 001", 0) == 0);

    // No drops the edits; a text size change is no edit.
    preview.text()->insertPlainText(QStringLiteral("ALTRO "));
    preview.Tasto_Click(2);
    m_ui.questions.clear();
    m_ui.answers = {AnswerNo};
    preview.reject();
    QVERIFY(!preview.isVisible());
    QCOMPARE(m_ui.questions.size(), std::size_t(1));
    QVERIFY(test::readFile(dir / "fd7").find("ALTRO") == std::string::npos);
}

void AnteprimaTest::opensWideEnoughAndRemembersItsSize()
{
    test::TempDir dir;
    test::writeFile(dir / "fd7", std::string(133, '-') + "\r\n");
    QSettings(QStringLiteral("presenze"), QStringLiteral("presenze")).clear();
    QSize chosen;
    {
        Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        const QRect screen = preview.screen()->availableGeometry();
        if (screen.width() >= 1024) {
            // The whole line shows without scrolling.
            QCOMPARE(preview.text()->horizontalScrollBar()->maximum(), 0);
        } else {
            QCOMPARE(preview.width(), screen.width());
        }
        QVERIFY(preview.height() <= screen.height());
        chosen = preview.size() - QSize(60, 60);
        preview.resize(chosen);
        preview.Tasto_Click(1);
        preview.Tasto_Click(0);
    }
    Anteprima again(DataFolder(dir.path()), "7", nullptr, &m_ui);
    QCOMPARE(again.size(), chosen);
    QCOMPARE(again.text()->font().pointSizeF(), 8.0);
}

void AnteprimaTest::textSize()
{
    test::TempDir dir;
    test::writeFile(dir / "fd7", "a\r\n");
    Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
    const double start = preview.text()->font().pointSizeF();
    preview.Tasto_Click(2);
    QCOMPARE(preview.text()->font().pointSizeF(), start + 1);
    QFont font = preview.text()->font();
    font.setPointSizeF(1);
    preview.text()->setFont(font);
    preview.Tasto_Click(1); // already 1: nothing
    QCOMPARE(preview.text()->font().pointSizeF(), 1.0);
    preview.Tasto_Click(2);
    preview.Tasto_Click(1);
    QCOMPARE(preview.text()->font().pointSizeF(), 1.0);
}

void AnteprimaTest::saveKeepsTheRestOfTheReport()
{
    test::TempDir dir;
    const std::string original = longReport();
    test::writeFile(dir / "fd7", original);
    Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
    preview.show();
    preview.Tasto_Click(3); // lines 201..300 shown
    QTextCursor cursor = preview.text()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("riga modificata: caff\u00E8 \u20AC"));
    preview.Tasto_Click(6);
    QVERIFY(m_ui.warnings.empty());

    const std::string saved = test::readFile(dir / "fd7");
    const std::size_t cut = 200 * 102;
    QVERIFY(saved.substr(0, cut) == original.substr(0, cut));
    QCOMPARE(saved.substr(cut, 29), std::string("riga modificata: caff\xE8 \x80\r\n202"));
    QVERIFY(saved.substr(cut + 26) == original.substr(cut + 102));
    QCOMPARE(saved.size(), original.size() - 102 + 26);

    // From the start again, the saved text is there.
    preview.Tasto_Click(4);
    QVERIFY(
        preview.text()->toPlainText().startsWith(QStringLiteral("001\u250C\u2500\u2502\u2518")));
}

void AnteprimaTest::eMailWritesTheMessageFileAndStartsTheProgram()
{
    test::TempDir dir;
    test::writeFile(dir / "fd7", "\xDA\xC4\xBF riepilogo\r\ncaff\xE8\r\n");
    const fs::path program = dir / "posta.sh";
    test::writeFile(program, "#!/bin/sh\necho \"$@\" > avviato.txt\n");
    ::chmod(program.c_str(), 0755);
    qputenv("PRESENZE_MAIL", QByteArray::fromStdString(program.string()));
    Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
    QSignalSpy status(&preview, &Anteprima::statusMessage);
    m_ui.warnings.clear();
    preview.Tasto_Click(5);
    QVERIFY(m_ui.warnings.empty());
    QCOMPARE(test::readFile(dir / "e-mail7.txt"),
             std::string("OGGETTO\r\n--- riepilogo\r\ncaff\xE8\r\n\r\n"));
    // Started without waiting, in the data folder, with the message file's path.
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(dir / "avviato.txt"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(test::readFile(dir / "avviato.txt"),
                              (dir / "e-mail7.txt").string() + "\n", 10000);
    QCOMPARE(status.size(), 1);

    // A second dispatch replaces the message; an empty text gives an empty line.
    fs::remove(dir / "avviato.txt");
    preview.text()->clear();
    preview.Tasto_Click(5);
    QCOMPARE(test::readFile(dir / "e-mail7.txt"), std::string("OGGETTO\r\n\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(dir / "avviato.txt"), 10000);
    qunsetenv("PRESENZE_MAIL");
}

void AnteprimaTest::eMailWithoutAWorkingMailProgramSaysSo()
{
    test::TempDir dir;
    test::writeFile(dir / "fd7", "testo\r\n");
    const QByteArray path = qgetenv("PATH");
    qputenv("PRESENZE_MAIL", QByteArray::fromStdString((dir / "manca").string()));
    qputenv("PATH", QByteArray::fromStdString(dir.path().string()));
    Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
    m_ui.warnings.clear();
    preview.Tasto_Click(5);
    qputenv("PATH", path);
    qunsetenv("PRESENZE_MAIL");
    QCOMPARE(m_ui.warnings.size(), std::size_t(1));
    QVERIFY2(m_ui.warnings.front().find("E-mail: Impossibile avviare il programma di posta") == 0,
             m_ui.warnings.front().c_str());
    QVERIFY(m_ui.warnings.front().find("xdg-email") != std::string::npos);
    QVERIFY(m_ui.warnings.front().find("e-mail7.txt") != std::string::npos);
    QCOMPARE(test::readFile(dir / "e-mail7.txt"), std::string("OGGETTO\r\ntesto\r\n\r\n"));

    // The desktop's mail program is there but fails: the status line says
    // so, and where the message is.
    test::writeFile(dir / "xdg-email", "#!/bin/sh\nexit 3\n");
    ::chmod((dir / "xdg-email").c_str(), 0755);
    qputenv("PATH", QByteArray::fromStdString(dir.path().string()));
    QSignalSpy status(&preview, &Anteprima::statusMessage);
    m_ui.warnings.clear();
    preview.Tasto_Click(5);
    qputenv("PATH", path);
    const QString said =
        QStringLiteral("Il programma di posta non ha preso il messaggio: xdg-email \u00E8 "
                       "terminato con il codice 3 (manca un programma necessario). Il "
                       "messaggio \u00E8 nel file ") +
        test::q(dir / "e-mail7.txt") + QLatin1Char('.');
    QCOMPARE(status.size(), 1);
    QCOMPARE(status[0][0].toString(), said);
    QCOMPARE(m_ui.warnings, std::vector<std::string>{"E-mail: " + toCp1252(said)});
}

void AnteprimaTest::withoutAReportTheWindowClosesAtOnce()
{
    test::TempDir dir;
    Anteprima preview(DataFolder(dir.path()), "7", nullptr, &m_ui);
    bool stillOpen = false;
    QTimer::singleShot(3000, &preview, [&] {
        if (preview.isVisible()) {
            stillOpen = true;
            preview.reject();
        }
    });
    QCOMPARE(preview.exec(), int(QDialog::Rejected));
    QVERIFY(!stillOpen);
}

QTEST_MAIN(AnteprimaTest)
#include "AnteprimaTest.moc"
