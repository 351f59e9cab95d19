// The main window as a person uses it: start-up, the month fields, the hotel
// boxes and the company search.

#include "gui/desk/KV7DeskTop.h"

#include "GuiTestSupport.h"
#include "common/KV7Routine.h"
#include "support/HotelFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QWindow>
#include <QtTest>

using namespace presenze;

namespace {

const test::TempDir& folderWith(std::unique_ptr<test::TempDir>& dir, std::string_view fixture)
{
    dir = std::make_unique<test::TempDir>();
    test::copyFixture(fixture, dir->path());
    return *dir;
}

} // namespace

class KV7DeskTopTest : public QObject {
    Q_OBJECT

private:
    test::TemporarySettings m_settings;
    std::unique_ptr<test::TempDir> m_dir;
    FixedClock m_clock = test::fixedClock(); // 08/12/2026
    test::ScriptedPrompts m_prompts;
    std::unique_ptr<KV7DeskTop> m_window;

    KV7DeskTop& open(std::string_view fixture)
    {
        folderWith(m_dir, fixture);
        return reopen();
    }
    KV7DeskTop& reopen()
    {
        m_prompts = test::ScriptedPrompts();
        m_window.reset();
        m_window = std::make_unique<KV7DeskTop>(DataFolder(m_dir->path()), m_clock, &m_prompts);
        m_window->show();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("window not active");
        return *m_window;
    }
    // A click on the box itself (a stretched check box takes clicks only there).
    static void click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    void type(QWidget* widget, const QString& text)
    {
        widget->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->clear();
        QTest::keyClicks(widget, text);
        QTest::keyClick(widget, Qt::Key_Return);
    }

private slots:
    void cleanup()
    {
        m_window.reset();
        m_dir.reset();
    }

    void startUpFillsTheControls()
    {
        KV7DeskTop& w = open("hotel");
        QCOMPARE(w.windowTitle(), QStringLiteral("Presenze per Ditta / Agenzia"));
        QCOMPARE(w.Text1(0)->text(), QStringLiteral("12"));
        QCOMPARE(w.Text1(2)->text(), QStringLiteral("2026"));
        QCOMPARE(w.Text1(3)->text(), QStringLiteral("12"));
        QCOMPARE(w.Text1(4)->text(), QStringLiteral("2026"));
        QVERIFY(w.Text1(1)->text().isEmpty());
        QVERIFY(w.Opt(0)->isChecked());
        QVERIFY(!w.Chk(1)->isChecked());
        QVERIFY(w.Chk(2)->isChecked());
        QVERIFY(!w.Chk(3)->isChecked());
        QVERIFY(!w.ChkA()->isChecked());
        QVERIFY(w.ChkHtl(0)->isChecked());
        QVERIFY(w.Label2()->text().isEmpty());
        QVERIFY(m_prompts.warnings.empty());

        // Every control under its name, with its caption.
        const std::vector<std::pair<QString, QString>> captions{
            {"Opt_0", "Confermate"},
            {"Opt_1", "Opzionate"},
            {"Opt_2", "Tutte"},
            {"Chk_0", "Singola Ditta"},
            {"Chk_1", "Singola Ditta"},
            {"Chk_2", "Riepilogate"},
            {"Chk_3", "Elenco specifico"},
            {"ChkA", "Raggruppamento TOP/ACS"},
            {"ChkHtl_0", "Seleziona / deseleziona tutti gli hotel"},
            {"Tasto_0", "&Stampa"},
            {"Tasto_1", "&Esci"},
            {"Tasto_2", "E&lenco"},
            {"ChkHtl_1", "HOTEL EDEN"},
            {"ChkHtl_4", "HOTEL AURORA LAGO"}};
        for (const auto& [name, caption] : captions) {
            auto* button = w.findChild<QAbstractButton*>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->text(), caption);
        }
        QCOMPARE(w.findChild<QLabel*>("Label1_0")->text(), QStringLiteral("Dal mese"));
        QCOMPARE(w.findChild<QLabel*>("Label1_1")->text(), QStringLiteral("Al mese"));
        for (int i = 0; i < 5; ++i)
            QVERIFY(w.findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i)));
        QVERIFY(w.findChild<QLabel*>("Label2"));
        const auto actions = w.menuBar()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QStringLiteral("Stagione"));
        QCOMPARE(actions[1]->text(), QStringLiteral("Origine dati"));

        // The single-hotel filter and its list exist but are never shown.
        QVERIFY(!w.Chk(0)->isVisible());
        QVERIFY(!w.Combo1()->isVisible());
        QCOMPARE(w.Combo1()->count(), 4);
        QCOMPARE(w.Combo1()->currentText(), QStringLiteral("  1 - HOTEL EDEN"));
        QVERIFY(!w.ChkHtl(5));
        QCOMPARE(w.selection().companyList[1], std::string("CRAL DIPENDENTI COMUNALI"));
        QCOMPARE(w.selection().companyList[2], std::string("SOCIET\xC0 ALBA"));
        QVERIFY(w.selection().season.empty());

        w.Combo1()->setCurrentIndex(2);
        w.Combo1_Click();
        QCOMPARE(w.selectedHotel(), 3);
    }

    void tabOrderFollowsTheForm()
    {
        KV7DeskTop& w = open("hotel");
        w.Text1(0)->setFocus();
        const std::vector<QWidget*> order{w.Text1(2), w.Text1(3),  w.Text1(4), w.Tasto(0),
                                          w.Tasto(1), w.Tasto(2),  w.Text1(1), w.Chk(1),
                                          w.Chk(2),   w.Chk(3),    w.ChkA(),   w.ChkHtl(0),
                                          w.Opt(0),   w.ChkHtl(1), w.ChkHtl(2)};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void monthFieldsFilterAndMoveOnWithEnter()
    {
        KV7DeskTop& w = open("hotel");
        type(w.Text1(0), "7a");
        QCOMPARE(w.Text1(0)->text(), QStringLiteral("7"));
        QCOMPARE(QApplication::focusWidget(), w.Text1(2));

        type(w.Text1(0), "15");
        QCOMPARE(w.Text1(0)->text(), QStringLiteral("12"));
        QCOMPARE(QApplication::focusWidget(), w.Text1(0));
        type(w.Text1(0), "x");
        QCOMPARE(w.Text1(0)->text(), QStringLiteral("12"));

        type(w.Text1(2), "20x24");
        QCOMPARE(w.Text1(2)->text(), QStringLiteral("2024"));
        QCOMPARE(QApplication::focusWidget(), w.Text1(3));
        type(w.Text1(3), "03");
        QCOMPARE(QApplication::focusWidget(), w.Text1(4));
        type(w.Text1(4), "2024");
        QCOMPARE(QApplication::focusWidget(), w.Tasto(0));
        // The Enter that moved the focus did not press "&Stampa".
        QVERIFY(m_prompts.questions.empty());
        QVERIFY(!w.isBusy());

        // Enter in the single-company box goes on to "&Stampa".
        w.Chk(1)->setFocus();
        QTest::keyClick(w.Chk(1), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.Tasto(0));
        QVERIFY(m_prompts.questions.empty());

        // A field selects its whole text when it gets the focus.
        w.Text1(3)->setFocus();
        QTRY_COMPARE(w.Text1(3)->selectedText(), w.Text1(3)->text());
    }

    void aRefusedPeriodIsSaidUntilItIsCorrected()
    {
        KV7DeskTop& w = open("hotel");
        type(w.Text1(0), "15");
        QVERIFY(w.Label2()->text().startsWith(QStringLiteral("Mese non valido")));
        type(w.Text1(0), "3");
        QVERIFY(w.Label2()->text().isEmpty());

        // Up to a month before the first one: refused until the year is right.
        w.Text1(4)->setText(QStringLiteral("2025"));
        w.Tasto_Click(0);
        QVERIFY(!w.Label2()->text().isEmpty());
        QVERIFY(m_prompts.questions.empty());
        w.Text1(4)->clear();
        QTest::keyClicks(w.Text1(4), QStringLiteral("202"));
        QVERIFY(!w.Label2()->text().isEmpty());
        QTest::keyClicks(w.Text1(4), QStringLiteral("6"));
        QVERIFY(w.Label2()->text().isEmpty());
    }

    void hotelBoxesBeyondTheTenthAreShownAndFollowSelectAll()
    {
        folderWith(m_dir, "hotel");
        test::writeRegistry(m_dir->path(), 12);
        KV7DeskTop& w = reopen();
        QCOMPARE(w.Combo1()->count(), 12);
        for (int k = 1; k <= 12; ++k) {
            QVERIFY(w.ChkHtl(k));
            QVERIFY(w.ChkHtl(k)->isVisible());
            QCOMPARE(w.ChkHtl(k)->text(), QStringLiteral("HOTEL NUMERO %1").arg(k));
        }
        // Columns of five, in hotel order.
        auto pos = [&](int k) { return w.ChkHtl(k)->mapTo(&w, QPoint(0, 0)); };
        QCOMPARE(pos(1).x(), pos(5).x());
        QVERIFY(pos(2).y() > pos(1).y());
        QCOMPARE(pos(6).y(), pos(1).y());
        QVERIFY(pos(6).x() > pos(1).x());
        QVERIFY(pos(11).x() > pos(6).x());
        QCOMPARE(pos(11).y(), pos(1).y());

        QVERIFY(!w.selection().tickedHotels);
        click(w.ChkHtl(0));
        for (int k = 1; k <= 12; ++k)
            QVERIFY(!w.ChkHtl(k)->isChecked());
        QVERIFY(w.selection().tickedHotels && w.selection().tickedHotels->empty());
        click(w.ChkHtl(0));
        QVERIFY(!w.selection().tickedHotels);

        click(w.ChkHtl(12));
        click(w.ChkHtl(3));
        const Selection s = w.selection();
        QVERIFY(s.tickedHotels);
        QCOMPARE(s.tickedHotels->size(), std::size_t(10));
        QVERIFY(!s.hotelTicked(3) && !s.hotelTicked(12) && s.hotelTicked(11));
        QVERIFY(w.ChkHtl(0)->isChecked());
    }

    void atItsSmallestEveryControlStaysUsable()
    {
        folderWith(m_dir, "hotel");
        test::writeRegistry(m_dir->path(), 40);
        KV7DeskTop& w = reopen();
        // Forty hotels are eight columns: they scroll, the window fits the screen.
        const QRect screen = w.screen()->availableGeometry();
        QVERIFY(w.minimumWidth() <= screen.width() && w.minimumHeight() <= screen.height());
        // Made smaller from outside (a desktop without a window manager), it grows back.
        w.windowHandle()->resize(400, 250);
        QTRY_COMPARE(w.size(), w.minimumSize());
        for (auto* button : w.findChildren<QAbstractButton*>()) {
            if (button->isVisible())
                QVERIFY2(button->width() >= button->sizeHint().width() &&
                             button->height() >= button->sizeHint().height(),
                         qPrintable(button->objectName()));
        }
        auto* area = w.findChild<QScrollArea*>(QStringLiteral("Hotels"));
        QVERIFY(area);
        const auto shown = [&](int k) {
            const QRect box(w.ChkHtl(k)->mapTo(area->viewport(), QPoint(0, 0)),
                            w.ChkHtl(k)->size());
            return area->viewport()->rect().contains(box);
        };
        QVERIFY(shown(1));
        QVERIFY(!shown(40));
        for (int k = 1; k <= 5; ++k) {
            area->ensureWidgetVisible(w.ChkHtl(k));
            QVERIFY(shown(k));
        }
        area->ensureWidgetVisible(w.ChkHtl(40));
        QVERIFY(shown(40));
    }

    void aBoxBelongsToTheHotelOfItsNumber()
    {
        folderWith(m_dir, "hotel");
        test::HotelFolder(m_dir->path())
            .registry("(5,5,'QUINTO',''),(0,0,'INSTALLAZIONE',''),(1,1,'PRIMO','K'),"
                      "(2,2,'ADRIATICO & SPA',''),(7,5,'DOPPIONE','')");
        KV7DeskTop& w = reopen();
        QCOMPARE(w.Combo1()->count(), 4);
        QCOMPARE(w.Combo1()->itemText(3), QStringLiteral("  7 - DOPPIONE"));
        QCOMPARE(w.ChkHtl(1)->text(), QStringLiteral("PRIMO"));
        // A "&" of the name shows as it is, and makes no keyboard shortcut.
        QCOMPARE(w.ChkHtl(2)->text(), QStringLiteral("ADRIATICO && SPA"));
        QVERIFY(w.ChkHtl(2)->shortcut().isEmpty());
        QVERIFY(!w.ChkHtl(3));
        QCOMPARE(w.ChkHtl(5)->text(), QStringLiteral("QUINTO"));
        QCOMPARE(w.hotelNumbers(), (std::vector<std::int64_t>{1, 2, 5}));
        click(w.ChkHtl(5));
        QCOMPARE(*w.selection().tickedHotels, (std::set<std::int64_t>{1, 2}));
    }

    void captionsAreNotClipped()
    {
        folderWith(m_dir, "hotel-edge"); // a hotel name of fifty characters
        KV7DeskTop& w = reopen();
        for (auto* button : w.findChildren<QAbstractButton*>()) {
            if (button->isVisible())
                QVERIFY2(button->width() >= button->sizeHint().width(),
                         qPrintable(button->objectName()));
        }
        for (auto* label : w.findChildren<QLabel*>()) {
            if (label->isVisible() && !label->text().isEmpty())
                QVERIFY2(label->width() >= label->sizeHint().width(),
                         qPrintable(label->objectName()));
        }
        // On a screen of 1024x768 the whole window fits.
        const QRect screen = w.screen()->availableGeometry();
        if (screen.width() >= 1024 && screen.height() >= 768)
            QVERIFY(w.minimumSizeHint().width() <= screen.width() &&
                    w.minimumSizeHint().height() <= screen.height());
        for (int i : {0, 2, 3, 4}) {
            QLineEdit* edit = w.Text1(i);
            const int wanted =
                edit->fontMetrics().horizontalAdvance(i == 0 || i == 3 ? "00" : "0000");
            QVERIFY(edit->contentsRect().width() > wanted);
        }
    }

    void theSelectionSnapshotFollowsTheControls()
    {
        KV7DeskTop& w = open("hotel");
        click(w.Opt(2));
        click(w.Chk(2));
        click(w.Chk(3));
        click(w.ChkA());
        const Selection s = w.selection();
        QVERIFY(s.kind == BookingKind::All);
        QVERIFY(!s.summary);
        QVERIFY(s.companyListOnly);
        QVERIFY(s.groupTopAcs);
        QVERIFY(!s.singleHotel);
        QCOMPARE(s.comboHotel, 1);
        QCOMPARE(s.companyList[1], std::string("CRAL DIPENDENTI COMUNALI"));
        click(w.Opt(1));
        QVERIFY(w.selection().kind == BookingKind::Optional);
    }

    void companySearchOffersOneSortedListOfTheMatches()
    {
        KV7DeskTop& w = open("hotel-edge");
        // Without "Singola Ditta" Enter only moves to the box.
        type(w.Text1(1), "l'anc");
        QCOMPARE(QApplication::focusWidget(), w.Chk(1));
        QVERIFY(m_prompts.lists.empty());

        click(w.Chk(1));
        QVERIFY(w.Chk(1)->isChecked());
        QCOMPARE(QApplication::focusWidget(), w.Text1(1));
        type(w.Text1(1), "l'anc");
        QCOMPARE(m_prompts.lists, std::vector<std::string>{"Ditte Abituali: 1 ditta"});
        QCOMPARE(w.Text1(1)->text(), QStringLiteral("L'ANCORA VIAGGI"));
        QCOMPARE(QApplication::focusWidget(), w.Tasto(0));
        QVERIFY(m_prompts.questions.empty());
        const Selection s = w.selection();
        QVERIFY(s.singleCompany);
        QCOMPARE(s.company, std::string("L'ANCORA VIAGGI"));

        // One list, sorted by name; cancelled, the field keeps what was typed.
        m_prompts.lists.clear();
        m_prompts.choices = {std::nullopt};
        type(w.Text1(1), "rossi");
        QCOMPARE(m_prompts.lists, std::vector<std::string>{"Ditte Abituali: 3 ditte"});
        QCOMPARE(m_prompts.listRows.back(),
                 (std::vector<std::string>{"ROSSI SRL", "ROSSI TOUR", "Rossi Tour"}));
        QCOMPARE(w.Text1(1)->text(), QStringLiteral("rossi"));
        QCOMPARE(QApplication::focusWidget(), w.Chk(1));

        // The chosen row, taken as it is stored.
        m_prompts.choices = {2};
        type(w.Text1(1), "ROSSI");
        QCOMPARE(w.Text1(1)->text(), QStringLiteral("Rossi Tour"));

        // Nothing matches: no list, and the status line says so.
        m_prompts.lists.clear();
        type(w.Text1(1), "zzz");
        QVERIFY(m_prompts.lists.empty());
        QVERIFY(w.Text1(1)->text().isEmpty());
        QVERIFY(w.Label2()->text().contains(QStringLiteral("\"zzz\"")));
    }

    void companySearchReportsAMissingCompaniesFile()
    {
        KV7DeskTop& w = open("hotel");
        std::filesystem::remove(m_dir->path() / "DitteAbituali.mdb");
        click(w.Chk(1));
        type(w.Text1(1), "ROSSI");
        QVERIFY(test::contains(m_prompts.warnings, "DitteAbituali.mdb"));
        QCOMPARE(w.Text1(1)->text(), QStringLiteral("ROSSI"));
        QVERIFY(w.isVisible());
    }

    void aMissingOrCorruptRegistryIsReportedAndTheWindowOpens()
    {
        folderWith(m_dir, "hotel");
        std::filesystem::remove(m_dir->path() / "AnagraficaHotels.mdb");
        KV7DeskTop& w = reopen();
        QCOMPARE(m_prompts.warnings.size(), std::size_t(1));
        QVERIFY(test::contains(m_prompts.warnings, "AnagraficaHotels.mdb"));
        QVERIFY(!w.ChkHtl(1));
        QCOMPARE(w.Combo1()->count(), 0);
        QCOMPARE(w.Text1(0)->text(), QStringLiteral("12"));

        test::writeFile(m_dir->path() / "AnagraficaHotels.mdb", "questo non \xC3\xA8 un database");
        KV7DeskTop& again = reopen();
        QVERIFY(test::contains(m_prompts.warnings, "AnagraficaHotels.mdb"));
        QVERIFY(again.isVisible());
        click(again.ChkHtl(0));
        QVERIFY(!again.ChkHtl(0)->isChecked());
    }

    void anUnknownSeasonIsSaidAndTheSeasonsListedAgain()
    {
        KV7DeskTop& w = open("hotel");
        m_prompts.inputs = {std::string("2024"), std::string("2023")};
        w.menu_Click();
        QCOMPARE(m_prompts.prompts.size(), std::size_t(2));
        const std::string& again = m_prompts.prompts[1].first;
        QVERIFY2(again.find("La stagione \"2024\" non ha file di prenotazioni") !=
                         std::string::npos &&
                     again.find("Elenco Stagioni Archiviate\r\n\r\n") != std::string::npos &&
                     again.find("2023\r\n") != std::string::npos,
                 again.c_str());
        QCOMPARE(m_prompts.prompts[1].second, std::string("2024"));
        QCOMPARE(w.selection().season, std::string("2023"));
        QVERIFY(w.seasonLabel()->isVisible());
    }

    void esciClosesTheWindow()
    {
        KV7DeskTop& w = open("hotel");
        click(w.Tasto(1));
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(KV7DeskTopTest)
#include "KV7DeskTopTest.moc"
