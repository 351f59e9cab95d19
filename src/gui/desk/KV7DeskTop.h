#pragma once
// The main window "Presenze per Ditta / Agenzia": the month range, the kind
// of bookings, the hotels and the company options, and the buttons that
// build a report ("&Stampa"), open the indicators of the months, kind and
// hotels ("&Indicatori"), edit the company list ("E&lenco") and end the
// program ("&Esci"); the "Stagione" menu chooses an archived season, the
// "Origine dati" menu where the hotels' data come from: the data folder, or
// a group on a chain's server (gui/desk/DataOrigin.h). With a server the
// hotel boxes, the seasons, the companies and every report, indicator and
// ISTAT count read that group; a server that cannot be read is said once and
// the folder serves for the rest of the run, the choice kept for the next.
//
// The controls keep the names the rest of the program knows them by
// (Text1(0..4), Opt(0..2), Chk(0..3), ChkA, ChkHtl(0..n), Combo1(0),
// Tasto(0..2), Label1(0..1), Label2) as accessors and as object names
// ("Text1_0", "ChkHtl_12"). The reports read a Selection snapshot taken from
// them when "&Stampa" is pressed.
//
// The status line (Label2) says what each action did: the report written,
// printed, saved or mailed, a refused field, a cancelled request. The foot of
// the window also shows the archived season while one is chosen, and, while
// a report is built, its progress and an "Annulla" button that stops it
// between months.

#include "common/Clock.h"
#include "common/Selection.h"
#include "data/DataFolder.h"
#include "data/Records.h"
#include "gui/desk/DataOrigin.h"
#include "gui/desk/DeskPrompts.h"
#include "indicators/IndicatorRequest.h"
#include "request/PrintRequest.h"

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace presenze {

class QtPrintJob;
class ReportFigures;

class KV7DeskTop final : public QMainWindow {
    Q_OBJECT
public:
    // Shows the report file once it is written: the print menu, modally.
    using ReportViewer = std::function<void(QWidget* parent, const std::filesystem::path& report)>;

    // Builds the window over the data folder and loads it (Form_Load).
    // Questions and messages go to `prompts` (dialogs when null).
    KV7DeskTop(DataFolder folder, const Clock& clock, DeskPrompts* prompts = nullptr,
               QWidget* parent = nullptr);
    ~KV7DeskTop() override;

    // --- Controls ---------------------------------------------------------
    QLineEdit* Text1(int index) const { return m_text1.at(static_cast<std::size_t>(index)); }
    QRadioButton* Opt(int index) const { return m_opt.at(static_cast<std::size_t>(index)); }
    QCheckBox* Chk(int index) const { return m_chk.at(static_cast<std::size_t>(index)); }
    QCheckBox* ChkA() const { return m_chkA; }
    // ChkHtl(0) selects all; ChkHtl(k) is hotel number k (null when no hotel has it).
    QCheckBox* ChkHtl(int index) const;
    QComboBox* Combo1() const { return m_combo1; }
    QPushButton* Tasto(int index) const { return m_tasto.at(static_cast<std::size_t>(index)); }
    // "ISTAT": the monthly guest movement of "Dal mese" for the ticked hotels.
    QPushButton* istatButton() const { return m_istat; }
    // "Indicatori", beside "Stampa".
    QPushButton* indicatoriButton() const { return m_indicatori; }
    QLabel* Label1(int index) const { return m_label1.at(static_cast<std::size_t>(index)); }
    QLabel* Label2() const { return m_label2; }
    QProgressBar* progressBar() const { return m_progress; }
    // "Annulla": stops the report at work between months.
    QPushButton* stopButton() const { return m_stop; }
    // The archived season in use (hidden for the current season).
    QLabel* seasonLabel() const { return m_seasonLabel; }
    QAction* menuStagione() const { return m_menuStagione; }
    QAction* menuOrigineDati() const { return m_menuOrigineDati; }
    // Where the hotels' data are read from in this run: the kept choice, or
    // the folder when the server could not be read.
    const DataOrigin& dataOrigin() const { return m_readFrom; }

    // The hotel numbers that own a check box, in registry order.
    const std::vector<std::int64_t>& hotelNumbers() const { return m_hotelOrder; }
    // The hotel chosen in the (hidden) hotel list, Combo1(0); 0 before a choice.
    std::int64_t selectedHotel() const { return m_selectedHotel; }
    // The report type of the last print request started (Type 1 before any).
    ReportKind lastReportKind() const { return m_reportKind; }

    // What the controls hold now, as the report builders read it.
    Selection selection() const;
    // The indicators of the months, kind and ticked hotels; nullopt (the
    // field at fault focused, the status line saying why) when the months
    // cannot be counted.
    std::optional<IndicatorRequest> indicatorRequest();

    DeskPrompts& prompts() const { return *m_prompts; }
    void setReportViewer(ReportViewer viewer) { m_viewer = std::move(viewer); }
    // A print request is at work.
    bool isBusy() const;
    // Writes the status line.
    void setStatus(const QString& text);

    // --- Event handlers ---------------------------------------------------
    void Form_Load();
    void Tasto_Click(int index);
    void Text1_KeyPress(int index);
    void Chk_Click(int index);
    void Chk_KeyPress(int index);
    void ChkHtl_Click(int index);
    void Combo1_Click();
    void Combo1_KeyPress();
    void menu_Click();
    // "Origine dati": the choice of the data's origin; the window then reads
    // its hotels and lists again from the chosen one.
    void menuOrigineDati_Click();

signals:
    // A print request has ended (report written, or an error shown).
    void printRequestFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    QLineEdit* makeText1(int index, QWidget* parent);
    QWidget* buildPeriod();
    QWidget* buildOptions();
    QWidget* buildHotels();
    QWidget* buildButtons();
    QWidget* buildFooter();
    void setTabOrder();
    void loadData();
    void loadHotels(const std::vector<HotelRecord>& registry);
    void clearHotels();
    std::optional<std::vector<HotelRecord>> readServer();
    std::shared_ptr<const BookingSource> dataSource() const;
    std::vector<CompanyRecord> regularCompanies() const;
    void fitScreen();
    QCheckBox* addHotelBox(std::int64_t number, const QString& caption);

    void printRequest();
    MonthRange shownRange() const;
    void indicatori();
    std::optional<MonthRange> checkedRange();
    void refusePeriod(const QString& text);
    void periodEdited();
    bool companyConfirmed();
    void reportFinished();
    void setBusy(bool busy);
    void stopReport();
    bool cercaDitta();
    std::optional<std::size_t> chooseCompany(const std::vector<CompanyRecord>& matches);
    std::optional<std::int64_t> searchHotel() const;
    void elenco();
    void istat();
    void showSeason();
    void filterMonth(int index, int next);
    void filterYear(int index, QWidget* next);
    QString currentMonthText() const;

    DataFolder m_folder;
    DataOrigin m_origin;   // as kept in the settings
    DataOrigin m_readFrom; // in use: the kept one, or the folder after a failure
    const Clock& m_clock;
    std::unique_ptr<DeskPrompts> m_ownPrompts;
    DeskPrompts* m_prompts;
    ReportViewer m_viewer;
    std::array<std::string, 101> m_companyList; // as last loaded (start-up, "E&lenco")
    std::string m_season;                       // prefix of the chosen season; empty = current
    std::int64_t m_selectedHotel = 0;
    ReportKind m_reportKind = ReportKind::Type1;
    std::string m_stationTag;                       // of the last print request
    std::shared_ptr<const ReportFigures> m_figures; // of the last print request
    std::unique_ptr<QtPrintJob> m_job;

    QWidget* m_controls = nullptr;
    std::array<QLineEdit*, 5> m_text1{};
    std::array<QRadioButton*, 3> m_opt{};
    std::array<QCheckBox*, 4> m_chk{};
    QCheckBox* m_chkA = nullptr;
    QCheckBox* m_chkHtl0 = nullptr;
    std::map<std::int64_t, QCheckBox*> m_hotelBoxes;
    std::vector<std::int64_t> m_hotelOrder;
    QGridLayout* m_hotelGrid = nullptr;
    QScrollArea* m_hotelArea = nullptr;
    QComboBox* m_combo1 = nullptr;
    std::array<QPushButton*, 3> m_tasto{};
    QPushButton* m_istat = nullptr;
    QPushButton* m_indicatori = nullptr;
    std::array<QLabel*, 2> m_label1{};
    QLabel* m_label2 = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_stop = nullptr;
    QLabel* m_seasonLabel = nullptr;
    QAction* m_menuStagione = nullptr;
    QAction* m_menuOrigineDati = nullptr;
    bool m_periodRefused = false; // the status line says why the period was refused
};

} // namespace presenze
