#include "gui/output/MenuStampa.h"

#include "common/ReportFile.h"
#include "data/DataError.h"
#include "data/Text1252.h"
#include "gui/charts/Grafici.h"
#include "gui/desk/FormStyle.h"
#include "gui/desk/MessageBoxes.h"
#include "gui/desk/OffThread.h"
#include "gui/output/Anteprima.h"
#include "gui/output/QtPrinting.h"
#include "output/ArchiveCopy.h"
#include "output/CsvExport.h"
#include "output/PrintConfig.h"
#include "output/PrintOutput.h"
#include "output/WorkbookExport.h"
#include "render/QtText.h"
#include "render/ReportPdf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace presenze {
namespace {

constexpr const char* kNoPrinter = "<nessuna stampante>";

struct ButtonLook {
    const char* icon; // gui/desk/FormStyle.h
    const char* name; // what a screen reader says
    const char* tip;
};

constexpr std::array<ButtonLook, 6> kButtons = {{
    {"archive", "Copia d'archivio", "Apre la copia d'archivio della stampa"},
    {"csv", "Esporta in CSV", "Esporta la stampa in un file CSV e lo apre"},
    {"pdf", "Stampa PDF", "Stampa sulla destinazione PDF"},
    {"print", "Stampa", "Stampa sulla stampante scelta"},
    {"preview", "Anteprima", "Mostra la stampa nell'anteprima, dove si pu\u00F2 modificare"},
    {"close", "Chiudi", "Chiude il menu di stampa"},
}};

// Runs a button's action; its failure becomes a warning, and is said by `say`.
template <typename Say, typename Action>
void warnOnFailure(Interaction& ui, Say&& say, Action&& action)
{
    std::string failure;
    try {
        action();
        return;
    } catch (const DataError& e) {
        failure = e.what();
    } catch (const std::exception& e) {
        failure = unexpectedErrorText(e);
    }
    say(failure);
    ui.warn("Stampa", failure);
}

} // namespace

MenuStampa::MenuStampa(DataFolder folder, std::string stationTag, std::int64_t hotel,
                       const Clock& clock, QWidget* parent, Interaction* ui)
    : QDialog(parent), m_folder(std::move(folder)), m_tag(std::move(stationTag)),
      m_hotel(hotel > 0 ? hotel : kFirstHotel), m_clock(clock),
      m_ownUi(ui ? nullptr : std::make_unique<MessageBoxes>(this)), m_ui(ui ? ui : m_ownUi.get()),
      m_opener(openWithAssociatedProgram)
{
    setWindowTitle(QStringLiteral("Stampe non modificabili"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildControls();
    Form_Load();
}

MenuStampa::~MenuStampa() = default;

void MenuStampa::setFileOpener(FileOpener opener)
{
    m_opener = opener ? std::move(opener) : openWithAssociatedProgram;
}

void MenuStampa::setFigures(std::shared_ptr<const ReportFigures> figures)
{
    m_figures = std::move(figures);
    m_excel->setEnabled(m_figures != nullptr);
    m_charts->setEnabled(m_figures != nullptr);
}

void MenuStampa::buildControls()
{
    m_frame = new QGroupBox(QStringLiteral("Selezione "), this);
    m_frame->setObjectName(QStringLiteral("SSFrame1"));
    m_destinations = new QComboBox(m_frame);
    m_destinations->setObjectName(QStringLiteral("Combo1"));
    m_destinations->setMinimumContentsLength(24);
    m_printers = new QComboBox(m_frame);
    m_printers->setObjectName(QStringLiteral("Combo2"));
    m_printers->setEditable(true);
    m_printers->setInsertPolicy(QComboBox::NoInsert);
    m_printers->setMinimumContentsLength(24);
    auto* printerLabel = new QLabel(QStringLiteral("Stampante "), m_frame);
    printerLabel->setObjectName(QStringLiteral("Label1_0"));
    printerLabel->setBuddy(m_destinations);
    auto* virtualLabel = new QLabel(QStringLiteral("Virtuale "), m_frame);
    virtualLabel->setObjectName(QStringLiteral("Label1_1"));
    virtualLabel->setBuddy(m_printers);
    m_compressed = new QCheckBox(QStringLiteral("Stampa Compressa"), m_frame);
    m_compressed->setObjectName(QStringLiteral("Chk"));
    m_landscape = new QCheckBox(QStringLiteral("Stampa orizzontale"), m_frame);
    m_landscape->setObjectName(QStringLiteral("Chk2"));
    m_duplex = new QCheckBox(QStringLiteral("Stampa fronte / retro"), m_frame);
    m_duplex->setObjectName(QStringLiteral("Chk3"));

    auto* grid = new QGridLayout(m_frame);
    grid->addWidget(printerLabel, 0, 0);
    grid->addWidget(m_destinations, 0, 1);
    grid->addWidget(virtualLabel, 1, 0);
    grid->addWidget(m_printers, 1, 1);
    grid->addWidget(m_compressed, 2, 0, 1, 2);
    grid->addWidget(m_landscape, 3, 0, 1, 2);
    grid->addWidget(m_duplex, 4, 0, 1, 2);

    auto* row = new QHBoxLayout;
    for (int i = 0; i < 6; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("Tst_%1").arg(i));
        const ButtonLook& look = kButtons[static_cast<std::size_t>(i)];
        button->setIcon(buttonIcon(look.icon));
        button->setIconSize(QSize(32, 32));
        button->setToolTip(QString::fromUtf8(look.tip));
        button->setAccessibleName(QString::fromUtf8(look.name));
        button->setAccessibleDescription(QString::fromUtf8(look.tip));
        connect(button, &QToolButton::clicked, this, [this, i] { Tst_Click(i); });
        row->addWidget(button);
        m_buttons[static_cast<std::size_t>(i)] = button;
    }
    // The figures' two buttons, before "Chiudi".
    const auto figuresButton = [&](const char* name, const char* caption, const char* icon,
                                   const char* tip) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(QString::fromUtf8(caption));
        button->setIcon(buttonIcon(icon));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setToolTip(QString::fromUtf8(tip));
        button->setAccessibleName(QString::fromUtf8(caption).remove(QLatin1Char('&')));
        button->setEnabled(false);
        row->insertWidget(row->indexOf(m_buttons[5]), button);
        return button;
    };
    m_excel = figuresButton("Excel", "&Excel", "excel",
                            "Scrivi i dati della stampa in una cartella di Excel e aprila");
    m_charts = figuresButton("Grafici", "&Grafici", "charts",
                             "Grafici dell'occupazione e delle ditte principali");
    connect(m_excel, &QToolButton::clicked, this, &MenuStampa::Excel_Click);
    connect(m_charts, &QToolButton::clicked, this, &MenuStampa::Grafici_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);
    layout->addLayout(row);
}

void MenuStampa::Form_Load()
{
    // The name is built once: the copy, its opening and the PDF beside it use it.
    m_archiveName = archiveCopyName(m_tag, m_clock.now());
    try {
        m_archiveCopy = makeArchiveCopy(m_folder, m_tag, m_archiveName);
    } catch (const DataError&) {
        // No report file or a read-only folder: the menu works without a copy.
    }
    // The print system may be slow to answer: its printers fill the list
    // when they come, and the menu does not wait for them.
    m_printers->clear();
    runOffThread(
        this, [] { return systemPrinterNames(); },
        [this](OffThreadOutcome<QStringList> listed) {
            showPrinters(listed.value.value_or(QStringList()));
        });
}

void MenuStampa::showPrinters(const QStringList& printers)
{
    const QString typed = m_printers->currentText();
    m_printers->clear();
    if (printers.isEmpty())
        m_printers->addItem(QString::fromLatin1(kNoPrinter));
    else
        m_printers->addItems(printers);
    m_printers->setCurrentIndex(-1);
    m_printers->setEditText(typed);
}

void MenuStampa::Form_Activate()
{
    if (m_closing)
        return;
    const QString chosen = m_destinations->currentText();
    m_destinations->clear();
    std::vector<std::string> names;
    try {
        names = readDestinationNames(m_folder, 1);
    } catch (const DataError& e) {
        m_ui->warn("Stampa", e.what());
    }
    for (const auto& name : names)
        m_destinations->addItem(fromCp1252(name));
    if (m_destinations->count() == 0) {
        m_closing = true;
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    m_destinations->setCurrentIndex(std::max(0, m_destinations->findText(chosen)));
    m_frame->update();
}

void MenuStampa::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The list is read once the menu shows (an empty one closes it), not at
    // each activation: coming back from a message or another program keeps
    // the choice.
    Form_Activate();
}

std::filesystem::path MenuStampa::archiveCopyPath() const
{
    return m_archiveCopy.empty() ? m_folder.dir() / cp1252ToUtf8(m_archiveName) : m_archiveCopy;
}

std::filesystem::path MenuStampa::defaultPdfPath() const
{
    return m_folder.dir() / cp1252ToUtf8(archiveSibling(m_archiveName, ".pdf"));
}

PrintChoices MenuStampa::choices() const
{
    PrintChoices c;
    c.destination = toCp1252(m_destinations->currentText());
    const QString printer = m_printers->currentText().trimmed();
    if (printer != QLatin1String(kNoPrinter))
        c.printer = toCp1252(printer);
    c.compressed = m_compressed->isChecked();
    c.landscape = m_landscape->isChecked();
    c.duplex = m_duplex->isChecked();
    return c;
}

void MenuStampa::Tst_Click(int index)
{
    // A failure goes to the status line too, which then never keeps an
    // earlier action's success.
    warnOnFailure(
        *m_ui, [this](const std::string& why) { report(why); },
        [&] {
            switch (index) {
            case 0:
                openArchiveCopy();
                break;
            case 1:
                exportCsv();
                break;
            case 2:
                printOnPdfDestination();
                break;
            case 3:
                printOnDestination();
                break;
            case 4:
                showPreview();
                break;
            case 5:
                accept();
                break;
            default:
                break;
            }
        });
}

void MenuStampa::openArchiveCopy()
{
    openFile(archiveCopyPath(), "Copia d'archivio");
}

void MenuStampa::exportCsv()
{
    const auto done =
        runWithProgress(this, QStringLiteral("Esportazione in CSV..."),
                        [folder = m_folder, tag = m_tag](const WorkProgress& progress) {
                            return ConvertiXLS(folder, reportFileName(tag), tag, progress);
                        });
    if (done.cancelled) {
        report("CSV non scritto: Annullato");
        return;
    }
    if (!done.error.empty())
        throw DataError(done.error);
    openFile(*done.value, "CSV scritto");
}

// The last destination whose name holds "PDF" (in capitals) is chosen.
void MenuStampa::printOnPdfDestination()
{
    int pdf = -1;
    for (int i = 0; i < m_destinations->count(); ++i) {
        if (m_destinations->itemText(i).contains(QLatin1String("PDF")))
            pdf = i;
    }
    if (pdf < 0) {
        m_ui->warn("Stampa", "Nessuna stampante PDF impostata!");
        return;
    }
    m_destinations->setCurrentIndex(pdf);
    printOnDestination();
}

void MenuStampa::showPreview()
{
    Anteprima preview(m_folder, m_tag, this, m_ui);
    connect(&preview, &Anteprima::statusMessage, this, &MenuStampa::statusMessage);
    preview.exec();
    Form_Activate();
}

void MenuStampa::Excel_Click()
{
    if (!m_figures)
        return;
    const auto say = [this](const std::string& why) {
        report("Cartella di lavoro Excel non scritta: " + why);
    };
    warnOnFailure(*m_ui, say, [&] {
        const std::filesystem::path file = m_folder.target(workbookFileName(m_tag));
        const auto done =
            runWithProgress(this, QStringLiteral("Scrittura della cartella di Excel..."),
                            [figures = m_figures, file](const WorkProgress& progress) {
                                return writeWorkbook(*figures, file, kSheetRows, progress);
                            });
        if (done.cancelled) {
            say("Annullato");
            return;
        }
        if (!done.error.empty())
            throw DataError(done.error);
        if (!done.value->empty())
            m_ui->warn("Stampa", *done.value);
        openFile(file, "Cartella di lavoro Excel scritta");
    });
}

void MenuStampa::Grafici_Click()
{
    if (!m_figures)
        return;
    Grafici charts(m_figures, this);
    charts.exec();
}

void MenuStampa::printOnDestination()
{
    // The destination's settings are read off the window's thread too.
    struct Printed {
        PreparedPrint prepared;
        PrintOutcome outcome;
    };
    const auto done =
        runWithProgress(this, QStringLiteral("Stampa in corso..."),
                        [folder = m_folder, tag = m_tag, hotel = m_hotel, chosen = choices(),
                         pdf = defaultPdfPath()](const WorkProgress& progress) {
                            Printed printed{preparePrint(folder, tag, hotel, chosen), {}};
                            if (printed.prepared.status == PrintStatus::Ready) {
                                PrintJob job = printed.prepared.job;
                                job.lines.setProgress(progress);
                                printed.outcome = printJob(job, folder, pdf, writeReportPdf);
                            }
                            return printed;
                        });
    if (done.cancelled) {
        report("Destinazione \"" + toCp1252(m_destinations->currentText()) + "\": Annullato");
        return;
    }
    if (!done.error.empty())
        throw DataError(done.error);
    const PreparedPrint& prepared = done.value->prepared;
    // No such destination, or no report file: nothing to print.
    if (prepared.status != PrintStatus::Ready) {
        report(prepared.status == PrintStatus::NoReport
                   ? "Niente da stampare: manca il file " +
                         displayName(m_folder.target(reportFileName(m_tag)))
                   : "Destinazione \"" + toCp1252(m_destinations->currentText()) +
                         "\" non trovata in Stampanti.mdb: niente \xE8 stato stampato");
        return;
    }
    const PrintOutcome& outcome = done.value->outcome;
    report("Destinazione \"" + prepared.job.destination + "\": " + outcome.description);
    if (!outcome.pdfFile.empty())
        openFile(outcome.pdfFile, "PDF scritto");
}

void MenuStampa::report(const std::string& text)
{
    emit statusMessage(fromCp1252(text) + QLatin1Char('.'));
}

// Opens a file the menu has written; `what` names it in the status line.
void MenuStampa::openFile(const std::filesystem::path& file, const std::string& what)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        m_ui->warn("Stampa", "File non trovato: " + displayName(file));
        return;
    }
    const std::string name = displayName(file);
    const Handover opened = m_opener(file);
    if (opened.done()) {
        report(what + ": " + name + " (aperto con " + opened.program + ")");
        return;
    }
    if (opened.running()) {
        report(what + ": " + name + " (passato a " + opened.program + ", ancora al lavoro dopo " +
               std::to_string(opened.waited.count() / 1000) + " secondi)");
        return;
    }
    const std::string trouble = handoverTrouble(opened);
    report(what + ": " + name + ", non aperto: " + trouble);
    m_ui->inform("Stampa", "Il file \xE8 pronto:\r\n" + name + "\r\n\r\nNon si \xE8 aperto: " +
                               trouble + ".\r\nLo si pu\xF2 aprire dalla sua cartella, " +
                               displayName(file.parent_path()) + ".");
}

} // namespace presenze
