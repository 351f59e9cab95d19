// presenze-bench-gui: how the main window copes while a long report is built.
// It opens the window on the L group of presenze-bench, asks for the 12-month
// reports per company (Type 1, then Type 2) as a user would, then opens
// "Indicatori" on the same year and compares it with last year, then writes
// the Type 2 report's workbook ("Excel") and its PDF ("Stampa PDF") from the
// print menu, and measures
// on the window's own thread: the longest time without a turn of the event
// loop (a window that does not turn cannot repaint), and how often the
// status line changed. Without a display it runs on Qt's offscreen platform.

#include "../BenchData.h"
#include "common/Clock.h"
#include "common/Station.h"
#include "gui/desk/DeskPrompts.h"
#include "gui/desk/KV7DeskTop.h"
#include "gui/indicators/Indicatori.h"
#include "gui/output/MenuStampa.h"
#include "request/PrintRequest.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iostream>

using namespace presenze;
using namespace presenze::bench;

namespace {

// Answers the window's questions from a list, then "Sì".
class Answers final : public DeskPrompts {
public:
    std::deque<int> next;
    int ask(std::string_view, std::string_view, bool) override
    {
        if (next.empty())
            return AnswerYes;
        const int answer = next.front();
        next.pop_front();
        return answer;
    }
    void warn(std::string_view, std::string_view text) override
    {
        std::cerr << "avviso: " << text << '\n';
    }
    void status(std::string_view) override {}
    void inform(std::string_view, std::string_view) override {}
    std::optional<std::string> input(std::string_view, std::string_view,
                                     std::string_view proposed) override
    {
        return std::string(proposed);
    }
    std::optional<std::size_t> choose(std::string_view, std::string_view,
                                      const std::vector<std::string>&,
                                      const std::vector<std::vector<std::string>>&) override
    {
        return 0;
    }
};

struct Figures {
    double seconds = 0;
    double longestStallMs = 0;
    int statusChanges = 0;
};

// `run` (which returns when its work is done) timed on the window's thread:
// its time, the longest stall of the event loop and the changes of
// `statusLine` meanwhile.
Figures measured(const QLabel* statusLine, const std::function<void()>& run)
{
    Figures f;
    QString lastStatus = statusLine ? statusLine->text() : QString();
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        f.longestStallMs = std::max(f.longestStallMs, (now - lastTick) / 1e6);
        lastTick = now;
        if (statusLine && statusLine->text() != lastStatus) {
            lastStatus = statusLine->text();
            ++f.statusChanges;
        }
    });
    clock.start();
    ticker.start();
    run();
    const qint64 end = clock.nsecsElapsed();
    f.longestStallMs = std::max(f.longestStallMs, (end - lastTick) / 1e6);
    ticker.stop();
    f.seconds = end / 1e9;
    return f;
}

void chooseYear(KV7DeskTop& window)
{
    const MonthRange year = benchYear();
    window.Text1(0)->setText(QString::number(year.firstMonth));
    window.Text1(2)->setText(QString::number(year.firstYear));
    window.Text1(3)->setText(QString::number(year.lastMonth));
    window.Text1(4)->setText(QString::number(year.lastYear));
    window.Opt(2)->setChecked(true); // every booking kind
}

// One print request of the whole year, timed on the window's thread.
Figures printYear(KV7DeskTop& window, Answers& answers, bool type1)
{
    chooseYear(window);
    window.Chk(2)->setChecked(false); // per company
    answers.next = {type1 ? AnswerYes : AnswerNo};
    QSignalSpy finished(&window, &KV7DeskTop::printRequestFinished);
    return measured(window.findChild<QLabel*>(QStringLiteral("Label2")), [&] {
        window.Tasto(0)->click(); // "&Stampa"
        if (window.isBusy())
            finished.wait(600000);
    });
}

// "Indicatori" over the whole year: opened, then compared with last year,
// until the figures show.
Figures indicatorsYear(KV7DeskTop& window)
{
    chooseYear(window);
    return measured(nullptr, [&] {
        QTimer::singleShot(0, &window, [] {
            auto* indicators = qobject_cast<Indicatori*>(QApplication::activeModalWidget());
            if (!indicators)
                return;
            const auto settled = [&] {
                if (!QTest::qWaitFor([&] { return !indicators->isBusy(); }, 600000))
                    std::cerr << "Indicatori: calcolo non finito\n";
            };
            settled();
            indicators->compareBox()->click();
            settled();
            indicators->close();
        });
        window.indicatoriButton()->click();
    });
}

// The print menu of the 12-month Type 2 report per company (its figures kept,
// as the window's request keeps them), its two long outputs timed apart:
// "Excel" and "Stampa PDF" (the group's "PDF Ufficio", a PDF file).
std::pair<Figures, Figures> printMenuOutputs(const std::filesystem::path& data, QWidget* window,
                                             Answers& answers, const Clock& clock)
{
    constexpr const char* kTag = "m";
    auto figures = std::make_shared<ReportFigures>();
    Selection selection;
    selection.kind = BookingKind::All;
    selection.summary = false;
    answers.next = {};
    ReportContext context{DataFolder(data), kTag, clock, answers};
    context.figures = figures.get();
    runPrintRequest(ReportKind::Type2, benchYear(), selection, context);
    MenuStampa menu(DataFolder(data), kTag, 1, clock, window, &answers);
    menu.setFigures(figures);
    menu.setFileOpener([](const std::filesystem::path&) { return Handover{"bench"}; });
    menu.Form_Activate();
    const Figures workbook = measured(nullptr, [&] { menu.Excel_Click(); });
    const Figures pdf = measured(nullptr, [&] { menu.Tst_Click(2); });
    return {workbook, pdf};
}

// Qt's own notes (offscreen platform, runtime folder) would only clutter the
// table; critical messages still show.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietQt);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    BenchSize large;
    for (auto& size : benchSizes(1, false))
        if (size.name == "L")
            large = size;
    const auto data = groupFolder(large, defaultCacheRoot());
    if (!groupReady(data)) {
        std::cerr << "Generazione del gruppo L in " << data << "...\n";
        generateGroup(large, data);
    }
    qputenv("PCLocal", "g");

    SystemClock clock;
    Answers answers;
    KV7DeskTop window(DataFolder(data), clock, &answers);
    window.setReportViewer([](QWidget*, const std::filesystem::path&) {});
    window.show();
    QApplication::processEvents();

    std::printf(
        "| request (L, 12 months, per company) | time | longest stall | status changes |\n");
    std::printf("|:--|--:|--:|--:|\n");
    for (const bool type1 : {true, false}) {
        const Figures f = printYear(window, answers, type1);
        std::printf("| %s | %.2f s | %.0f ms | %d (%.1f/s) |\n", type1 ? "Type 1" : "Type 2",
                    f.seconds, f.longestStallMs, f.statusChanges,
                    f.seconds > 0 ? f.statusChanges / f.seconds : 0.0);
    }
    const Figures f = indicatorsYear(window);
    std::printf("| Indicatori, then compared with last year | %.2f s | %.0f ms | - |\n", f.seconds,
                f.longestStallMs);
    const auto [workbook, pdf] = printMenuOutputs(data, &window, answers, clock);
    std::printf("| Type 2, \"Excel\" in the print menu | %.2f s | %.0f ms | - |\n",
                workbook.seconds, workbook.longestStallMs);
    std::printf("| Type 2, \"Stampa PDF\" in the print menu | %.2f s | %.0f ms | - |\n",
                pdf.seconds, pdf.longestStallMs);
    return 0;
}
