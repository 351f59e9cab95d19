#include "gui/desk/QtPrintJob.h"

#include "common/ReportFigures.h"
#include "data/DataError.h"
#include "data/Text1252.h"
#include "render/QtText.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>

namespace presenze {
namespace {

// Runs a question on the window's thread without the hourglass over it.
template <typename Question> auto withNormalCursor(Question question)
{
    const bool waiting = QGuiApplication::overrideCursor() != nullptr;
    if (waiting)
        QGuiApplication::restoreOverrideCursor();
    auto answer = question();
    if (waiting)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    return answer;
}

} // namespace

QtPrintJob::QtPrintJob(PrintOrder order, const Clock& clock, DeskPrompts& prompts, QObject* parent)
    : QObject(parent), m_order(std::move(order)), m_clock(clock), m_prompts(prompts)
{}

QtPrintJob::~QtPrintJob()
{
    if (!m_thread)
        return;
    if (m_thread->isRunning()) {
        QEventLoop loop;
        connect(m_thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        if (m_thread->isRunning())
            loop.exec();
    }
    m_thread->wait();
}

void QtPrintJob::start()
{
    m_thread.reset(QThread::create([this] { work(); }));
    connect(m_thread.get(), &QThread::finished, this, &QtPrintJob::finished);
    m_thread->start();
}

bool QtPrintJob::running() const
{
    return m_thread && !m_thread->isFinished();
}

void QtPrintJob::work()
{
    try {
        // The figures go with the report file to the workbook and the charts.
        auto figures = std::make_shared<ReportFigures>();
        // A data file written a moment ago is waited for: the status line
        // says so, and "Annulla" stops the wait as it stops the request.
        m_order.folder.setWaitNotice([this](std::string_view text) {
            if (!text.empty())
                status(text);
            return !m_stop;
        });
        ReportContext context{m_order.folder, m_order.stationTag, m_clock, *this};
        context.figures = figures.get();
        context.source = m_order.source.get();
        m_report = runPrintRequest(m_order.kind, m_order.range, m_order.selection, context);
        m_figures = std::move(figures);
    } catch (const RequestCancelled&) {
        m_cancelled = true;
    } catch (const DataError& e) {
        // A wait for a data file stopped by "Annulla" is a cancelled request.
        if (m_stop)
            m_cancelled = true;
        else
            m_error = e.what();
    } catch (const std::exception& e) {
        m_error = unexpectedErrorText(e);
    } catch (...) {
        m_error = "Errore imprevisto.";
    }
}

int QtPrintJob::ask(std::string_view title, std::string_view text, bool withCancel)
{
    int answer = AnswerCancel;
    QMetaObject::invokeMethod(
        this,
        [&] { answer = withNormalCursor([&] { return m_prompts.ask(title, text, withCancel); }); },
        Qt::BlockingQueuedConnection);
    return answer;
}

int QtPrintJob::askEachMonth(std::string_view title, std::string_view text, bool& sameForRest)
{
    int answer = AnswerCancel;
    QMetaObject::invokeMethod(
        this,
        [&] {
            answer =
                withNormalCursor([&] { return m_prompts.askEachMonth(title, text, sameForRest); });
        },
        Qt::BlockingQueuedConnection);
    return answer;
}

void QtPrintJob::warn(std::string_view title, std::string_view text)
{
    QMetaObject::invokeMethod(
        this,
        [&] {
            withNormalCursor([&] {
                m_prompts.warn(title, text);
                return 0;
            });
        },
        Qt::BlockingQueuedConnection);
}

void QtPrintJob::status(std::string_view text)
{
    {
        const std::lock_guard lock(m_statusMutex);
        m_latestStatus = text;
    }
    if (!m_statusPending.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { deliverStatus(); }, Qt::QueuedConnection);
}

void QtPrintJob::deliverStatus()
{
    std::string text;
    {
        const std::lock_guard lock(m_statusMutex);
        text = m_latestStatus;
        m_statusPending = false;
    }
    emit statusChanged(fromCp1252(text));
}

void QtPrintJob::month(int index, int count, std::string_view name)
{
    emit monthStarted(index, count, fromCp1252(name));
}

} // namespace presenze
