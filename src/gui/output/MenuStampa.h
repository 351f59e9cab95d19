#pragma once
// The print menu ("Stampe non modificabili"), shown modally after a report
// has been written: it prints the report file on a destination of
// "Stampanti.mdb" (or on the PDF destination), opens its archive copy and its
// CSV export with the associated programs, and opens the preview. With the
// figures of the request that wrote the report file it also writes them as
// an Excel workbook ("Excel") and shows them as charts ("Grafici"). It stays
// on top of the other windows. The chosen destination and the check boxes
// stay as they are while the menu is open; the destination list is read
// when the menu opens and again when the preview closes. A print, the CSV
// export and the workbook run off the window's thread with a progress dialog
// and "Annulla" (gui/desk/OffThread.h, runWithProgress). Each action's
// outcome goes out as statusMessage (the main window's status line).
//
//   MenuStampa menu(folder, stationTag, hotel, clock, parentWindow);
//   menu.setFigures(figures);
//   menu.exec();

#include "common/Clock.h"
#include "common/Interaction.h"
#include "common/ReportFigures.h"
#include "data/DataFolder.h"
#include "gui/output/QtFileOpener.h"
#include "output/PrintJob.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QToolButton;

namespace presenze {

class MenuStampa final : public QDialog {
    Q_OBJECT
public:
    // The menu of the report file "fd" + tag of the data folder; prints take
    // the page lengths of `hotel` (hotel 1 for 0, no hotel chosen). The clock
    // dates the archive copy; `ui` answers the menu's messages (message boxes
    // when null). Makes the archive copy at once (Form_Load).
    MenuStampa(DataFolder folder, std::string stationTag, std::int64_t hotel, const Clock& clock,
               QWidget* parent = nullptr, Interaction* ui = nullptr);
    ~MenuStampa() override;

    // Replaces the desktop's "open with the associated program".
    void setFileOpener(FileOpener opener);
    // The figures of the report file; without them "Excel" and "Grafici"
    // are disabled.
    void setFigures(std::shared_ptr<const ReportFigures> figures);

    // Reads the destination list again, keeping the chosen destination when
    // it is still there (when the menu opens and when the preview closes).
    void Form_Activate();
    // The six buttons: 0 archive copy, 1 CSV, 2 PDF destination, 3 print,
    // 4 preview, 5 close.
    void Tst_Click(int index);

    // "Excel": writes the figures into "fd" + tag + ".xlsx" in the data folder
    // and opens it with its program.
    void Excel_Click();
    // "Grafici": the charts of the figures, modally.
    void Grafici_Click();

    // The archive copy "doc/fd" + tag + YYYYMMDDhhmm + ".doc", in the data folder.
    std::filesystem::path archiveCopyPath() const;
    // The PDF file of a PDF destination whose device is no printer.
    std::filesystem::path defaultPdfPath() const;
    // The hotel whose page lengths the prints take.
    std::int64_t hotel() const { return m_hotel; }

signals:
    // What an action did: printed where, which file was written (UTF-16 text).
    void statusMessage(const QString& text);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Form_Load();
    void showPrinters(const QStringList& printers);
    void buildControls();
    PrintChoices choices() const;
    // The actions of Tst(0)..Tst(4).
    void openArchiveCopy();
    void exportCsv();
    void printOnPdfDestination();
    void printOnDestination();
    void showPreview();
    void openFile(const std::filesystem::path& file, const std::string& what);
    void report(const std::string& text);

    DataFolder m_folder;
    std::string m_tag;
    std::int64_t m_hotel;
    const Clock& m_clock;
    std::unique_ptr<Interaction> m_ownUi;
    Interaction* m_ui;
    FileOpener m_opener;
    std::string m_archiveName;           // built from the clock at Form_Load
    std::filesystem::path m_archiveCopy; // the name the copy took (numbered when taken)
    bool m_closing = false;              // no destination: the menu is on its way out

    QGroupBox* m_frame = nullptr;            // SSFrame1
    QComboBox* m_destinations = nullptr;     // Combo1
    QComboBox* m_printers = nullptr;         // Combo2
    QCheckBox* m_compressed = nullptr;       // Chk
    QCheckBox* m_landscape = nullptr;        // Chk2
    QCheckBox* m_duplex = nullptr;           // Chk3
    std::array<QToolButton*, 6> m_buttons{}; // Tst(0)..Tst(5)
    std::shared_ptr<const ReportFigures> m_figures;
    QToolButton* m_excel = nullptr;
    QToolButton* m_charts = nullptr;
};

} // namespace presenze
