#include "gui/desk/KV7DeskTop.h"

#include "common/KV7Routine.h"
#include "common/Station.h"
#include "data/DataError.h"
#include "data/Records.h"
#include "data/Text1252.h"
#include "gui/desk/FormStyle.h"
#include "gui/desk/MessageBoxes.h"
#include "gui/desk/QtPrintJob.h"
#include "gui/desk/QtText.h"
#include "gui/dialogs/CreaElenco.h"
#include "gui/output/MenuStampa.h"
#include "request/CompanySearch.h"
#include "request/SeasonChoice.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace presenze {
namespace {

const QString kTitle = QStringLiteral("Presenze per Ditta / Agenzia");
constexpr int kHotelsPerColumn = 5;

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString fourDigits(int value)
{
    return QStringLiteral("%1").arg(value, 4, 10, QLatin1Char('0'));
}

long numericValue(const QLineEdit* edit)
{
    return NumericValue(toCp1252(edit->text()));
}

// Twips (1/1440 inch) to pixels of the widget's screen.
int twips(const QWidget* widget, int value)
{
    return value * widget->logicalDpiX() / 1440;
}

// A line edit just wide enough for `sample` in its own font.
void fitWidth(QLineEdit* edit, const QString& sample)
{
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(sample) + 2 * frame + 12);
}

bool isEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

template <typename Widget> Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

KV7DeskTop::KV7DeskTop(DataFolder folder, const Clock& clock, DeskPrompts* prompts, QWidget* parent)
    : QMainWindow(parent), m_folder(std::move(folder)), m_clock(clock)
{
    setObjectName(QStringLiteral("KV7DeskTop"));
    if (!prompts) {
        m_ownPrompts = std::make_unique<MessageBoxes>(this);
        prompts = m_ownPrompts.get();
    }
    m_prompts = prompts;
    m_viewer = [this](QWidget* parent, const std::filesystem::path&) {
        MenuStampa menu(m_folder, m_stationTag, m_clock, parent, m_prompts);
        menu.setFigures(m_figures);
        menu.exec();
    };
    setWindowTitle(kTitle);
    buildControls();
    Form_Load();
}

KV7DeskTop::~KV7DeskTop()
{
    if (m_job) {
        // Let the report end without touching the window that is going.
        disconnect(m_job.get(), nullptr, this, nullptr);
        disconnect(m_job.get(), nullptr, m_label2, nullptr);
        m_job.reset();
    }
}

QCheckBox* KV7DeskTop::ChkHtl(int index) const
{
    if (index == 0)
        return m_chkHtl0;
    const auto it = m_hotelBoxes.find(index);
    return it == m_hotelBoxes.end() ? nullptr : it->second;
}

bool KV7DeskTop::isBusy() const
{
    return m_job != nullptr;
}

// --- Controls --------------------------------------------------------------

void KV7DeskTop::buildControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_controls = new QWidget(central);
    auto* controls = new QVBoxLayout(m_controls);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(buildPeriod());
    controls->addWidget(buildOptions());
    controls->addWidget(buildHotels(), 1);
    controls->addWidget(buildButtons());
    layout->addWidget(m_controls, 1);
    layout->addWidget(buildFooter());
    setCentralWidget(central);

    m_menuStagione = menuBar()->addAction(QStringLiteral("Stagione"));
    m_menuStagione->setObjectName(QStringLiteral("menu_1"));
    connect(m_menuStagione, &QAction::triggered, this, [this] { menu_Click(); });
    setTabOrder();
}

QLineEdit* KV7DeskTop::makeText1(int index, QWidget* parent)
{
    auto* edit = named(new QLineEdit(parent), QStringLiteral("Text1_%1").arg(index));
    edit->setFont(formFont(QStringLiteral("Arial"), 7.5, true));
    edit->installEventFilter(this);
    m_text1[static_cast<std::size_t>(index)] = edit;
    return edit;
}

QWidget* KV7DeskTop::buildPeriod()
{
    auto* box = new QFrame(m_controls);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    const QFont labelFont = formFont(QStringLiteral("Corbel"), 9.75);
    const QStringList captions{QStringLiteral("Dal mese"), QStringLiteral("Al mese")};
    for (const int i : {0, 2, 3, 4})
        makeText1(i, box);
    for (int i = 0; i < 2; ++i) {
        auto* label = named(new QLabel(captions[i], box), QStringLiteral("Label1_%1").arg(i));
        label->setFont(labelFont);
        m_label1[static_cast<std::size_t>(i)] = label;
    }
    // Dal mese [MM] [YYYY]   Al mese [MM] [YYYY]
    const std::array<std::pair<int, int>, 2> fields{{{0, 2}, {3, 4}}};
    for (int i = 0; i < 2; ++i) {
        QLineEdit* month = Text1(fields[static_cast<std::size_t>(i)].first);
        QLineEdit* year = Text1(fields[static_cast<std::size_t>(i)].second);
        month->setAlignment(Qt::AlignCenter);
        year->setAlignment(Qt::AlignCenter);
        fitWidth(month, QStringLiteral("000"));
        fitWidth(year, QStringLiteral("00000"));
        Label1(i)->setBuddy(month);
        if (i > 0)
            row->addSpacing(24);
        row->addWidget(Label1(i));
        row->addWidget(month);
        row->addWidget(year);
    }
    row->addStretch(1);
    return box;
}

QWidget* KV7DeskTop::buildOptions()
{
    auto* box = new QFrame(m_controls);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 6, 0, 6);
    const QFont font = formFont(QStringLiteral("Corbel"), 9.75);

    const QStringList kinds{QStringLiteral("Confermate"), QStringLiteral("Opzionate"),
                            QStringLiteral("Tutte")};
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < 3; ++i) {
        auto* option = named(new QRadioButton(kinds[i], box), QStringLiteral("Opt_%1").arg(i));
        option->setFont(font);
        group->addButton(option, i);
        grid->addWidget(option, 0, i);
        m_opt[static_cast<std::size_t>(i)] = option;
    }
    Opt(0)->setChecked(true);

    const QStringList captions{QStringLiteral("Singola Ditta"), QStringLiteral("Singola Ditta"),
                               QStringLiteral("Riepilogate"), QStringLiteral("Elenco specifico")};
    for (int i = 0; i < 4; ++i) {
        auto* check = named(new QCheckBox(captions[i], box), QStringLiteral("Chk_%1").arg(i));
        check->setFont(font);
        check->installEventFilter(this);
        connect(check, &QCheckBox::clicked, this, [this, i] { Chk_Click(i); });
        m_chk[static_cast<std::size_t>(i)] = check;
    }
    Chk(2)->setChecked(true);
    m_chkA =
        named(new QCheckBox(QStringLiteral("Raggruppamento TOP/ACS"), box), QStringLiteral("ChkA"));
    m_chkA->setFont(font);

    // Single company: the box and the company name, filled by the search.
    grid->addWidget(Chk(1), 1, 0);
    makeText1(1, box);
    Text1(1)->setMinimumWidth(Text1(1)->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    Text1(1)->setToolTip(QStringLiteral("Invio cerca la ditta fra le ditte abituali"));
    grid->addWidget(Text1(1), 1, 1, 1, 3);
    grid->addWidget(Chk(2), 2, 0);
    grid->addWidget(Chk(3), 2, 1);
    grid->addWidget(m_chkA, 2, 2, 1, 2);

    // The single-hotel filter and its hotel list are never shown.
    m_combo1 = named(new QComboBox(box), QStringLiteral("Combo1_0"));
    m_combo1->setFont(formFont(QStringLiteral("Arial"), 8.25, true));
    m_combo1->installEventFilter(this);
    connect(m_combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    Chk(0)->setVisible(false);
    m_combo1->setVisible(false);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* KV7DeskTop::buildHotels()
{
    auto* box = new QFrame(m_controls);
    box->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(box);
    m_chkHtl0 = named(new QCheckBox(QStringLiteral("Seleziona / deseleziona tutti gli hotel"), box),
                      QStringLiteral("ChkHtl_0"));
    m_chkHtl0->setFont(formFont(QStringLiteral("Corbel"), 9.75));
    m_chkHtl0->setChecked(true);
    connect(m_chkHtl0, &QCheckBox::clicked, this, [this] { ChkHtl_Click(0); });
    layout->addWidget(m_chkHtl0);
    m_hotelGrid = new QGridLayout();
    m_hotelGrid->setContentsMargins(twips(this, 300), 0, 0, 0);
    m_hotelGrid->setHorizontalSpacing(twips(this, 200));
    layout->addLayout(m_hotelGrid);
    layout->addStretch(1);
    return box;
}

QWidget* KV7DeskTop::buildButtons()
{
    auto* box = new QWidget(m_controls);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    const QStringList captions{QStringLiteral("&Stampa"), QStringLiteral("&Esci"),
                               QStringLiteral("E&lenco")};
    for (int i = 0; i < 3; ++i) {
        auto* button = named(new QPushButton(captions[i], box), QStringLiteral("Tasto_%1").arg(i));
        // Enter on a focused button presses it.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, [this, i] { Tasto_Click(i); });
        m_tasto[static_cast<std::size_t>(i)] = button;
    }
    Tasto(0)->setFont(formFont(QStringLiteral("Corbel"), 12));
    Tasto(1)->setFont(formFont(QStringLiteral("Corbel"), 12, true));
    Tasto(2)->setFont(formFont(QStringLiteral("Corbel"), 12));
    Tasto(0)->setIcon(printerIcon());
    Tasto(1)->setIcon(QIcon::fromTheme(QStringLiteral("application-exit"),
                                       style()->standardIcon(QStyle::SP_DialogCloseButton)));
    Tasto(2)->setToolTip(QStringLiteral("Elenco delle ditte per \"Elenco specifico\""));
    row->addWidget(Tasto(0));
    row->addWidget(Tasto(2));
    row->addStretch(1);
    row->addWidget(Tasto(1));
    return box;
}

QWidget* KV7DeskTop::buildFooter()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_label2 = named(new QLabel(box), QStringLiteral("Label2"));
    m_label2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label2->setMinimumHeight(m_label2->fontMetrics().height() + 8);
    // Long status texts must not widen the window.
    m_label2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_progress = named(new QProgressBar(box), QStringLiteral("Progresso"));
    m_progress->setFixedWidth(m_progress->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    m_progress->setVisible(false);
    row->addWidget(m_label2, 1);
    row->addWidget(m_progress);
    return box;
}

void KV7DeskTop::setTabOrder()
{
    const std::vector<QWidget*> order{Text1(0), Text1(2), Text1(3),  Text1(4), Tasto(0), Tasto(1),
                                      Tasto(2), Text1(1), m_combo1,  Chk(0),   Chk(1),   Chk(2),
                                      Chk(3),   m_chkA,   m_chkHtl0, Opt(0),   Opt(1),   Opt(2)};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// --- Start-up --------------------------------------------------------------

void KV7DeskTop::Form_Load()
{
    LoadCompanyList(m_folder);
    FillCalendarTables();
    Season.clear();
    m_combo1->clear();
    loadHotels();
    if (m_combo1->count() > 0)
        m_combo1->setCurrentIndex(0);
    const DateTime now = m_clock.now();
    Text1(0)->setText(twoDigits(now.date.month));
    Text1(3)->setText(twoDigits(now.date.month));
    Text1(2)->setText(fourDigits(now.date.year));
    Text1(4)->setText(fourDigits(now.date.year));
}

void KV7DeskTop::loadHotels()
{
    std::vector<HotelRecord> registry;
    try {
        registry = readHotelRegistry(m_folder);
    } catch (const DataError& e) {
        m_prompts->warn("Errore", e.what());
    }
    int count = 0;
    for (const HotelRecord& hotel : registry) {
        if (hotel.numero <= 0)
            continue;
        ++count;
        std::string number = std::to_string(hotel.numero);
        if (number.size() < 3)
            number.insert(0, 3 - number.size(), ' ');
        m_combo1->addItem(fromCp1252(number + " - " + hotel.ragioneSociale));
        // Box k is hotel number k; a number seen twice keeps its first record.
        if (hotel.numeroHotel > 0 && !m_hotelBoxes.count(hotel.numeroHotel))
            addHotelBox(hotel.numeroHotel, fromCp1252(hotel.ragioneSociale));
    }
    HotelCount = static_cast<std::int16_t>(std::min(count, 32767));
}

QCheckBox* KV7DeskTop::addHotelBox(std::int64_t number, const QString& caption)
{
    auto* box = named(new QCheckBox(caption, m_chkHtl0->parentWidget()),
                      QStringLiteral("ChkHtl_%1").arg(number));
    QFont font = m_chkHtl0->font();
    font.setPointSizeF(9);
    box->setFont(font);
    box->setChecked(true);
    const int position = static_cast<int>(m_hotelOrder.size());
    const int column = position / kHotelsPerColumn;
    m_hotelGrid->addWidget(box, position % kHotelsPerColumn, column);
    m_hotelGrid->setColumnMinimumWidth(column, twips(this, 2500));
    QWidget* previous =
        m_hotelOrder.empty() ? static_cast<QWidget*>(Opt(2)) : m_hotelBoxes.at(m_hotelOrder.back());
    QWidget::setTabOrder(previous, box);
    m_hotelBoxes.emplace(number, box);
    m_hotelOrder.push_back(number);
    return box;
}

// --- Selection -------------------------------------------------------------

Selection KV7DeskTop::selection() const
{
    Selection s;
    s.kind = Opt(1)->isChecked()   ? BookingKind::Optional
             : Opt(2)->isChecked() ? BookingKind::All
                                   : BookingKind::Confirmed;
    std::set<std::int64_t> ticked;
    for (const auto& [number, box] : m_hotelBoxes) {
        if (box->isChecked())
            ticked.insert(number);
    }
    if (ticked.size() != m_hotelBoxes.size())
        s.tickedHotels = std::move(ticked);
    s.singleHotel = Chk(0)->isChecked();
    s.comboHotel = NumericValue(toCp1252(m_combo1->currentText().left(3)));
    s.singleCompany = Chk(1)->isChecked();
    s.company = toCp1252(Text1(1)->text());
    s.summary = Chk(2)->isChecked();
    s.companyListOnly = Chk(3)->isChecked();
    s.companyList = CompanyList;
    s.groupTopAcs = m_chkA->isChecked();
    s.season = Season;
    return s;
}

// --- Event handlers --------------------------------------------------------

bool KV7DeskTop::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (QLineEdit* edit : m_text1) {
            if (watched == edit)
                QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        }
        return false;
    }
    if (!isEnter(event))
        return QMainWindow::eventFilter(watched, event);
    // Enter is taken here: once it has moved the focus it goes no further.
    for (int i = 0; i < 5; ++i) {
        if (watched == Text1(i)) {
            Text1_KeyPress(i);
            return true;
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (watched == Chk(i)) {
            Chk_KeyPress(i);
            return true;
        }
    }
    if (watched == m_combo1) {
        Combo1_KeyPress();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void KV7DeskTop::closeEvent(QCloseEvent* event)
{
    if (isBusy())
        event->ignore();
    else
        QMainWindow::closeEvent(event);
}

void KV7DeskTop::Text1_KeyPress(int index)
{
    switch (index) {
    case 0:
        filterMonth(0, 2);
        break;
    case 2:
        filterYear(2, Text1(3));
        break;
    case 3:
        filterMonth(3, 4);
        break;
    case 4:
        filterYear(4, Tasto(0));
        break;
    case 1:
        cercaDitta();
        break;
    default:
        break;
    }
}

QString KV7DeskTop::currentMonthText() const
{
    return twoDigits(m_clock.now().date.month);
}

void KV7DeskTop::filterMonth(int index, int next)
{
    QLineEdit* field = Text1(index);
    field->setText(fromCp1252(FiltraTesto(toCp1252(field->text()), 1)));
    const long month = numericValue(field);
    if (month >= 1 && month <= 12) {
        Text1(next)->setFocus();
    } else {
        field->setText(currentMonthText());
        field->selectAll();
    }
}

void KV7DeskTop::filterYear(int index, QWidget* next)
{
    QLineEdit* field = Text1(index);
    field->setText(fromCp1252(FiltraTesto(toCp1252(field->text()), 1)));
    next->setFocus();
}

void KV7DeskTop::Chk_Click(int index)
{
    if (!Chk(index)->isChecked())
        return;
    if (index == 0)
        m_combo1->setFocus();
    else if (index == 1)
        Text1(1)->setFocus();
}

void KV7DeskTop::Chk_KeyPress(int index)
{
    if (index == 0)
        Chk(1)->setFocus();
    else if (index == 1)
        Tasto(0)->setFocus();
}

void KV7DeskTop::ChkHtl_Click(int index)
{
    if (index != 0)
        return;
    const bool all = m_chkHtl0->isChecked();
    for (const auto& entry : m_hotelBoxes)
        entry.second->setChecked(all);
}

void KV7DeskTop::Combo1_Click()
{
    SelectedHotel =
        static_cast<std::int16_t>(NumericValue(toCp1252(m_combo1->currentText().left(3))));
}

void KV7DeskTop::Combo1_KeyPress()
{
    Chk(1)->setFocus();
}

void KV7DeskTop::cercaDitta()
{
    if (!Chk(1)->isChecked()) {
        Chk(1)->setFocus();
        return;
    }
    const std::optional<std::int64_t> hotel =
        Chk(0)->isChecked() ? std::optional<std::int64_t>(SelectedHotel) : std::nullopt;
    try {
        const auto found = findCompany(m_folder, toCp1252(Text1(1)->text()), hotel, *m_prompts);
        if (found) {
            Text1(1)->setText(fromCp1252(found->ragioneSociale));
            Tasto(0)->setFocus();
        } else {
            Text1(1)->clear();
            Chk(1)->setFocus();
        }
    } catch (const DataError& e) {
        m_prompts->warn("Ditte Abituali", e.what());
        Text1(1)->setFocus();
    }
}

void KV7DeskTop::menu_Click()
{
    Season =
        chooseSeason(m_folder, Season, [this](std::string_view prompt, std::string_view proposed) {
            return m_prompts->input("Stampa Prenotazioni", prompt, proposed);
        });
}

void KV7DeskTop::Tasto_Click(int index)
{
    switch (index) {
    case 0:
        printRequest();
        break;
    case 1:
        close();
        break;
    case 2: {
        const std::optional<std::int64_t> hotel =
            Chk(0)->isChecked() ? std::optional<std::int64_t>(SelectedHotel) : std::nullopt;
        CreaElenco dialog(m_folder, hotel, *m_prompts, this);
        // CompanyList keeps the list read at start-up; a saved list is read
        // again at the next start (the Type 2 filter reads the file itself).
        dialog.exec();
        break;
    }
    default:
        break;
    }
}

// --- Print request ---------------------------------------------------------

void KV7DeskTop::printRequest()
{
    if (isBusy())
        return;
    const long firstMonth = numericValue(Text1(0));
    const long lastMonth = numericValue(Text1(3));
    if (firstMonth < 1 || firstMonth > 12 || lastMonth < 1 || lastMonth > 12) {
        Text1(0)->setFocus();
        return;
    }
    // Years of four digits from 1996 on: the weekday count starts there.
    for (const int year : {2, 4}) {
        const long value = numericValue(Text1(year));
        if (value < 1996 || value > 9999) {
            Text1(year)->setFocus();
            return;
        }
    }
    MonthRange range{static_cast<int>(firstMonth), static_cast<int>(numericValue(Text1(2))),
                     static_cast<int>(lastMonth), static_cast<int>(numericValue(Text1(4)))};
    if (range.firstYear * 100 + range.firstMonth > range.lastYear * 100 + range.lastMonth) {
        Text1(0)->setFocus();
        return;
    }
    const int answer =
        m_prompts->ask("Stampa Presenze per Ditta", "Stampa Tipo 1 (Si) o Tipo 2 (No)?");
    ReportType = static_cast<std::int16_t>(answer == AnswerYes ? AnswerYes : AnswerNo);

    m_stationTag = stationTagFromEnvironment();
    PrintOrder order{ReportType == AnswerYes ? ReportKind::Type1 : ReportKind::Type2, range,
                     selection(), m_folder, m_stationTag};
    m_job = std::make_unique<QtPrintJob>(std::move(order), m_clock, *m_prompts, this);
    connect(m_job.get(), &QtPrintJob::statusChanged, m_label2, &QLabel::setText);
    connect(m_job.get(), &QtPrintJob::monthStarted, this,
            [this](int index, int count, const QString& name) {
                m_progress->setRange(0, count);
                m_progress->setValue(index - 1);
                m_progress->setFormat(QStringLiteral("%1 (%2/%3)").arg(name).arg(index).arg(count));
            });
    connect(m_job.get(), &QtPrintJob::finished, this, &KV7DeskTop::reportFinished);
    setBusy(true);
    m_job->start();
}

void KV7DeskTop::setBusy(bool busy)
{
    m_controls->setEnabled(!busy);
    menuBar()->setEnabled(!busy);
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        setWindowTitle(kTitle + QStringLiteral(" - Attendere..."));
        m_label2->clear();
        m_progress->setRange(0, 0);
        m_progress->setFormat(QString());
        m_progress->setVisible(true);
    } else {
        setWindowTitle(kTitle);
        QGuiApplication::restoreOverrideCursor();
        m_progress->setVisible(false);
    }
}

void KV7DeskTop::reportFinished()
{
    // The job sent the signal we are in: it goes once control is back in the loop.
    QtPrintJob* job = m_job.release();
    job->deleteLater();
    setBusy(false);
    m_figures = job->figures();
    if (!job->error().empty())
        m_prompts->warn("Errore", job->error());
    else if (job->report() && m_viewer)
        m_viewer(this, *job->report());
    Text1(0)->setFocus();
    emit printRequestFinished();
}

} // namespace presenze
