#include "gui/desk/OffThread.h"

#include "data/DataError.h"

#include <QException>
#include <QProgressDialog>
#include <QTimer>

namespace presenze::offthread {

std::string errorText(std::exception_ptr error)
{
    try {
        rethrowOwn(error);
    } catch (const DataError& e) {
        return e.what();
    } catch (const std::exception& e) {
        return unexpectedErrorText(e);
    } catch (...) {
        return "Errore imprevisto";
    }
}

bool isCancel(std::exception_ptr error)
{
    try {
        rethrowOwn(error);
    } catch (const WorkCancelled&) {
        return true;
    } catch (...) {
    }
    return false;
}

void waitWithProgress(QWidget* parent, const QString& label, QFuture<void> future)
{
    // A short piece of work ends before anything shows.
    constexpr int kShowAfterMs = 300;
    QProgressDialog dialog(label, QStringLiteral("Annulla"), 0, kProgressSteps, parent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    dialog.hide();
    QEventLoop loop;
    QFutureWatcher<void> watcher;
    QObject::connect(&watcher, &QFutureWatcherBase::progressValueChanged, &dialog,
                     [&dialog](int value) {
                         if (dialog.isVisible())
                             dialog.setValue(value);
                     });
    QObject::connect(&dialog, &QProgressDialog::canceled, &watcher, [&watcher, &dialog] {
        dialog.setLabelText(QStringLiteral("Annullamento..."));
        watcher.cancel();
    });
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    QTimer show;
    show.setSingleShot(true);
    QObject::connect(&show, &QTimer::timeout, &dialog, [&dialog, &watcher] {
        if (!watcher.isFinished()) {
            dialog.show();
            dialog.setValue(watcher.progressValue());
        }
    });
    watcher.setFuture(future);
    show.start(kShowAfterMs);
    if (!watcher.isFinished())
        loop.exec();
    // The work may still be on its way out after a cancel: what it leaves
    // (a temporary file removed) is done before the window hears of it; its
    // outcome is read by the caller.
    try {
        future.waitForFinished();
    } catch (...) {
    }
}

void rethrowOwn(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const QUnhandledException& e) {
        if (e.exception())
            std::rethrow_exception(e.exception());
        throw;
    }
}

} // namespace presenze::offthread
