#pragma once
// A print request at work. The report is built on a worker thread so that
// the window keeps repainting during long months; the core's questions
// (Type 2: presences or arrivals) are asked on the window's thread while the
// worker waits for the answer, and its status texts and month progress come
// back as signals (status texts coalesced, so a busy tally cannot flood the
// window). A stop asked from the window ends the request before its next
// month, leaving the report file as it was.

#include "common/Clock.h"
#include "common/Selection.h"
#include "data/BookingSource.h"
#include "gui/desk/DeskPrompts.h"
#include "request/PrintRequest.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace presenze {

class ReportFigures;

struct PrintOrder {
    ReportKind kind = ReportKind::Type1;
    MonthRange range;
    Selection selection;
    DataFolder folder;
    std::string stationTag; // Windows-1252
    // Where the hotels' data come from; null for the folder's files.
    std::shared_ptr<const BookingSource> source;
};

class QtPrintJob final : public QObject, private Interaction {
    Q_OBJECT
public:
    QtPrintJob(PrintOrder order, const Clock& clock, DeskPrompts& prompts,
               QObject* parent = nullptr);
    // Waits for the worker (answering its pending questions meanwhile).
    ~QtPrintJob() override;

    void start();
    bool running() const;
    // Asks the worker to stop before its next month.
    void requestStop() { m_stop = true; }

    // After finished(): the report file, or the error (Windows-1252).
    const std::optional<std::filesystem::path>& report() const { return m_report; }
    // After finished(): the figures of the report file (null after an error).
    const std::shared_ptr<const ReportFigures>& figures() const { return m_figures; }
    const std::string& error() const { return m_error; }
    // The request was stopped (by "Annulla" or a question cancelled).
    bool cancelled() const { return m_cancelled; }

signals:
    void statusChanged(const QString& text);
    void monthStarted(int index, int count, const QString& name);
    void finished();

private:
    void work();
    void deliverStatus();
    // The core's questions, called on the worker thread.
    int ask(std::string_view title, std::string_view text, bool withCancel) override;
    int askEachMonth(std::string_view title, std::string_view text, bool& sameForRest) override;
    bool stopRequested() override { return m_stop; }
    void warn(std::string_view title, std::string_view text) override;
    void status(std::string_view text) override;
    void month(int index, int count, std::string_view name) override;

    PrintOrder m_order;
    const Clock& m_clock;
    DeskPrompts& m_prompts;
    std::unique_ptr<QThread> m_thread;

    std::optional<std::filesystem::path> m_report;
    std::shared_ptr<const ReportFigures> m_figures;
    std::string m_error;
    std::atomic<bool> m_stop{false};
    bool m_cancelled = false;

    std::mutex m_statusMutex;
    std::string m_latestStatus;
    std::atomic<bool> m_statusPending{false};
};

} // namespace presenze
