// Work off the window's thread: its value arrives on the window's thread
// while the window goes on, "Annulla" stops it, its exception becomes an
// error (or, waited for, the same exception again), and a window closed
// before the work ends is not called back.

#include "gui/desk/OffThread.h"

#include "data/DataError.h"

#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

using namespace presenze;
using namespace std::chrono_literals;

namespace {

// Spins until `flag` is set, for at most a minute (a test that fails must
// not hang the run).
void waitFor(const std::atomic<bool>& flag)
{
    for (int i = 0; i < 6000 && !flag; ++i)
        std::this_thread::sleep_for(10ms);
}

} // namespace

class OffThreadTest : public QObject {
    Q_OBJECT
private slots:
    void theValueArrivesOnTheWindowsThread();
    void cancelStopsTheWorkAndDropsItsValue();
    void anExceptionBecomesAnError();
    void waitingKeepsTheWindowGoingAndRaisesTheWorksOwnException();
    void aWindowGoneBeforeTheWorkEndsIsNotCalledBack();
};

void OffThreadTest::theValueArrivesOnTheWindowsThread()
{
    QObject window;
    QThread* workThread = nullptr;
    std::optional<OffThreadOutcome<int>> outcome;
    QThread* doneThread = nullptr;
    runOffThread(
        &window,
        [&workThread] {
            workThread = QThread::currentThread();
            return 42;
        },
        [&](OffThreadOutcome<int> o) {
            doneThread = QThread::currentThread();
            outcome = std::move(o);
        });
    QTRY_VERIFY(outcome.has_value());
    QCOMPARE(outcome->value, std::optional<int>(42));
    QVERIFY(outcome->error.empty() && !outcome->cancelled);
    QCOMPARE(doneThread, window.thread());
    QVERIFY(workThread && workThread != window.thread());
}

void OffThreadTest::cancelStopsTheWorkAndDropsItsValue()
{
    QObject window;
    std::optional<OffThreadOutcome<int>> outcome;
    QFutureWatcherBase* task = runOffThread(
        &window,
        [](OffThreadProgress& progress) {
            progress.setRange(0, 100);
            int step = 0;
            for (; step < 6000 && !progress.cancelled(); ++step) {
                progress.setValue(step % 100);
                std::this_thread::sleep_for(10ms);
            }
            return step;
        },
        [&](OffThreadOutcome<int> o) { outcome = std::move(o); });
    QSignalSpy progress(task, &QFutureWatcherBase::progressValueChanged);
    QTRY_VERIFY(!progress.isEmpty() && progress.back().front().toInt() > 0);
    QCOMPARE(task->progressMaximum(), 100);
    task->cancel();
    QTRY_VERIFY(outcome.has_value());
    QVERIFY(outcome->cancelled);
    QVERIFY(!outcome->value && outcome->error.empty());
}

void OffThreadTest::anExceptionBecomesAnError()
{
    QObject window;
    std::optional<OffThreadOutcome<std::monostate>> data, other, unknown;
    runOffThread(
        &window, [] { throw DataError("Lettura non riuscita", "Stampanti.mdb"); },
        [&](auto o) { data = std::move(o); });
    runOffThread(
        &window, [] { throw std::runtime_error("disk I/O error"); },
        [&](auto o) { other = std::move(o); });
    runOffThread(
        &window, [] { throw 7; }, [&](auto o) { unknown = std::move(o); });
    QTRY_VERIFY(data && other && unknown);
    QCOMPARE(data->error, std::string(DataError("Lettura non riuscita", "Stampanti.mdb").what()));
    QCOMPARE(other->error, std::string("Errore imprevisto"));
    QCOMPARE(unknown->error, std::string("Errore imprevisto"));
    for (const auto* o : {&*data, &*other, &*unknown})
        QVERIFY(!o->value && !o->cancelled);
}

void OffThreadTest::waitingKeepsTheWindowGoingAndRaisesTheWorksOwnException()
{
    // A timer of the window fires while the work runs; the work ends only then.
    std::atomic<bool> ticked{false};
    QTimer tick;
    tick.setSingleShot(true);
    connect(&tick, &QTimer::timeout, [&] { ticked = true; });
    tick.start(10);
    const int value = waitOffThread([&] {
        waitFor(ticked);
        return ticked ? 1 : 0;
    });
    QCOMPARE(value, 1);

    QVERIFY_THROWS_EXCEPTION(DataError, waitOffThread([] { throw DataError("Stampa", "x.pdf"); }));
}

void OffThreadTest::aWindowGoneBeforeTheWorkEndsIsNotCalledBack()
{
    std::atomic<bool> started{false};
    std::atomic<bool> release{false};
    std::atomic<bool> stopAsked{false};
    std::atomic<bool> ended{false};
    bool calledBack = false;
    {
        auto window = std::make_unique<QObject>();
        runOffThread(
            window.get(),
            [&](OffThreadProgress& progress) {
                started = true;
                waitFor(release);
                stopAsked = progress.cancelled();
                ended = true;
                return 0;
            },
            [&](OffThreadOutcome<int>) { calledBack = true; });
        QTRY_VERIFY(started);
    }
    release = true;
    QTRY_VERIFY(ended);
    QTest::qWait(50);
    QVERIFY(stopAsked);
    QVERIFY(!calledBack);
}

QTEST_MAIN(OffThreadTest)
#include "OffThreadTest.moc"
