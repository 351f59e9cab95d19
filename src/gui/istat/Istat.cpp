#include "gui/istat/Istat.h"

#include "common/KV7Routine.h"
#include "data/DataError.h"
#include "data/Schema.h"
#include "data/Text1252.h"
#include "gui/desk/OffThread.h"
#include "gui/istat/LettiHotel.h"
#include "istat/IstatWorkbook.h"
#include "render/QtText.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace presenze {
namespace {

const char* const kTitle = "ISTAT";

QString number(std::int64_t value)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(static_cast<qlonglong>(value));
}

QTableWidgetItem* textItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem* numberItem(std::int64_t value)
{
    QTableWidgetItem* item = textItem(number(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* boldItem(QTableWidgetItem* item)
{
    QFont font = item->font();
    font.setBold(true);
    item->setFont(font);
    return item;
}

QTableWidget* makeTable(QWidget* parent, const QString& name, const QStringList& headings)
{
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headings);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

// "Lun 02/11".
QString dayCaption(const Date& day)
{
    const int weekday = QDate(day.year, day.month, day.day).dayOfWeek(); // 1 is Monday
    return QStringLiteral("%1 %2/%3")
        .arg(fromCp1252(WeekdayNames[static_cast<std::size_t>(weekday - 1)].substr(0, 3)))
        .arg(day.day, 2, 10, QLatin1Char('0'))
        .arg(day.month, 2, 10, QLatin1Char('0'));
}

// A date as the booking file holds it, shown "DD/MM/YYYY" when it is one.
QString fileDate(const std::string& key)
{
    if (const auto date = Date::parseKey(key))
        return fromCp1252(date->toDisplay());
    const std::string_view text = trimBlanks(key);
    return text.empty() ? QStringLiteral("-") : fromCp1252(text);
}

void setRow(QTableWidget* table, int row, const std::vector<QTableWidgetItem*>& items)
{
    for (std::size_t c = 0; c < items.size(); ++c)
        table->setItem(row, static_cast<int>(c), items[c]);
}

} // namespace

Istat::Istat(DataFolder folder, IstatOptions options, DeskPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_folder(std::move(folder)), m_options(std::move(options)),
      m_prompts(prompts), m_fileDialog(saveFileDialog), m_opener(openWithAssociatedProgram)
{
    setObjectName(QStringLiteral("Istat"));
    setWindowTitle(QStringLiteral("ISTAT - Movimento clienti"));
    buildControls();
    // Roomy, but within the screen (1024x768 and up).
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        resize(std::min(880, room.width() - 40), std::min(680, room.height() - 60));
    }
    Aggiorna_Click();
}

// A count still at work is dropped: its watcher goes with the window.
Istat::~Istat() = default;

// --- Controls --------------------------------------------------------------

void Istat::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* head = new QHBoxLayout();
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("Titolo"));
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_title->setFont(bold);
    m_title->setText(QStringLiteral("Movimento clienti - %1").arg(monthTitle()));
    m_hotel = new QComboBox(this);
    m_hotel->setObjectName(QStringLiteral("Hotel"));
    m_hotel->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* hotelLabel = new QLabel(QStringLiteral("&Hotel"), this);
    hotelLabel->setBuddy(m_hotel);
    connect(m_hotel, &QComboBox::currentIndexChanged, this, [this] { showHotel(); });
    head->addWidget(m_title);
    head->addStretch(1);
    head->addWidget(hotelLabel);
    head->addWidget(m_hotel);
    layout->addLayout(head);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("Pagine"));
    m_pages->addTab(buildDayPage(), QStringLiteral("&Giorni"));
    m_pages->addTab(buildSummaryPage(), QStringLiteral("&Riepilogo del mese"));
    m_pages->addTab(buildDifferencePage(), QStringLiteral("&Differenze"));
    layout->addWidget(m_pages, 1);
    layout->addWidget(buildButtons());
    layout->addWidget(buildFooter());
}

QWidget* Istat::buildDayPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout();
    m_nation = new QComboBox(page);
    m_nation->setObjectName(QStringLiteral("Nazione"));
    m_nation->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* label = new QLabel(QStringLiteral("&Nazione"), page);
    label->setBuddy(m_nation);
    connect(m_nation, &QComboBox::currentIndexChanged, this, [this] { showDays(); });
    row->addWidget(label);
    row->addWidget(m_nation);
    row->addStretch(1);
    layout->addLayout(row);
    m_days = makeTable(page, QStringLiteral("Giorni"),
                       {QStringLiteral("Giorno"), QStringLiteral("Presenti notte\nprecedente"),
                        QStringLiteral("Arrivi"), QStringLiteral("Partenze"),
                        QStringLiteral("Presenti"), QStringLiteral("Camere\noccupate")});
    m_days->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_days, 1);
    return page;
}

QWidget* Istat::buildSummaryPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    m_summary = makeTable(page, QStringLiteral("Riepilogo"),
                          {QStringLiteral("Disponibilit\u00E0"), QStringLiteral("Valore")});
    m_summary->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_summary->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_nations = makeTable(page, QStringLiteral("Nazionalita"),
                          {QStringLiteral("Nazione"), QStringLiteral("Arrivi del mese"),
                           QStringLiteral("Presenze del mese")});
    m_nations->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_bedsNote = new QLabel(page);
    m_bedsNote->setObjectName(QStringLiteral("NotaLetti"));
    m_bedsNote->setWordWrap(true);
    m_bedsNote->setVisible(false);
    layout->addWidget(m_summary, 0, 0);
    layout->addWidget(m_bedsNote, 1, 0);
    layout->addWidget(m_nations, 0, 1, 2, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);
    return page;
}

QWidget* Istat::buildDifferencePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    m_check = new QLabel(page);
    m_check->setObjectName(QStringLiteral("Controllo"));
    m_check->setWordWrap(true);
    m_differences =
        makeTable(page, QStringLiteral("Differenze"),
                  {QStringLiteral("Giorno"), QStringLiteral("Nazione"),
                   QStringLiteral("Prenotazione"), QStringLiteral("Persone"),
                   QStringLiteral("Arrivo"), QStringLiteral("Partenza"), QStringLiteral("Motivo")});
    m_differences->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_check);
    layout->addWidget(m_differences, 1);
    return page;
}

QWidget* Istat::buildButtons()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    const auto button = [&](const QString& name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, box);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    m_excel = button(QStringLiteral("Excel"), QStringLiteral("&Excel"),
                     QStringLiteral("Scrivi il movimento del mese in una cartella di Excel e "
                                    "aprila"));
    m_excel->setIcon(QIcon::fromTheme(QStringLiteral("x-office-spreadsheet"),
                                      style()->standardIcon(QStyle::SP_FileIcon)));
    m_bedsButton =
        button(QStringLiteral("LettiPerHotel"), QStringLiteral("&Letti per hotel"),
               QStringLiteral("I letti di ogni hotel (%1)").arg(fromCp1252(schema::kBedsFile)));
    m_refresh = button(QStringLiteral("Aggiorna"), QStringLiteral("A&ggiorna"),
                       QStringLiteral("Conta di nuovo il mese dai file delle prenotazioni"));
    m_refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_close = button(QStringLiteral("Chiudi"), QStringLiteral("&Chiudi"), QString());
    m_close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(m_excel, &QPushButton::clicked, this, &Istat::Excel_Click);
    connect(m_bedsButton, &QPushButton::clicked, this, &Istat::Letti_Click);
    connect(m_refresh, &QPushButton::clicked, this, &Istat::Aggiorna_Click);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    row->addWidget(m_excel);
    row->addWidget(m_bedsButton);
    row->addWidget(m_refresh);
    row->addStretch(1);
    row->addWidget(m_close);
    return box;
}

QWidget* Istat::buildFooter()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_work = addWorkStatus(*row, box, QStringLiteral("Lascia perdere il conteggio in corso"));
    connect(m_work.stop, &QPushButton::clicked, this, &Istat::Annulla_Click);
    return box;
}

QString Istat::monthTitle() const
{
    const std::size_t month = static_cast<std::size_t>(std::clamp(m_options.month, 1, 12));
    QString title = fromCp1252(trimBlanks(MonthNames[month])) + QLatin1Char(' ') +
                    QString::number(m_options.year);
    if (!m_options.season.empty())
        title += QStringLiteral(" (stagione %1)").arg(fromCp1252(m_options.season));
    return title;
}

void Istat::setStatus(const QString& text)
{
    m_work.setText(text);
}

void Istat::setBusy(bool busy, const QString& text)
{
    m_excel->setEnabled(!busy && m_movement != nullptr);
    m_bedsButton->setEnabled(!busy);
    m_refresh->setEnabled(!busy);
    m_work.progress->setVisible(busy);
    m_work.progress->setRange(0, 0);
    if (busy)
        setStatus(text);
    else
        m_work.stop->setVisible(false);
}

void Istat::closeEvent(QCloseEvent* event)
{
    // A workbook being written is let finish; a count is dropped.
    if (m_writing)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

// --- The count -------------------------------------------------------------

void Istat::Aggiorna_Click()
{
    if (isBusy())
        return;
    setBusy(true, QStringLiteral("Conteggio del movimento clienti di %1...").arg(monthTitle()));
    m_work.stop->setVisible(true);
    // The work takes its own copy of the folder, with no window to tell its waits to.
    DataFolder folder = m_folder;
    folder.setWaitNotice({});
    const int generation = ++m_generation;
    m_task = runOffThread(
        this,
        [folder = std::move(folder), options = m_options](OffThreadProgress& progress) mutable {
            // "Annulla" also ends a wait for a data file that is being written.
            folder.setWaitNotice([&progress](std::string_view) { return !progress.cancelled(); });
            return std::make_shared<const MonthMovement>(MovimentoClienti(
                folder, options.month, options.year, options.hotels, options.season));
        },
        [this, generation](OffThreadOutcome<std::shared_ptr<const MonthMovement>> outcome) {
            // A count dropped by "Annulla" has nothing more to say.
            if (generation != m_generation)
                return;
            m_task = nullptr;
            setBusy(false);
            if (outcome.value) {
                counted(std::move(*outcome.value));
            } else if (!outcome.error.empty()) {
                // A bad beds file is mended from this window.
                const bool beds = outcome.error.find(schema::kBedsFile) != std::string::npos;
                setStatus(beds ? QStringLiteral("Conteggio non riuscito: correggere i letti con "
                                                "\"Letti per hotel\".")
                               : QStringLiteral("Conteggio non riuscito."));
                m_prompts.warn(kTitle, outcome.error);
            } else {
                setStatus(QStringLiteral("Conteggio annullato."));
            }
            emit workFinished();
        });
}

void Istat::Annulla_Click()
{
    if (!isBusy() || m_writing)
        return;
    m_task->cancel();
    m_task = nullptr;
    ++m_generation;
    setBusy(false);
    setStatus(m_movement ? QStringLiteral("Conteggio annullato: restano le cifre del conteggio "
                                          "precedente.")
                         : QStringLiteral("Conteggio annullato: \"Aggiorna\" conta di nuovo."));
    emit workFinished();
}

void Istat::counted(std::shared_ptr<const MonthMovement> movement)
{
    const QString chosen = m_hotel->currentText();
    m_movement = std::move(movement);
    {
        const QSignalBlocker blocker(m_hotel);
        m_hotel->clear();
        for (const HotelMovement& hotel : m_movement->hotels)
            m_hotel->addItem(fromCp1252(hotel.caption()));
        m_hotel->setCurrentIndex(std::max(0, m_hotel->findText(chosen)));
    }
    showHotel();
    m_excel->setEnabled(!m_movement->hotels.empty());
    std::size_t excluded = 0;
    for (const HotelMovement& hotel : m_movement->hotels)
        excluded += hotel.excluded.size();
    QString text = QStringLiteral("Movimento clienti di %1: %2 hotel.")
                       .arg(monthTitle())
                       .arg(m_movement->hotels.size());
    if (m_movement->hotels.empty())
        text = QStringLiteral("Movimento clienti di %1: nessun hotel.").arg(monthTitle());
    else if (excluded > 0)
        text +=
            QStringLiteral(" %1 righe escluse dai conteggi (vedere \"Differenze\").").arg(excluded);
    setStatus(text);
}

const HotelMovement* Istat::currentHotel() const
{
    const int index = m_hotel->currentIndex();
    if (!m_movement || index < 0 || index >= static_cast<int>(m_movement->hotels.size()))
        return nullptr;
    return &m_movement->hotels[static_cast<std::size_t>(index)];
}

// --- The figures shown -----------------------------------------------------

void Istat::showHotel()
{
    const HotelMovement* hotel = currentHotel();
    {
        const QSignalBlocker blocker(m_nation);
        const QString chosen = m_nation->currentText();
        m_nation->clear();
        m_nation->addItem(QStringLiteral("Tutte (totale)"));
        if (hotel)
            for (const NationalityMovement& n : hotel->nationalities)
                m_nation->addItem(fromCp1252(nationalityCaption(n.nazione)));
        m_nation->setCurrentIndex(std::max(0, m_nation->findText(chosen)));
    }
    showDays();
    if (hotel) {
        showSummary(*hotel);
        showDifferences(*hotel);
    } else {
        m_summary->setRowCount(0);
        m_nations->setRowCount(0);
        m_differences->setRowCount(0);
    }
}

void Istat::showDays()
{
    m_days->setRowCount(0);
    const HotelMovement* hotel = currentHotel();
    if (!hotel)
        return;
    // Index 0 is every guest; the nationalities follow in their order.
    const int nation = m_nation->currentIndex() - 1;
    const bool all = nation < 0 || nation >= static_cast<int>(hotel->nationalities.size());
    const std::vector<GuestDay>& days =
        all ? hotel->totals : hotel->nationalities[static_cast<std::size_t>(nation)].days;
    m_days->setColumnHidden(5, !all);
    m_days->setRowCount(static_cast<int>(days.size()) + 1);
    std::int64_t arrivals = 0, departures = 0, presences = 0, rooms = 0;
    for (std::size_t d = 0; d < days.size(); ++d) {
        const GuestDay& day = days[d];
        const std::int64_t occupied = hotel->camereOccupate[d];
        setRow(m_days, static_cast<int>(d),
               {textItem(dayCaption(m_movement->first.addDays(static_cast<long>(d)))),
                numberItem(day.presentiNottePrecedente), numberItem(day.arrivi),
                numberItem(day.partenze), numberItem(day.presenti), numberItem(occupied)});
        arrivals += day.arrivi;
        departures += day.partenze;
        presences += day.presenti;
        rooms += occupied;
    }
    setRow(m_days, static_cast<int>(days.size()),
           {boldItem(textItem(QStringLiteral("Totale mese"))), textItem(QString()),
            boldItem(numberItem(arrivals)), boldItem(numberItem(departures)),
            boldItem(numberItem(presences)), boldItem(numberItem(rooms))});
}

void Istat::showSummary(const HotelMovement& hotel)
{
    const QString missing = QStringLiteral("-");
    const auto bedDays = hotel.bedDays();
    const std::vector<std::pair<QString, QString>> rows{
        {QStringLiteral("Camere disponibili (al giorno)"), number(hotel.rooms)},
        {QStringLiteral("Letti disponibili (al giorno)"),
         hotel.beds ? number(*hotel.beds) : missing},
        {QStringLiteral("Giorni di apertura"), number(hotel.daysOpen)},
        {QStringLiteral("Giornate letto (letti x giorni)"), bedDays ? number(*bedDays) : missing}};
    m_summary->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        QTableWidgetItem* value = textItem(rows[r].second);
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setRow(m_summary, static_cast<int>(r), {textItem(rows[r].first), value});
    }
    m_bedsNote->setVisible(!hotel.beds);
    m_bedsNote->setText((m_movement->bedsFile
                             ? QStringLiteral("%1 non ha una riga per questo hotel.")
                             : QStringLiteral("Manca %1 nella cartella dei dati."))
                            .arg(fromCp1252(schema::kBedsFile)) +
                        QStringLiteral(" Indicare i letti con \"Letti per hotel\"."));

    m_nations->setRowCount(static_cast<int>(hotel.nationalities.size()) + 1);
    std::int64_t arrivals = 0, presences = 0;
    int row = 0;
    for (const NationalityMovement& n : hotel.nationalities) {
        setRow(m_nations, row++,
               {textItem(fromCp1252(nationalityCaption(n.nazione))), numberItem(n.arrivals()),
                numberItem(n.presences())});
        arrivals += n.arrivals();
        presences += n.presences();
    }
    setRow(m_nations, row,
           {boldItem(textItem(QStringLiteral("Totale"))), boldItem(numberItem(arrivals)),
            boldItem(numberItem(presences))});
}

void Istat::showDifferences(const HotelMovement& hotel)
{
    const QString check =
        QStringLiteral("presenti notte precedente + arrivi \u2212 partenze = presenti");
    m_pages->setTabText(2, QStringLiteral("&Differenze (%1)").arg(hotel.excluded.size()));
    m_check->setText(
        hotel.excluded.empty()
            ? QStringLiteral("Controllo (%1): nessuna differenza.").arg(check)
            : QStringLiteral("Controllo (%1): righe escluse dai conteggi per le loro date.")
                  .arg(check));
    m_differences->setRowCount(static_cast<int>(hotel.excluded.size()));
    int row = 0;
    for (const ExcludedLine& e : hotel.excluded)
        setRow(m_differences, row++,
               {textItem(e.day ? fromCp1252(e.day->toDisplay()) : QStringLiteral("-")),
                textItem(fromCp1252(nationalityCaption(e.nazione))), numberItem(e.booking),
                numberItem(e.persons), textItem(fileDate(e.arrival)),
                textItem(fileDate(e.departure)), textItem(fromCp1252(faultText(e)))});
    m_differences->resizeColumnsToContents();
}

// --- Excel and the beds ----------------------------------------------------

std::filesystem::path Istat::proposedWorkbook() const
{
    const std::filesystem::path folder =
        m_lastWorkbook.empty() ? m_folder.dir() : m_lastWorkbook.parent_path();
    return folder / QStringLiteral("MovimentoClienti-%1-%2.xlsx")
                        .arg(m_options.year)
                        .arg(m_options.month, 2, 10, QLatin1Char('0'))
                        .toStdU16String();
}

void Istat::Excel_Click()
{
    if (isBusy() || !m_movement)
        return;
    const auto file = chooseOutputFile(
        m_fileDialog, this, QStringLiteral("Cartella di Excel"), proposedWorkbook(),
        QStringLiteral("Cartella di Excel (*.xlsx)"), m_folder, m_prompts);
    if (!file) {
        setStatus(QStringLiteral("Cartella di Excel non scritta."));
        return;
    }
    m_lastWorkbook = *file;
    m_writing = true;
    setBusy(true, QStringLiteral("Scrittura della cartella di Excel..."));
    const QString shown = QString::fromStdU16String(file->u16string());
    m_task = runOffThread(
        this, [movement = m_movement, target = *file] { writeMovementWorkbook(*movement, target); },
        [this, target = *file, shown](OffThreadOutcome<std::monostate> outcome) {
            m_task = nullptr;
            m_writing = false;
            setBusy(false);
            if (!outcome.error.empty()) {
                setStatus(QStringLiteral("Cartella di Excel non scritta."));
                m_prompts.warn(kTitle, outcome.error);
            } else {
                setStatus(QStringLiteral("Cartella di Excel scritta: %1%2.")
                              .arg(shown, fromCp1252(openedNote(m_opener, target))));
            }
            emit workFinished();
        });
}

void Istat::Letti_Click()
{
    if (isBusy())
        return;
    LettiHotel editor(m_folder, m_prompts, this);
    if (editor.exec() != QDialog::Accepted) {
        setStatus(QStringLiteral("Letti per hotel: nulla \u00E8 cambiato."));
        return;
    }
    Aggiorna_Click();
}

} // namespace presenze
