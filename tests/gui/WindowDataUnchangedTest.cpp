// Every window action over a demo folder leaves each hotel data file with its
// exact bytes and modification time: reports of both types (current and
// archived season, one company, the company list), the company search, the
// print menu's buttons on every destination, the preview's paging, saving and
// e-mail. Only the company list builder writes ElencoDitte.txt, as it must.

#include "GuiTestSupport.h"
#include "common/KV7Routine.h"
#include "demo/DemoData.h"
#include "gui/desk/KV7DeskTop.h"
#include "gui/dialogs/CreaElenco.h"
#include "gui/output/Anteprima.h"
#include "gui/output/MenuStampa.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <map>
#include <sys/stat.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

struct FileState {
    std::string bytes;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileState&) const = default;
};

bool isDataFile(const std::string& name)
{
    const std::string upper = upperCp1252(utf8ToCp1252(name));
    if (upper.ends_with(".MDB"))
        return !upper.starts_with("VALLOMIR");
    return upper == "ELENCODITTE.TXT" || upper == "FONTSTP.TXT" || upper == "SEPARATOREXLS.TXT";
}

std::map<std::string, FileState> dataFiles(const fs::path& dir)
{
    std::map<std::string, FileState> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || !isDataFile(name))
            continue;
        struct stat st {};
        ::stat(entry.path().c_str(), &st);
        files[name] = {test::readFile(entry.path()),
                       std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
    }
    return files;
}

} // namespace

class WindowDataUnchangedTest : public QObject {
    Q_OBJECT

private:
    test::TemporarySettings m_settings;
    std::unique_ptr<test::TempDir> m_dir;
    std::map<std::string, FileState> m_before;
    FixedClock m_clock = test::fixedClock();
    test::ScriptedPrompts m_prompts;
    test::ScriptedInteraction m_ui;
    std::vector<fs::path> m_opened;
    int m_menus = 0;

    void checkUnchanged(const char* after, bool listWritten = false)
    {
        auto now = dataFiles(m_dir->path());
        auto before = m_before;
        if (listWritten) {
            now.erase("ElencoDitte.txt");
            before.erase("ElencoDitte.txt");
        }
        QCOMPARE(now.size(), before.size());
        for (const auto& [name, state] : before) {
            if (!(now[name] == state))
                QFAIL(qPrintable(QString::fromStdString(name + " changed after " + after)));
        }
    }

    // The print menu of a report: every button, every destination.
    void useThePrintMenu(QWidget* parent)
    {
        ++m_menus;
        MenuStampa menu(DataFolder(m_dir->path()), "7", m_clock, parent, &m_ui);
        menu.setFileOpener([this](const fs::path& file) {
            m_opened.push_back(file);
            return test::openedWell();
        });
        menu.show();
        menu.Form_Activate();
        auto* destinations = menu.findChild<QComboBox*>(QStringLiteral("Combo1"));
        QVERIFY(destinations && destinations->count() > 0);
        menu.Tst_Click(0); // archive copy
        menu.Tst_Click(1); // CSV
        for (int i = 0; i < destinations->count(); ++i) {
            destinations->setCurrentIndex(i);
            menu.Tst_Click(3);
        }
        menu.Tst_Click(2); // the PDF destination
        checkUnchanged("the print menu");

        Anteprima preview(DataFolder(m_dir->path()), "7", &menu, &m_ui);
        preview.show();
        preview.Tasto_Click(3); // next chunk
        preview.Tasto_Click(4); // first chunk
        preview.Tasto_Click(2); // larger
        preview.Tasto_Click(6); // save
        preview.Tasto_Click(5); // e-mail
        preview.Tasto_Click(0);
        checkUnchanged("the preview");
    }

    void print(KV7DeskTop& w, std::deque<int> answers)
    {
        m_prompts.answers = std::move(answers);
        QSignalSpy finished(&w, &KV7DeskTop::printRequestFinished);
        QTest::mouseClick(w.Tasto(0), Qt::LeftButton);
        if (w.isBusy())
            QVERIFY(finished.wait(60000));
        QVERIFY(!w.isBusy());
        QVERIFY2(m_prompts.warnings.empty() ||
                     m_prompts.warnings.back().find("Nessun dato") != std::string::npos,
                 m_prompts.warnings.empty() ? "" : m_prompts.warnings.back().c_str());
        m_prompts.warnings.clear();
    }

private slots:
    void initTestCase()
    {
        qputenv("PCLocal", "7");
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock"); // no system printers
        qputenv("PRESENZE_MAIL", "/bin/true");
        m_dir = std::make_unique<test::TempDir>();
        DemoOptions options;
        options.seed = 5;
        options.reference = Date{2026, 2, 15};
        writeDemoData(m_dir->path(), options);
        m_before = dataFiles(m_dir->path());
        QVERIFY(m_before.size() >= 10);
    }

    void everyActionLeavesTheDataAlone()
    {
        KV7DeskTop w(DataFolder(m_dir->path()), m_clock, &m_prompts);
        w.setReportViewer([this](QWidget* parent, const fs::path&) { useThePrintMenu(parent); });
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Text1(0)->setText("01");
        w.Text1(2)->setText("2026");
        w.Text1(3)->setText("03");
        w.Text1(4)->setText("2026");

        print(w, {AnswerYes});           // Type 1, summary
        w.Chk(2)->setChecked(false);     // detail
        w.Opt(2)->setChecked(true);      // every kind
        print(w, {AnswerNo, AnswerYes}); // Type 2, presences
        w.Chk(3)->setChecked(true);      // the company list
        print(w, {AnswerYes});
        print(w, {AnswerNo, AnswerNo}); // arrivals
        w.Chk(3)->setChecked(false);
        checkUnchanged("the reports");

        // The company search, then a report of that company alone.
        w.Chk(1)->setChecked(true);
        w.Text1(1)->setFocus();
        w.Text1(1)->setText("A");
        m_prompts.answers = {AnswerYes};
        QTest::keyClick(w.Text1(1), Qt::Key_Return);
        QVERIFY(!w.Text1(1)->text().isEmpty());
        print(w, {AnswerYes});
        print(w, {AnswerNo, AnswerYes});
        w.Chk(1)->setChecked(false);
        checkUnchanged("the company search");

        // The archived season.
        m_prompts.inputs = {std::string("2025")};
        w.menuStagione()->trigger();
        QCOMPARE(Season, std::string("2025"));
        w.Text1(2)->setText("2025");
        w.Text1(4)->setText("2025");
        print(w, {AnswerYes});
        print(w, {AnswerNo, AnswerYes});
        checkUnchanged("the archived season");
        QCOMPARE(m_menus, 8);

        // The company list builder writes its own file, and only that.
        {
            CreaElenco dialog(DataFolder(m_dir->path()), std::nullopt, m_prompts);
            dialog.show();
            dialog.Form_Activate();
            QVERIFY(dialog.List1(1)->count() > 0);
            dialog.List1(1)->setCurrentRow(0);
            dialog.List1_DblClick(1);
            QTest::mouseClick(dialog.Tasto(0), Qt::LeftButton);
        }
        checkUnchanged("the company list builder", true);

        // The actions did write the station's own files.
        for (const char* name : {"fd7", "fd7.csv", "Vallomir7.mdb", "StampaAghi.prn", "e-mail7.txt",
                                 "doc/fd7202612081400.doc", "doc/fd7202612081400.pdf"})
            QVERIFY2(fs::exists(m_dir->path() / name), name);
        // The one message: the system printer destination, with no printer here.
        for (const auto& warning : m_ui.warnings)
            QVERIFY2(warning.find("Nessuna stampante predefinita") != std::string::npos,
                     warning.c_str());
    }
};

QTEST_MAIN(WindowDataUnchangedTest)
#include "WindowDataUnchangedTest.moc"
