#include "gui/indicators/Indicatori.h"

#include "data/DataError.h"
#include "gui/charts/IndicatorChartView.h"
#include "gui/desk/OffThread.h"
#include "gui/desk/WorkStatus.h"
#include "gui/indicators/IndicatorTableModel.h"
#include "indicators/ComputeIndicators.h"
#include "output/IndicatorCsv.h"
#include "output/IndicatorRows.h"
#include "output/IndicatorText.h"
#include "output/IndicatorWorkbook.h"
#include "render/IndicatorPdf.h"
#include "render/QtText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace presenze {
namespace {

const char* const kTitle = "Indicatori";
constexpr std::array<int, 4> kNights = {0, 30, 90, 365};

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString monthText(int month, int year)
{
    return twoDigits(month) + QLatin1Char('/') + QString::number(year);
}

QString kindText(BookingKind kind)
{
    switch (kind) {
    case BookingKind::Confirmed:
        return QStringLiteral("prenotazioni confermate");
    case BookingKind::Optional:
        return QStringLiteral("prenotazioni opzionate");
    case BookingKind::All:
        break;
    }
    return QStringLiteral("prenotazioni confermate e opzionate");
}

QString hotelsText(const IndicatorRequest& request)
{
    if (!request.hotels)
        return QStringLiteral("tutti gli hotel");
    if (request.hotels->empty())
        return QStringLiteral("nessun hotel");
    QStringList numbers;
    for (const std::int64_t hotel : *request.hotels)
        numbers << QString::number(hotel);
    return QStringLiteral("hotel ") + numbers.join(QStringLiteral(", "));
}

QTableView* makeTable(QWidget* parent, IndicatorTableModel* model, const QString& name)
{
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setWordWrap(false);
    return table;
}

} // namespace

Indicatori::Indicatori(DataFolder folder, IndicatorRequest request, const Clock& clock,
                       DeskPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_folder(std::move(folder)), m_request(std::move(request)), m_clock(clock),
      m_prompts(prompts), m_fileDialog(saveFileDialog), m_opener(openWithAssociatedProgram)
{
    setObjectName(QStringLiteral("Indicatori"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    // The window's reads happen off its thread: no dialog of their own.
    m_folder.setWaitNotice({});
    m_request.breakdown = IndicatorBreakdown::Company;
    buildControls();
    compute();
}

Indicatori::~Indicatori() = default;

IndicatorRequest Indicatori::request() const
{
    IndicatorRequest request = m_request;
    request.compare = m_compare->isChecked();
    request.period.forward = 0;
    for (std::size_t i = 1; i < m_period.size(); ++i)
        if (m_period[i]->isChecked())
            request.period.forward = kNights[i];
    request.period.today = m_clock.now().date;
    return request;
}

// --- Building --------------------------------------------------------------

void Indicatori::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildChoices());

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Schede"));
    auto* splitter = new QSplitter(Qt::Vertical, m_tabs);
    m_monthRows = new IndicatorTableModel(this);
    m_months = makeTable(splitter, m_monthRows, QStringLiteral("PerMese"));
    m_chartArea = new QScrollArea(splitter);
    m_chartArea->setObjectName(QStringLiteral("Grafico"));
    m_chartArea->setBackgroundRole(QPalette::Base);
    m_chart = new IndicatorChartView(m_chartArea);
    m_chartArea->setWidget(m_chart);
    // The chart's panels go into as many columns as its width lets them.
    m_chartArea->viewport()->installEventFilter(this);
    splitter->addWidget(m_months);
    splitter->addWidget(m_chartArea);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({1, 1});
    m_tabs->addTab(splitter, QStringLiteral("Per &mese"));
    m_companyRows = new IndicatorTableModel(this);
    m_companies = makeTable(m_tabs, m_companyRows, QStringLiteral("PerDitta"));
    m_tabs->addTab(m_companies, QStringLiteral("Per &ditta"));
    layout->addWidget(m_tabs, 1);

    m_legend = new QLabel(this);
    m_legend->setObjectName(QStringLiteral("Legenda"));
    m_legend->setWordWrap(true);
    const auto showLegend = [this] {
        m_legend->setText(
            fromCp1252(std::string(indicatorLegend(m_tabs->currentIndex() == 1))).trimmed());
    };
    connect(m_tabs, &QTabWidget::currentChanged, this, showLegend);
    showLegend();
    layout->addWidget(m_legend);
    layout->addWidget(buildFooter());

    // As large as the screen comfortably allows.
    const QRect screen =
        (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
            ->availableGeometry();
    resize(std::min(1100, screen.width() - 40), std::min(760, screen.height() - 60));
}

QWidget* Indicatori::buildChoices()
{
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    const MonthRange& months = m_request.period.months;
    auto* what = new QLabel(QStringLiteral("Indicatori di %1, %2.")
                                .arg(hotelsText(m_request), kindText(m_request.kind)),
                            box);
    what->setObjectName(QStringLiteral("Scelte"));
    column->addWidget(what);

    auto* row = new QHBoxLayout();
    auto* group = new QButtonGroup(box);
    const QStringList captions{QStringLiteral("Mesi &scelti (dal %1 al %2)")
                                   .arg(monthText(months.firstMonth, months.firstYear),
                                        monthText(months.lastMonth, months.lastYear)),
                               QStringLiteral("Prossimi &30 giorni"),
                               QStringLiteral("Prossimi &90 giorni"),
                               QStringLiteral("Prossimi 3&65 giorni")};
    for (std::size_t i = 0; i < m_period.size(); ++i) {
        auto* choice = new QRadioButton(captions[static_cast<int>(i)], box);
        choice->setObjectName(QStringLiteral("Periodo_%1").arg(i));
        group->addButton(choice, static_cast<int>(i));
        row->addWidget(choice);
        m_period[i] = choice;
    }
    m_period[0]->setChecked(true);
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            compute();
    });
    row->addSpacing(24);
    m_compare = new QCheckBox(QStringLiteral("&Confronta con l'anno precedente"), box);
    m_compare->setObjectName(QStringLiteral("Confronta"));
    m_compare->setChecked(m_request.compare);
    connect(m_compare, &QCheckBox::toggled, this, &Indicatori::compute);
    row->addWidget(m_compare);
    row->addStretch(1);
    column->addLayout(row);
    return box;
}

QWidget* Indicatori::buildFooter()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_work = addWorkStatus(*row, box, QStringLiteral("Ferma il calcolo degli indicatori"));
    connect(m_work.stop, &QPushButton::clicked, this, &Indicatori::Annulla_Click);
    const auto button = [&](const QString& caption, const QString& name, const QString& tip) {
        auto* b = new QPushButton(caption, box);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        b->setEnabled(false);
        return b;
    };
    m_excel = button(QStringLiteral("&Excel"), QStringLiteral("Excel"),
                     QStringLiteral("Scrivi gli indicatori in una cartella di Excel e aprila"));
    m_csv = button(QStringLiteral("CS&V"), QStringLiteral("CSV"),
                   QStringLiteral("Scrivi la tabella mostrata in un file CSV e aprilo"));
    m_pdf = button(QStringLiteral("&PDF"), QStringLiteral("PDF"),
                   QStringLiteral("Scrivi le tabelle e il grafico in un PDF e aprilo"));
    connect(m_excel, &QPushButton::clicked, this, &Indicatori::Excel_Click);
    connect(m_csv, &QPushButton::clicked, this, &Indicatori::Csv_Click);
    connect(m_pdf, &QPushButton::clicked, this, &Indicatori::Pdf_Click);
    auto* close = new QPushButton(QStringLiteral("C&hiudi"), box);
    close->setObjectName(QStringLiteral("Chiudi"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(m_excel);
    row->addWidget(m_csv);
    row->addWidget(m_pdf);
    row->addWidget(close);
    return box;
}

bool Indicatori::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_chartArea->viewport() && event->type() == QEvent::Resize)
        m_chart->fitWidth(m_chartArea->viewport()->width() -
                          m_chartArea->verticalScrollBar()->sizeHint().width());
    return QDialog::eventFilter(watched, event);
}

// --- Computing -------------------------------------------------------------

// Computes the figures of the choices; a computation still at work is
// stopped and its outcome dropped.
void Indicatori::compute()
{
    if (m_task)
        m_task->cancel();
    const int generation = ++m_generation;
    const IndicatorRequest asked = request();
    if (auto problem = checkIndicatorPeriod(asked.period)) {
        m_task = nullptr;
        computationEnded(std::nullopt, *problem, false);
        return;
    }
    setStatus(QStringLiteral("Calcolo degli indicatori..."));
    m_task = runOffThread(
        this,
        [folder = m_folder, asked](OffThreadProgress& progress) {
            Outcome outcome;
            outcome.indicators = std::make_shared<const Indicators>(computeIndicators(
                folder, asked,
                [&outcome](std::string_view text) { outcome.warnings.emplace_back(text); }, nullptr,
                [&progress](int done, int total) {
                    progress.setRange(0, total);
                    progress.setValue(done);
                    return !progress.cancelled();
                }));
            return outcome;
        },
        [this, generation](OffThreadOutcome<Outcome> ended) {
            if (generation != m_generation)
                return;
            m_task = nullptr;
            computationEnded(ended.value, ended.error, ended.cancelled);
        });
    connect(m_task, &QFutureWatcherBase::progressRangeChanged, m_work.progress,
            &QProgressBar::setRange);
    connect(m_task, &QFutureWatcherBase::progressValueChanged, m_work.progress,
            &QProgressBar::setValue);
    setBusy(true);
}

void Indicatori::computationEnded(const std::optional<Outcome>& outcome, const std::string& error,
                                  bool cancelled)
{
    setBusy(false);
    if (cancelled) {
        showIndicators(nullptr);
        setStatus(QStringLiteral("Calcolo annullato: nessun indicatore mostrato."));
    } else if (!outcome) {
        showIndicators(nullptr);
        setStatus(fromCp1252(error));
        m_prompts.warn(kTitle, error);
    } else {
        showIndicators(outcome->indicators);
        const Indicators& kpi = *outcome->indicators;
        QString text =
            QStringLiteral("Indicatori dal %1 al %2: %3 hotel.")
                .arg(fromCp1252(kpi.firstNight.toDisplay()), fromCp1252(kpi.lastNight.toDisplay()))
                .arg(kpi.hotels.size());
        if (!outcome->warnings.empty())
            text += QStringLiteral(" Avviso: %1").arg(fromCp1252(outcome->warnings.front())) +
                    (outcome->warnings.size() > 1
                         ? QStringLiteral(" (e altri %1 avvisi)").arg(outcome->warnings.size() - 1)
                         : QString());
        setStatus(text);
    }
    emit computed();
}

void Indicatori::showIndicators(std::shared_ptr<const Indicators> indicators)
{
    m_indicators = std::move(indicators);
    m_monthRows->setRows(m_indicators ? indicatorMonthRows(*m_indicators)
                                      : std::vector<IndicatorRow>());
    m_companyRows->setRows(m_indicators ? indicatorCompanyRows(*m_indicators)
                                        : std::vector<IndicatorRow>());
    m_monthRows->fitView(*m_months);
    m_companyRows->fitView(*m_companies);
    m_chart->setIndicators(m_indicators);
    for (QPushButton* b : {m_excel, m_csv, m_pdf})
        b->setEnabled(m_indicators != nullptr);
}

// While the figures are computed those of the last choices stay, greyed,
// and cannot be written.
void Indicatori::setBusy(bool busy)
{
    m_work.progress->setVisible(busy);
    m_work.stop->setVisible(busy);
    for (QWidget* shown : std::initializer_list<QWidget*>{m_months, m_companies, m_chart})
        shown->setEnabled(!busy);
    for (QPushButton* b : {m_excel, m_csv, m_pdf})
        b->setEnabled(!busy && m_indicators != nullptr);
    if (busy) {
        m_work.progress->setRange(0, 0);
        m_work.progress->setValue(0);
    }
}

void Indicatori::Annulla_Click()
{
    if (m_task)
        m_task->cancel();
}

void Indicatori::setStatus(const QString& text)
{
    m_work.setText(text);
}

// --- Files -----------------------------------------------------------------

// "indicatori_202601_202612.csv" in the data folder.
std::filesystem::path Indicatori::proposedFile(std::string_view extension) const
{
    const Indicators& kpi = *m_indicators;
    const auto month = [](const Date& d) {
        return std::to_string(d.year) + twoDigits(d.month).toStdString();
    };
    return m_folder.dir() / ("indicatori_" + month(kpi.firstNight) + "_" + month(kpi.lastNight) +
                             std::string(extension));
}

void Indicatori::save(
    const QString& title, const QString& filter, const QString& written,
    const std::function<void(const Indicators&, const std::filesystem::path&)>& write)
{
    if (!m_indicators)
        return;
    const std::shared_ptr<const Indicators> kpi = m_indicators;
    try {
        const auto file =
            chooseOutputFile(m_fileDialog, this, title, proposedFile(filterExtension(filter)),
                             filter, m_folder, m_prompts);
        if (!file)
            return;
        waitOffThread([&] { write(*kpi, *file); });
        const QString name = fromCp1252(displayName(*file));
        setStatus(QStringLiteral("%1: %2%3.")
                      .arg(written, name, fromCp1252(openedNote(m_opener, *file))));
    } catch (const DataError& e) {
        setStatus(fromCp1252(e.what()));
        m_prompts.warn(kTitle, e.what());
    } catch (const std::exception& e) {
        setStatus(fromCp1252(unexpectedErrorText(e)));
        m_prompts.warn(kTitle, unexpectedErrorText(e));
    }
}

void Indicatori::Excel_Click()
{
    save(QStringLiteral("Salva gli indicatori come cartella di Excel"),
         QStringLiteral("Cartella di Excel (*.xlsx)"), QStringLiteral("Cartella di Excel scritta"),
         writeIndicatorWorkbook);
}

void Indicatori::Csv_Click()
{
    // The CSV of the tab shown: by month, or by company.
    const bool byCompany = m_tabs->currentIndex() == 1;
    save(QStringLiteral("Salva la tabella come CSV"), QStringLiteral("CSV (*.csv)"),
         QStringLiteral("CSV scritto"),
         [byCompany](const Indicators& kpi, const std::filesystem::path& file) {
             Indicators shown = kpi;
             shown.byCompany = byCompany;
             writeIndicatorCsv(shown, file);
         });
}

void Indicatori::Pdf_Click()
{
    save(QStringLiteral("Salva gli indicatori come PDF"), QStringLiteral("PDF (*.pdf)"),
         QStringLiteral("PDF scritto"), writeIndicatorPdf);
}

} // namespace presenze
