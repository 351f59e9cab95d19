#include "gui/desk/KV7DeskTop.h"

#include "common/KV7Routine.h"
#include "common/ReportFile.h"
#include "common/Station.h"
#include "data/DataError.h"
#include "data/Records.h"
#include "data/Schema.h"
#include "data/Text1252.h"
#include "gui/desk/FileWaitNotice.h"
#include "gui/desk/FormStyle.h"
#include "gui/desk/MessageBoxes.h"
#include "gui/desk/QtPrintJob.h"
#include "gui/dialogs/CreaElenco.h"
#include "gui/indicators/Indicatori.h"
#include "gui/istat/Istat.h"
#include "gui/output/MenuStampa.h"
#include "render/QtText.h"
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
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
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

// The hotel boxes: as wide as all their columns where there is room,
// scrolled sideways where not, and never narrower than their first column.
// They are as high as a whole column unless the screen is too low for it:
// then they scroll up and down too.
class HotelArea final : public QScrollArea {
public:
    explicit HotelArea(QWidget* parent) : QScrollArea(parent)
    {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }

    QSize sizeHint() const override { return withScrollBar(widget()->sizeHint()); }

    QSize minimumSizeHint() const override
    {
        const QSize all = widget()->sizeHint();
        QSize least = withScrollBar(QSize(std::min(all.width(), firstColumnWidth()), all.height()));
        if (m_lower > 0) {
            least.rheight() = std::max(least.height() - m_lower, oneRowHeight());
            least.rwidth() += verticalScrollBar()->sizeHint().width();
        }
        return least;
    }

    // Gives up this much of a whole column's height, down to one row.
    void lowerBy(int pixels)
    {
        m_lower = std::max(0, pixels);
        updateGeometry();
    }

private:
    QSize withScrollBar(QSize content) const
    {
        const int frame = 2 * frameWidth();
        return content + QSize(frame, frame + horizontalScrollBar()->sizeHint().height());
    }

    int oneRowHeight() const
    {
        const QLayoutItem* first = widget()->layout()->itemAt(0);
        return (first ? first->sizeHint().height() : 0) + 2 * frameWidth() +
               horizontalScrollBar()->sizeHint().height();
    }

    int firstColumnWidth() const
    {
        const auto* grid = static_cast<const QGridLayout*>(widget()->layout());
        int width = grid->columnMinimumWidth(0);
        for (int row = 0; row < grid->rowCount(); ++row) {
            if (const QLayoutItem* item = grid->itemAtPosition(row, 0))
                width = std::max(width, item->sizeHint().width());
        }
        const QMargins margins = grid->contentsMargins();
        return width + margins.left() + margins.right();
    }

    int m_lower = 0;
};

} // namespace

KV7DeskTop::KV7DeskTop(DataFolder folder, const Clock& clock, DeskPrompts* prompts, QWidget* parent)
    : QMainWindow(parent), m_folder(std::move(folder)), m_clock(clock)
{
    setObjectName(QStringLiteral("KV7DeskTop"));
    // Reads on this thread show their waits in a dialog of their own.
    m_folder.setWaitNotice(windowWaitNotice());
    if (!prompts) {
        m_ownPrompts = std::make_unique<MessageBoxes>(this);
        prompts = m_ownPrompts.get();
    }
    m_prompts = prompts;
    m_viewer = [this](QWidget* owner, const std::filesystem::path&) {
        MenuStampa menu(m_folder, m_stationTag, m_selectedHotel, m_clock, owner, m_prompts);
        connect(&menu, &MenuStampa::statusMessage, this, &KV7DeskTop::setStatus);
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

void KV7DeskTop::setStatus(const QString& text)
{
    m_label2->setText(text);
    m_label2->setToolTip(text);
    m_periodRefused = false;
}

void KV7DeskTop::refusePeriod(const QString& text)
{
    setStatus(text);
    m_periodRefused = true;
}

// A refused month or year is said until the fields make a valid period again.
void KV7DeskTop::periodEdited()
{
    if (m_periodRefused && !checkMonthRange(shownRange()))
        setStatus(QString());
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
    if (index != 1)
        connect(edit, &QLineEdit::textEdited, this, &KV7DeskTop::periodEdited);
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
    m_hotelArea = named(new HotelArea(box), QStringLiteral("Hotels"));
    auto* hotels = new QWidget(m_hotelArea);
    m_hotelGrid = new QGridLayout(hotels);
    m_hotelGrid->setContentsMargins(twips(this, 300), 0, 0, 0);
    m_hotelGrid->setHorizontalSpacing(twips(this, 200));
    m_hotelGrid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_hotelArea->setWidget(hotels);
    layout->addWidget(m_hotelArea, 1);
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
    Tasto(0)->setIcon(buttonIcon("print"));
    Tasto(1)->setIcon(buttonIcon("close"));
    Tasto(2)->setToolTip(QStringLiteral("Elenco delle ditte per \"Elenco specifico\""));
    m_indicatori =
        named(new QPushButton(QStringLiteral("I&ndicatori"), box), QStringLiteral("Indicatori"));
    m_indicatori->setFont(Tasto(0)->font());
    m_indicatori->setAutoDefault(true);
    m_indicatori->setToolTip(QStringLiteral("Occupazione, ADR e RevPAR dei mesi e degli hotel "
                                            "scelti, a confronto con l'anno precedente"));
    connect(m_indicatori, &QPushButton::clicked, this, &KV7DeskTop::indicatori);
    row->addWidget(Tasto(0));
    row->addWidget(m_indicatori);
    m_istat = named(new QPushButton(QStringLiteral("IS&TAT"), box), QStringLiteral("Istat"));
    m_istat->setFont(Tasto(0)->font());
    m_istat->setToolTip(QStringLiteral("Movimento clienti del mese \"Dal mese\" (modello ISTAT)"));
    connect(m_istat, &QPushButton::clicked, this, &KV7DeskTop::istat);
    row->addWidget(m_istat);
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
    m_seasonLabel = named(new QLabel(box), QStringLiteral("Stagione"));
    m_seasonLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_seasonLabel->setMinimumHeight(m_label2->minimumHeight());
    QFont bold = m_seasonLabel->font();
    bold.setBold(true);
    m_seasonLabel->setFont(bold);
    m_seasonLabel->setVisible(false);
    m_progress = named(new QProgressBar(box), QStringLiteral("Progresso"));
    m_progress->setFixedWidth(m_progress->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    m_progress->setVisible(false);
    m_stop = named(new QPushButton(QStringLiteral("Annulla"), box), QStringLiteral("Annulla"));
    m_stop->setToolTip(QStringLiteral("Ferma la stampa alla fine del mese in corso"));
    m_stop->setVisible(false);
    connect(m_stop, &QPushButton::clicked, this, &KV7DeskTop::stopReport);
    row->addWidget(m_label2, 1);
    row->addWidget(m_seasonLabel);
    row->addWidget(m_progress);
    row->addWidget(m_stop);
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
    try {
        m_companyList = ReadCompanyList(m_folder);
    } catch (const DataError& e) {
        // A list that cannot be read (too long a line, too many lines): the
        // window works without it.
        m_companyList = {};
        m_prompts->warn("Elenco Ditte", e.what());
    }
    FillCalendarTables();
    m_season.clear();
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
    for (const HotelRecord& hotel : registry) {
        if (hotel.numero <= 0)
            continue;
        std::string number = std::to_string(hotel.numero);
        if (number.size() < 3)
            number.insert(0, 3 - number.size(), ' ');
        m_combo1->addItem(fromCp1252(number + " - " + hotel.ragioneSociale));
        // Box k is hotel number k; a number seen twice keeps its first record.
        if (hotel.numeroHotel > 0 && !m_hotelBoxes.count(hotel.numeroHotel))
            addHotelBox(hotel.numeroHotel, captionFromCp1252(hotel.ragioneSociale));
    }
    m_hotelArea->updateGeometry();
}

// The window's least size fits the screen: on a low one the hotel boxes
// give up height (and scroll) before any other control would.
void KV7DeskTop::fitScreen()
{
    auto* area = static_cast<HotelArea*>(m_hotelArea);
    const auto settle = [this, area] {
        for (QWidget* w = area; w != this; w = w->parentWidget()) {
            if (w->layout())
                w->layout()->invalidate();
            w->updateGeometry();
        }
        layout()->invalidate();
        layout()->activate();
    };
    area->lowerBy(0);
    settle();
    const QRect screenArea = screen()->availableGeometry();
    const int room =
        screenArea.height() - style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    area->lowerBy(minimumHeight() - room);
    settle();
    resize(size().boundedTo(QSize(screenArea.width(), room)).expandedTo(minimumSize()));
}

QCheckBox* KV7DeskTop::addHotelBox(std::int64_t number, const QString& caption)
{
    auto* box = named(new QCheckBox(caption, m_hotelGrid->parentWidget()),
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
    s.companyList = m_companyList;
    s.groupTopAcs = m_chkA->isChecked();
    s.season = m_season;
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

void KV7DeskTop::showEvent(QShowEvent* event)
{
    // The controls have their sizes once the window is shown.
    fitScreen();
    QMainWindow::showEvent(event);
}

void KV7DeskTop::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Without a window manager nothing else keeps the window from getting
    // smaller than its controls.
    const QSize least = size().expandedTo(minimumSize());
    if (least != size())
        QTimer::singleShot(0, this, [this] { resize(size().expandedTo(minimumSize())); });
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
        refusePeriod(QStringLiteral("Mese non valido: indicare un mese da 1 a 12 (rimesso il mese "
                                    "corrente)."));
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
    m_selectedHotel = NumericValue(toCp1252(m_combo1->currentText().left(3)));
}

void KV7DeskTop::Combo1_KeyPress()
{
    Chk(1)->setFocus();
}

std::optional<std::int64_t> KV7DeskTop::searchHotel() const
{
    return Chk(0)->isChecked() ? std::optional<std::int64_t>(m_selectedHotel) : std::nullopt;
}

bool KV7DeskTop::cercaDitta()
{
    if (!Chk(1)->isChecked()) {
        Chk(1)->setFocus();
        return false;
    }
    const QString typed = Text1(1)->text();
    bool offered = false;
    try {
        const auto found = findCompany(m_folder, toCp1252(typed), searchHotel(),
                                       [&](const std::vector<CompanyRecord>& matches) {
                                           offered = true;
                                           return chooseCompany(matches);
                                       });
        if (found) {
            Text1(1)->setText(fromCp1252(found->ragioneSociale));
            Tasto(0)->setFocus();
            setStatus(QStringLiteral("Ditta scelta: %1").arg(Text1(1)->text()));
            return true;
        }
        // A cancelled list keeps what was typed; a name nothing matches goes.
        if (!offered)
            Text1(1)->clear();
        Chk(1)->setFocus();
        setStatus(offered ? QStringLiteral("Nessuna ditta scelta.")
                          : QStringLiteral("Nessuna ditta abituale il cui nome inizi con "
                                           "\"%1\".")
                                .arg(typed));
    } catch (const DataError& e) {
        m_prompts->warn("Ditte Abituali", e.what());
        Text1(1)->setFocus();
    }
    return false;
}

std::optional<std::size_t> KV7DeskTop::chooseCompany(const std::vector<CompanyRecord>& matches)
{
    std::vector<std::vector<std::string>> rows;
    rows.reserve(matches.size());
    for (const CompanyRecord& company : matches)
        rows.push_back({company.ragioneSociale, company.localita});
    const std::string count =
        std::to_string(matches.size()) + (matches.size() == 1 ? " ditta" : " ditte");
    return m_prompts->choose("Ditte Abituali", count, {"Ragione sociale", "Localit\xE0"}, rows);
}

// With "Singola Ditta", the field must name a regular company as the
// reports compare it: a name typed in another case becomes the stored one,
// any other text goes through the search first.
bool KV7DeskTop::companyConfirmed()
{
    if (!Chk(1)->isChecked())
        return true;
    try {
        const auto stored =
            companyNamed(readCompanies(m_folder), toCp1252(Text1(1)->text()), searchHotel());
        if (stored) {
            Text1(1)->setText(fromCp1252(stored->ragioneSociale));
            return true;
        }
    } catch (const DataError& e) {
        m_prompts->warn("Ditte Abituali", e.what());
        Text1(1)->setFocus();
        return false;
    }
    return cercaDitta();
}

void KV7DeskTop::menu_Click()
{
    m_season = chooseSeason(m_folder, m_season,
                            [this](std::string_view prompt, std::string_view proposed) {
                                return m_prompts->input("Stampa Prenotazioni", prompt, proposed);
                            });
    showSeason();
    setStatus(m_season.empty()
                  ? QStringLiteral("Stagione corrente.")
                  : QStringLiteral("Stagione archiviata \"%1\": le stampe leggono %2.")
                        .arg(fromCp1252(m_season), fromCp1252(schema::headersFile(m_season))));
}

void KV7DeskTop::showSeason()
{
    m_seasonLabel->setText(QStringLiteral("Stagione: %1").arg(fromCp1252(m_season)));
    m_seasonLabel->setVisible(!m_season.empty());
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
    case 2:
        elenco();
        break;
    default:
        break;
    }
}

void KV7DeskTop::elenco()
{
    CreaElenco dialog(m_folder, searchHotel(), *m_prompts, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The saved list counts at once, for both report types (Type 2 reads the
    // file at every month).
    m_companyList = ReadCompanyList(m_folder);
    setStatus(QStringLiteral("Elenco di %1 ditte salvato in %2: vale da subito per le stampe.")
                  .arg(dialog.items(0).size())
                  .arg(fromCp1252(displayName(m_folder.target(schema::kCompanyListFile)))));
}

void KV7DeskTop::istat()
{
    IstatOptions options;
    options.month = static_cast<int>(std::clamp(numericValue(Text1(0)), -1L, 99999L));
    options.year = static_cast<int>(std::clamp(numericValue(Text1(2)), -1L, 99999L));
    if (const auto problem =
            checkMonthRange({options.month, options.year, options.month, options.year})) {
        Text1(0)->setFocus();
        setStatus(fromCp1252(*problem));
        return;
    }
    const Selection chosen = selection();
    if (chosen.tickedHotels && chosen.tickedHotels->empty()) {
        m_chkHtl0->setFocus();
        setStatus(QStringLiteral("ISTAT: nessun hotel selezionato."));
        return;
    }
    options.hotels = chosen.tickedHotels;
    options.season = chosen.season;
    Istat window(m_folder, std::move(options), *m_prompts, this);
    window.exec();
}

// --- Indicators ------------------------------------------------------------

std::optional<IndicatorRequest> KV7DeskTop::indicatorRequest()
{
    const std::optional<MonthRange> range = checkedRange();
    if (!range)
        return std::nullopt;
    IndicatorRequest request;
    request.period.months = *range;
    request.period.today = m_clock.now().date;
    if (auto problem = checkIndicatorPeriod(request.period)) {
        Text1(0)->setFocus();
        setStatus(fromCp1252(*problem));
        return std::nullopt;
    }
    const Selection chosen = selection();
    request.kind = chosen.kind;
    request.hotels = chosen.tickedHotels;
    return request;
}

void KV7DeskTop::indicatori()
{
    if (isBusy())
        return;
    if (const auto request = indicatorRequest()) {
        Indicatori window(m_folder, *request, m_clock, *m_prompts, this);
        window.exec();
    }
}

// --- Print request ---------------------------------------------------------

void KV7DeskTop::printRequest()
{
    if (isBusy())
        return;
    const std::optional<MonthRange> range = checkedRange();
    if (!range)
        return;
    if (const int months = monthCount(*range); months > kLongRequestMonths) {
        const std::string text = "Richiesta di " + std::to_string(months) +
                                 " mesi: la stampa pu\xF2 durare molto a lungo. Continuare?";
        if (m_prompts->ask("Stampa Presenze per Ditta", text, false) != AnswerYes) {
            setStatus(QStringLiteral("Stampa non avviata: richiesta di %1 mesi.").arg(months));
            Text1(0)->setFocus();
            return;
        }
    }
    if (!companyConfirmed()) {
        setStatus(QStringLiteral("Stampa non avviata: nessuna ditta scelta per \"Singola "
                                 "Ditta\"."));
        return;
    }
    const int answer =
        m_prompts->ask("Stampa Presenze per Ditta", "Stampa Tipo 1 (Si) o Tipo 2 (No)?", true);
    if (answer != AnswerYes && answer != AnswerNo) {
        setStatus(QStringLiteral("Stampa annullata."));
        Text1(0)->setFocus();
        return;
    }
    const ReportKind kind = answer == AnswerYes ? ReportKind::Type1 : ReportKind::Type2;
    const Selection chosen = selection();
    if (kind == ReportKind::Type1 && chosen.tickedHotels && chosen.tickedHotels->empty()) {
        const std::string text = "Nessun hotel selezionato: la stampa Tipo 1 non avrebbe nulla "
                                 "da riportare.";
        m_prompts->warn("Stampa Presenze per Ditta", text);
        setStatus(fromCp1252(text));
        m_chkHtl0->setFocus();
        return;
    }
    m_reportKind = kind;

    m_stationTag = stationTagFromEnvironment();
    PrintOrder order{kind, *range, chosen, m_folder, m_stationTag};
    m_job = std::make_unique<QtPrintJob>(std::move(order), m_clock, *m_prompts, this);
    connect(m_job.get(), &QtPrintJob::statusChanged, this, &KV7DeskTop::setStatus);
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

// The month range of the four fields; a refused field gets the focus and the
// status line says why.
MonthRange KV7DeskTop::shownRange() const
{
    const auto value = [this](int index) {
        return static_cast<int>(std::clamp(numericValue(Text1(index)), -1L, 99999L));
    };
    return {value(0), value(2), value(3), value(4)};
}

std::optional<MonthRange> KV7DeskTop::checkedRange()
{
    const MonthRange range = shownRange();
    const auto problem = checkMonthRange(range);
    if (!problem)
        return range;
    QLineEdit* refused = Text1(0);
    const bool monthsValid = range.firstMonth >= 1 && range.firstMonth <= 12 &&
                             range.lastMonth >= 1 && range.lastMonth <= 12;
    // Years of four digits from 1996 on: the weekday count starts there.
    if (monthsValid) {
        for (const int year : {2, 4}) {
            const long shown = numericValue(Text1(year));
            if (shown < 1996 || shown > 9999) {
                refused = Text1(year);
                break;
            }
        }
    }
    refused->setFocus();
    refusePeriod(fromCp1252(*problem));
    return std::nullopt;
}

void KV7DeskTop::setBusy(bool busy)
{
    m_controls->setEnabled(!busy);
    menuBar()->setEnabled(!busy);
    m_stop->setVisible(busy);
    m_stop->setEnabled(busy);
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        setWindowTitle(kTitle + QStringLiteral(" - Attendere..."));
        setStatus(QString());
        m_progress->setRange(0, 0);
        m_progress->setFormat(QString());
        m_progress->setVisible(true);
    } else {
        setWindowTitle(kTitle);
        QGuiApplication::restoreOverrideCursor();
        m_progress->setVisible(false);
    }
}

void KV7DeskTop::stopReport()
{
    if (!m_job)
        return;
    m_job->requestStop();
    m_stop->setEnabled(false);
    setStatus(QStringLiteral("Annullamento: la stampa si ferma alla fine del mese in corso."));
}

void KV7DeskTop::reportFinished()
{
    // The job sent the signal we are in: it goes once control is back in the loop.
    QtPrintJob* job = m_job.release();
    job->deleteLater();
    setBusy(false);
    m_figures = job->figures();
    const QString file = fromCp1252(displayName(m_folder.target(reportFileName(m_stationTag))));
    if (job->cancelled()) {
        setStatus(QStringLiteral("Stampa annullata: il file %1 \u00E8 rimasto com'era.").arg(file));
    } else if (!job->error().empty()) {
        setStatus(
            QStringLiteral("Stampa non riuscita: il file %1 \u00E8 rimasto com'era.").arg(file));
        m_prompts->warn("Errore", job->error());
    } else if (job->report()) {
        setStatus(QStringLiteral("Stampa Tipo %1 scritta nel file %2.")
                      .arg(m_reportKind == ReportKind::Type1 ? 1 : 2)
                      .arg(fromCp1252(displayName(*job->report()))));
        if (m_viewer)
            m_viewer(this, *job->report());
    }
    Text1(0)->setFocus();
    emit printRequestFinished();
}

} // namespace presenze
