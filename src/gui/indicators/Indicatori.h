#pragma once
// The "Indicatori" window, opened from the main window: the indicators of
// its months, booking kind and ticked hotels, computed as `presenze-cli kpi`
// computes them (indicators/ComputeIndicators.h, every season of the
// folder) and shown as the command line's table shows them
// (output/IndicatorRows.h). "Per mese": hotel by hotel its months and its
// total, the group last, the chart of occupancy and ADR below
// (render/IndicatorChart.h); "Per ditta": each hotel's companies, largest
// first, "Altre ditte" after the first 20. "Confronta con l'anno
// precedente" adds last year's rows and the change; "Prossimi 30/90/365
// giorni" counts the nights from today instead of the months. Every choice
// computes again off the window's thread (gui/desk/OffThread.h), the
// progress shown at the foot with "Annulla"; the window answers meanwhile.
// "Excel", "CSV" (of the tab shown) and "PDF" (render/IndicatorPdf.h) write
// the figures shown into a file the person names (gui/desk/
// OutputFileDialog.h) and open it.
//
//   Indicatori window(folder, request, clock, prompts, mainWindow);
//   window.exec();

#include "common/Clock.h"
#include "data/DataFolder.h"
#include "gui/desk/DeskPrompts.h"
#include "gui/desk/OutputFileDialog.h"
#include "gui/desk/WorkStatus.h"
#include "gui/output/QtFileOpener.h"
#include "indicators/IndicatorRequest.h"
#include "indicators/Indicators.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabWidget;
class QTableView;

namespace presenze {

class IndicatorChartView;
class IndicatorTableModel;

class Indicatori final : public QDialog {
    Q_OBJECT
public:
    // The figures of `request` (its months, kind and hotels); the clock
    // gives today for the nights ahead. Starts computing at once.
    Indicatori(DataFolder folder, IndicatorRequest request, const Clock& clock,
               DeskPrompts& prompts, QWidget* parent = nullptr);
    ~Indicatori() override;

    // --- Controls ---------------------------------------------------------
    QCheckBox* compareBox() const { return m_compare; }
    // 0: the main window's months; 1, 2, 3: the next 30, 90, 365 nights.
    QRadioButton* periodChoice(int index) const
    {
        return m_period.at(static_cast<std::size_t>(index));
    }
    QTabWidget* tabs() const { return m_tabs; }
    QTableView* monthTable() const { return m_months; }
    QTableView* companyTable() const { return m_companies; }
    IndicatorChartView* chartView() const { return m_chart; }
    QProgressBar* progressBar() const { return m_work.progress; }
    QPushButton* stopButton() const { return m_work.stop; }
    QPushButton* excelButton() const { return m_excel; }
    QPushButton* csvButton() const { return m_csv; }
    QPushButton* pdfButton() const { return m_pdf; }
    QLabel* statusLabel() const { return m_work.status; }

    // What the choices ask for now.
    IndicatorRequest request() const;
    // The figures shown; null while there are none.
    std::shared_ptr<const Indicators> indicators() const { return m_indicators; }
    // A computation is at work.
    bool isBusy() const { return m_task != nullptr; }

    // Replace the save dialog and the desktop's "open with the associated
    // program" (tests).
    void setFileDialog(OutputFileDialog dialog) { m_fileDialog = std::move(dialog); }
    void setFileOpener(FileOpener opener) { m_opener = std::move(opener); }

    // --- Event handlers ---------------------------------------------------
    void Excel_Click();
    void Csv_Click();
    void Pdf_Click();
    void Annulla_Click();

signals:
    // A computation has ended: its figures are shown, or why not.
    void computed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a computation gives back.
    struct Outcome {
        std::shared_ptr<const Indicators> indicators;
        std::vector<std::string> warnings; // Windows-1252
    };

    void buildControls();
    QWidget* buildChoices();
    QWidget* buildFooter();
    void compute();
    void computationEnded(const std::optional<Outcome>& outcome, const std::string& error,
                          bool cancelled);
    void showIndicators(std::shared_ptr<const Indicators> indicators);
    void setBusy(bool busy);
    void setStatus(const QString& text);
    std::filesystem::path proposedFile(std::string_view extension) const;
    void save(const QString& title, const QString& filter, const QString& written,
              const std::function<void(const Indicators&, const std::filesystem::path&)>& write);

    DataFolder m_folder;
    IndicatorRequest m_request;
    const Clock& m_clock;
    DeskPrompts& m_prompts;
    OutputFileDialog m_fileDialog;
    FileOpener m_opener;
    std::shared_ptr<const Indicators> m_indicators;
    QPointer<QFutureWatcherBase> m_task;
    int m_generation = 0; // of the computation whose outcome is awaited

    std::array<QRadioButton*, 4> m_period{};
    QCheckBox* m_compare = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTableView* m_months = nullptr;
    QTableView* m_companies = nullptr;
    IndicatorTableModel* m_monthRows = nullptr;
    IndicatorTableModel* m_companyRows = nullptr;
    IndicatorChartView* m_chart = nullptr;
    QScrollArea* m_chartArea = nullptr;
    QLabel* m_legend = nullptr;
    WorkStatus m_work;
    QPushButton* m_excel = nullptr;
    QPushButton* m_csv = nullptr;
    QPushButton* m_pdf = nullptr;
};

} // namespace presenze
