#include "gui/output/Anteprima.h"

#include "common/ReportFile.h"
#include "data/DataError.h"
#include "data/Text1252.h"
#include "gui/desk/MessageBoxes.h"
#include "gui/desk/OffThread.h"
#include "output/Handover.h"
#include "output/MailDispatch.h"
#include "render/QtText.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace presenze {
namespace {

constexpr std::array<const char*, 7> kCaptions = {"&Esci",   "&Riduci", "E&spandi", "&Avanti",
                                                  "&Inizio", "E-&mail", "Sa&lva"};
constexpr const char* kErrorTitle = "Riporto Clienti";
constexpr const char* kTitle = "Anteprima di Stampa";
constexpr double kInitialTextSize = 9;
constexpr int kReportColumns = 133; // the widest report line
constexpr int kShownLines = 40;
const QString kSizeKey = QStringLiteral("Anteprima/finestra");
const QString kTextSizeKey = QStringLiteral("Anteprima/dimensioneTesto");

// The station's own settings (not the data folder's).
std::unique_ptr<QSettings> settings()
{
    return std::make_unique<QSettings>(QStringLiteral("presenze"), QStringLiteral("presenze"));
}

std::filesystem::path reportPath(const DataFolder& folder, std::string_view tag)
{
    return folder.target(reportFileName(tag));
}

} // namespace

Anteprima::Anteprima(DataFolder folder, std::string stationTag, QWidget* parent, Interaction* ui)
    : QDialog(parent), m_folder(std::move(folder)), m_tag(std::move(stationTag)),
      m_ownUi(ui ? nullptr : std::make_unique<MessageBoxes>(this)), m_ui(ui ? ui : m_ownUi.get()),
      m_preview(reportPath(m_folder, m_tag))
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    m_text->setFont(font);

    auto* row = new QHBoxLayout;
    for (int i = 0; i < 7; ++i) {
        auto* button =
            new QPushButton(QString::fromLatin1(kCaptions[static_cast<std::size_t>(i)]), this);
        button->setObjectName(QStringLiteral("Tasto_%1").arg(i));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { Tasto_Click(i); });
        row->addWidget(button);
        m_buttons[static_cast<std::size_t>(i)] = button;
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(row);
    restoreSettings();

    // The first chunk, once: activations later leave the text as it is.
    if (m_preview.hasReport())
        showChunk(m_preview.readChunk(kFirstChunk));
}

Anteprima::~Anteprima() = default;

int Anteprima::exec()
{
    if (!m_preview.hasReport())
        return QDialog::Rejected;
    return QDialog::exec();
}

void Anteprima::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_preview.hasReport())
        QTimer::singleShot(0, this, &QDialog::reject);
}

void Anteprima::restoreSettings()
{
    const auto stored = settings();
    const double points = stored->value(kTextSizeKey, kInitialTextSize).toDouble();
    setTextSize(points >= 1 && points <= 96 ? points : kInitialTextSize);

    QSize size = stored->value(kSizeKey).toSize();
    if (!size.isValid()) {
        // A whole report line and about 40 lines at the first text size.
        QFont font = m_text->font();
        font.setPointSizeF(kInitialTextSize);
        const QFontMetrics metrics(font);
        const int frame =
            2 * (m_text->frameWidth() + static_cast<int>(m_text->document()->documentMargin()) + 2);
        const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_text);
        const QMargins margins = layout()->contentsMargins();
        const int width = metrics.horizontalAdvance(QString(kReportColumns, QLatin1Char('M'))) +
                          frame + scrollBar + margins.left() + margins.right();
        const int height = metrics.lineSpacing() * kShownLines + frame + scrollBar +
                           m_buttons[0]->sizeHint().height() + layout()->spacing() + margins.top() +
                           margins.bottom();
        size = QSize(width, height);
    }
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
}

void Anteprima::storeSettings() const
{
    const auto stored = settings();
    stored->setValue(kSizeKey, isMaximized() ? normalGeometry().size() : size());
    stored->setValue(kTextSizeKey, m_text->font().pointSizeF());
}

void Anteprima::setTextSize(double points)
{
    QFont font = m_text->font();
    font.setPointSizeF(points);
    m_text->setFont(font);
}

bool Anteprima::hasUnsavedEdits() const
{
    return m_text->document()->isModified();
}

bool Anteprima::editsSettled()
{
    if (!hasUnsavedEdits())
        return true;
    const int answer = m_ui->ask(kTitle,
                                 "Il testo mostrato \xE8 stato modificato e non \xE8 ancora "
                                 "salvato.\r\nSalvare le modifiche nella stampa?",
                                 true);
    if (answer == AnswerYes)
        return save();
    if (answer == AnswerNo) {
        m_text->document()->setModified(false);
        return true;
    }
    return false;
}

void Anteprima::done(int result)
{
    if (!editsSettled())
        return;
    storeSettings();
    QDialog::done(result);
}

bool Anteprima::save()
{
    try {
        m_preview.save(shownText());
    } catch (const DataError& e) {
        m_ui->warn(kErrorTitle, e.what());
        return false;
    }
    m_text->document()->setModified(false);
    emit statusMessage(
        QStringLiteral("Testo dell'anteprima salvato nel file %1: stampe ed esportazioni lo usano.")
            .arg(fromCp1252(displayName(reportPath(m_folder, m_tag)))));
    return true;
}

void Anteprima::showChunk(const std::string& chunk)
{
    QString text = QString::fromUtf8(chunk);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_text->setPlainText(text);
    m_text->document()->setModified(false);
}

std::string Anteprima::shownText() const
{
    return m_text->toPlainText().toStdString();
}

void Anteprima::Tasto_Click(int index)
{
    try {
        switch (index) {
        case 0:
            accept();
            break;
        case 1:
            smallerText();
            break;
        case 2:
            largerText();
            break;
        case 3:
            showNextChunk();
            break;
        case 4:
            showFirstChunk();
            break;
        case 5:
            InviaEMail();
            break;
        case 6:
            save();
            break;
        default:
            break;
        }
    } catch (const DataError& e) {
        m_ui->warn(kErrorTitle, e.what());
    } catch (const std::exception& e) {
        m_ui->warn(kErrorTitle, unexpectedErrorText(e));
    }
}

void Anteprima::smallerText()
{
    if (m_text->font().pointSizeF() > 1)
        setTextSize(m_text->font().pointSizeF() - 1);
}

void Anteprima::largerText()
{
    setTextSize(m_text->font().pointSizeF() + 1);
}

void Anteprima::showNextChunk()
{
    if (m_preview.moreLines() && editsSettled())
        showChunk(m_preview.readChunk(kNextChunk));
    m_text->setFocus();
}

void Anteprima::showFirstChunk()
{
    if (editsSettled())
        showChunk(m_preview.restart(kNextChunk));
    m_text->setFocus();
}

void Anteprima::InviaEMail(const QString&)
{
    const auto message = writeMailFile(m_folder, m_tag, mailTextOf(shownText()));
    const std::string file = displayName(message);
    const auto command = mailCommand(message);
    if (!command) {
        const std::string text = "Impossibile avviare il programma di posta (n\xE9 " +
                                 std::string(kMailProgramVariable) + " n\xE9 " +
                                 std::string(kMailProgram) + " n\xE9 " + std::string(kDesktopMail) +
                                 " sono disponibili). Il messaggio \xE8 stato salvato nel file " +
                                 file + ".";
        emit statusMessage(fromCp1252(text));
        m_ui->warn("E-mail", text);
        return;
    }
    const Handover sent =
        waitOffThread([&] { return handOver(command->program, command->args, m_folder.dir()); });
    if (sent.done() || sent.running()) {
        emit statusMessage(fromCp1252("Messaggio " + file + " consegnato al programma di posta " +
                                      sent.program + (sent.running() ? " (ancora aperto)." : ".")));
        return;
    }
    const std::string text =
        "Il programma di posta non ha preso il messaggio: " + handoverTrouble(sent) +
        ". Il messaggio \xE8 nel file " + file + ".";
    emit statusMessage(fromCp1252(text));
    m_ui->warn("E-mail", text);
}

} // namespace presenze
