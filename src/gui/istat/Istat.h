#pragma once
// "ISTAT": the monthly guest movement of the ticked hotels for one month,
// counted as `presenze-cli istat` counts it (istat/MovimentoClienti.h). For
// the hotel chosen ("Hotel") it shows
//   - "Giorni": a row a day with the persons present the night before, the
//     arrivals, the departures, the persons present that night and the rooms
//     occupied, and the month's sums; of every guest, or of the nationality
//     chosen ("Nazione", where the rooms are not given);
//   - "Riepilogo del mese": rooms and beds available, days open, bed-days,
//     and the month's arrivals and presences by nationality;
//   - "Differenze": the room lines left out of the figures for their dates,
//     with the day, the nationality and the booking.
// The count runs off the window's thread (gui/desk/OffThread.h): the foot
// shows its progress and an "Annulla" that drops it, and the window answers
// meanwhile. "Excel" writes the workbook of `istat --xlsx` to a file the user
// names (checked as every output the user names), off the thread too, and
// opens it; "Letti per hotel" edits LettiHotel.txt and counts again;
// "Aggiorna" counts again from the files.

#include "data/DataFolder.h"
#include "gui/desk/DeskPrompts.h"
#include "gui/desk/OutputFileDialog.h"
#include "gui/desk/WorkStatus.h"
#include "gui/output/QtFileOpener.h"
#include "istat/IstatOptions.h"
#include "istat/MovimentoClienti.h"

#include <QDialog>
#include <filesystem>
#include <memory>

class QComboBox;
class QFutureWatcherBase;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace presenze {

class Istat final : public QDialog {
    Q_OBJECT
public:
    // The month, the hotels (nullopt: all) and the season of `options`; the
    // count starts at once.
    Istat(DataFolder folder, IstatOptions options, DeskPrompts& prompts, QWidget* parent = nullptr);
    ~Istat() override;

    QComboBox* hotelChoice() const { return m_hotel; }
    QComboBox* nationalityChoice() const { return m_nation; }
    QTabWidget* pages() const { return m_pages; }
    QTableWidget* dayTable() const { return m_days; }
    QTableWidget* summaryTable() const { return m_summary; }
    QTableWidget* nationalityTable() const { return m_nations; }
    QTableWidget* differenceTable() const { return m_differences; }
    QLabel* bedsNote() const { return m_bedsNote; }
    QPushButton* excelButton() const { return m_excel; }
    QPushButton* bedsButton() const { return m_bedsButton; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* stopButton() const { return m_work.stop; }
    QProgressBar* progressBar() const { return m_work.progress; }
    QLabel* statusLine() const { return m_work.status; }

    // The count or the workbook is at work.
    bool isBusy() const { return m_task != nullptr; }
    // The figures shown; null before the first count has ended.
    const std::shared_ptr<const MonthMovement>& movement() const { return m_movement; }

    void setFileDialog(OutputFileDialog dialog) { m_fileDialog = std::move(dialog); }
    void setFileOpener(FileOpener opener) { m_opener = std::move(opener); }

    // Counts the month again from the files.
    void Aggiorna_Click();
    void Excel_Click();
    void Letti_Click();
    void Annulla_Click();

signals:
    // The count or the workbook has ended (done, failed or dropped).
    void workFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildDayPage();
    QWidget* buildSummaryPage();
    QWidget* buildDifferencePage();
    QWidget* buildButtons();
    QWidget* buildFooter();
    void setBusy(bool busy, const QString& text = {});
    void setStatus(const QString& text);
    void counted(std::shared_ptr<const MonthMovement> movement);
    void showHotel();
    void showDays();
    void showSummary(const HotelMovement& hotel);
    void showDifferences(const HotelMovement& hotel);
    const HotelMovement* currentHotel() const;
    QString monthTitle() const;
    std::filesystem::path proposedWorkbook() const;

    DataFolder m_folder;
    IstatOptions m_options;
    DeskPrompts& m_prompts;
    OutputFileDialog m_fileDialog;
    FileOpener m_opener;
    std::shared_ptr<const MonthMovement> m_movement;
    QFutureWatcherBase* m_task = nullptr;
    int m_generation = 0;   // of the count at work; a dropped one no longer counts
    bool m_writing = false; // the workbook, which is let finish
    std::filesystem::path m_lastWorkbook;

    QLabel* m_title = nullptr;
    QComboBox* m_hotel = nullptr;
    QComboBox* m_nation = nullptr;
    QTabWidget* m_pages = nullptr;
    QTableWidget* m_days = nullptr;
    QTableWidget* m_summary = nullptr;
    QTableWidget* m_nations = nullptr;
    QLabel* m_bedsNote = nullptr;
    QLabel* m_check = nullptr;
    QTableWidget* m_differences = nullptr;
    QPushButton* m_excel = nullptr;
    QPushButton* m_bedsButton = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_close = nullptr;
    WorkStatus m_work;
};

} // namespace presenze
