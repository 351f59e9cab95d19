#pragma once
// One way to run work off the window's thread. The work runs on Qt's thread
// pool (QtConcurrent::run) and its outcome comes back on the window's thread
// through a QFutureWatcher: its value, or the text of the error it raised
// (never a crash). The work may report its progress and look whether the
// window asked it to stop; the watcher signals the progress
// (progressRangeChanged, progressValueChanged) and takes cancel(). The work
// must not touch the window: it takes copies of what it needs.
//
//   QFutureWatcherBase* task = runOffThread(
//       this,
//       [folder](OffThreadProgress& progress) {
//           progress.setRange(0, months);
//           for (int m = 0; m < months && !progress.cancelled(); ++m) {
//               ...;
//               progress.setValue(m + 1);
//           }
//           return figures;
//       },
//       [this](OffThreadOutcome<Figures> outcome) { ... });
//   connect(task, &QFutureWatcherBase::progressValueChanged, bar, &QProgressBar::setValue);
//   connect(annulla, &QPushButton::clicked, task, &QFutureWatcherBase::cancel);
//
// waitOffThread(work) runs the work the same way and waits for it, the
// window repainting meanwhile (input waits until it is done); it returns
// the work's value or raises its exception again.
//
// runWithProgress(window, label, work) is for the long outputs (a workbook,
// a CSV, a print): it waits the same way, and once the work has run a
// moment a progress dialog modal to the window shows how far it has got,
// with "Annulla". The work takes the core's WorkProgress (no Qt in it),
// which stops it between rows or pages; it returns how the work ended.
//
//   const auto outcome = runWithProgress(this, "Scrittura...",
//       [figures, file](const WorkProgress& progress) {
//           return writeWorkbook(*figures, file, kSheetRows, progress);
//       });
//   if (outcome.cancelled) ...

#include "common/WorkProgress.h"

#include <QEventLoop>
#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QString>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

class QWidget;

namespace presenze {

// What the work sees of the window: where it has got to, and whether it
// should stop (it stops where it can; what it returns then is dropped).
class OffThreadProgress {
public:
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual bool cancelled() const = 0;

protected:
    ~OffThreadProgress() = default;
};

// How the work ended, on the window's thread: exactly one of a value, an
// error (Windows-1252: a data error's own text, "Errore imprevisto" for the
// rest) or cancelled. Work without a value gives std::monostate.
template <typename T> struct OffThreadOutcome {
    std::optional<T> value;
    std::string error;
    bool cancelled = false;
};

namespace offthread {

// The text an error of the work is shown with.
std::string errorText(std::exception_ptr error);
// The work stopped because it was asked to (WorkCancelled).
bool isCancel(std::exception_ptr error);
// Raises the work's own exception (QtConcurrent hands it over wrapped).
[[noreturn]] void rethrowOwn(std::exception_ptr error);

template <typename Work> decltype(auto) call(Work& work, OffThreadProgress& progress)
{
    if constexpr (std::is_invocable_v<Work&, OffThreadProgress&>)
        return work(progress);
    else
        return work();
}

template <typename Work>
using Result = decltype(call(std::declval<Work&>(), std::declval<OffThreadProgress&>()));
template <typename T> using Stored = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

template <typename T> class PromiseProgress final : public OffThreadProgress {
public:
    explicit PromiseProgress(QPromise<T>& promise) : m_promise(promise) {}
    void setRange(int minimum, int maximum) override
    {
        m_promise.setProgressRange(minimum, maximum);
    }
    void setValue(int value) override { m_promise.setProgressValue(value); }
    bool cancelled() const override { return m_promise.isCanceled(); }

private:
    QPromise<T>& m_promise;
};

template <typename Work> QFuture<Stored<Result<Work>>> start(Work work)
{
    using T = Result<Work>;
    return QtConcurrent::run([work = std::move(work)](QPromise<Stored<T>>& promise) mutable {
        PromiseProgress<Stored<T>> progress(promise);
        if constexpr (std::is_void_v<T>) {
            call(work, progress);
            promise.addResult(std::monostate());
        } else {
            promise.addResult(call(work, progress));
        }
    });
}

template <typename T> OffThreadOutcome<T> outcomeOf(QFuture<T> future)
{
    OffThreadOutcome<T> outcome;
    try {
        future.waitForFinished();
    } catch (...) {
        if (isCancel(std::current_exception()))
            outcome.cancelled = true;
        else
            outcome.error = errorText(std::current_exception());
        return outcome;
    }
    // A cancelled work's value never reaches the future.
    if (future.isCanceled() || future.resultCount() == 0)
        outcome.cancelled = true;
    else
        outcome.value = future.result();
    return outcome;
}

// The steps of the progress dialog's bar.
inline constexpr int kProgressSteps = 1000;

template <typename Work> using ProgressResult = std::invoke_result_t<Work&, const WorkProgress&>;

template <typename Work> QFuture<Stored<ProgressResult<Work>>> startWithProgress(Work work)
{
    using T = ProgressResult<Work>;
    return QtConcurrent::run([work = std::move(work)](QPromise<Stored<T>>& promise) mutable {
        promise.setProgressRange(0, kProgressSteps);
        const WorkProgress progress = [&promise](std::uint64_t done, std::uint64_t total) {
            if (total > 0)
                promise.setProgressValue(
                    static_cast<int>(std::min(done, total) * kProgressSteps / total));
            return !promise.isCanceled();
        };
        if constexpr (std::is_void_v<T>) {
            work(progress);
            promise.addResult(std::monostate());
        } else {
            promise.addResult(work(progress));
        }
    });
}

// Shows the progress of `future` in a dialog modal to `parent` (from a
// moment after the start) until it has finished; "Annulla" cancels it.
void waitWithProgress(QWidget* parent, const QString& label, QFuture<void> future);

} // namespace offthread

// Runs `work` (called with a const WorkProgress&) off the window's thread
// and waits for it with a progress dialog (see above); how it ended: its
// value, its error's text, or cancelled (WorkCancelled, or "Annulla").
template <typename Work>
OffThreadOutcome<offthread::Stored<offthread::ProgressResult<Work>>>
runWithProgress(QWidget* parent, const QString& label, Work work)
{
    auto future = offthread::startWithProgress(std::move(work));
    offthread::waitWithProgress(parent, label, QFuture<void>(future));
    return offthread::outcomeOf(future);
}

// Runs `work` (called with an OffThreadProgress&, or with nothing) off the
// window's thread; `done(OffThreadOutcome<...>)` is called on the thread of
// `context` once it ends, unless `context` is gone by then (the work is then
// asked to stop). The watcher returned is a child of `context` and goes
// after `done`.
template <typename Work, typename Done>
QFutureWatcherBase* runOffThread(QObject* context, Work work, Done done)
{
    using T = offthread::Stored<offthread::Result<Work>>;
    auto* watcher = new QFutureWatcher<T>(context);
    QFuture<T> future = offthread::start(std::move(work));
    QObject::connect(watcher, &QObject::destroyed, [future]() mutable { future.cancel(); });
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher,
                     [watcher, done = std::move(done)]() mutable {
                         done(offthread::outcomeOf(watcher->future()));
                         watcher->deleteLater();
                     });
    watcher->setFuture(future);
    return watcher;
}

// Runs `work` off the window's thread and waits for it, the window
// repainting meanwhile; returns its value or raises its exception.
template <typename Work> offthread::Result<Work> waitOffThread(Work work)
{
    using T = offthread::Stored<offthread::Result<Work>>;
    QFuture<T> future = offthread::start(std::move(work));
    {
        QEventLoop loop;
        QFutureWatcher<T> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    try {
        future.waitForFinished();
    } catch (...) {
        offthread::rethrowOwn(std::current_exception());
    }
    if constexpr (!std::is_void_v<offthread::Result<Work>>)
        return future.result();
}

} // namespace presenze
