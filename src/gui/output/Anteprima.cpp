#include "gui/output/Anteprima.h"

#include "common/ReportFile.h"
#include "data/ChildProcess.h"
#include "data/DataError.h"
#include "data/Text1252.h"
#include "gui/desk/MessageBoxes.h"
#include "gui/desk/QtText.h"
#include "output/MailDispatch.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace presenze {
namespace {

constexpr std::array<const char*, 7> kCaptions = {"&Esci",   "&Riduci", "E&spandi", "&Avanti",
                                                  "&Inizio", "E-&mail", "Sa&lva"};
constexpr const char* kErrorTitle = "Riporto Clienti";
constexpr double kInitialTextSize = 10;

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
    setWindowTitle(QStringLiteral("Anteprima di Stampa"));
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
    font.setPointSizeF(kInitialTextSize);
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
    resize(1000, 700);

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

void Anteprima::showChunk(const std::string& chunk)
{
    QString text = fromCp1252(chunk);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_text->setPlainText(text);
}

std::string Anteprima::shownText() const
{
    return toCp1252(m_text->toPlainText());
}

void Anteprima::Tasto_Click(int index)
{
    try {
        switch (index) {
        case 0:
            accept();
            break;
        case 1: {
            QFont font = m_text->font();
            if (font.pointSizeF() > 1) {
                font.setPointSizeF(font.pointSizeF() - 1);
                m_text->setFont(font);
            }
            break;
        }
        case 2: {
            QFont font = m_text->font();
            font.setPointSizeF(font.pointSizeF() + 1);
            m_text->setFont(font);
            break;
        }
        case 3:
            if (m_preview.moreLines())
                showChunk(m_preview.readChunk(kNextChunk));
            m_text->setFocus();
            break;
        case 4:
            showChunk(m_preview.restart(kNextChunk));
            m_text->setFocus();
            break;
        case 5:
            InviaEMail();
            break;
        case 6:
            m_preview.save(shownText());
            break;
        default:
            break;
        }
    } catch (const DataError& e) {
        m_ui->warn(kErrorTitle, e.what());
    } catch (const std::exception& e) {
        m_ui->warn(kErrorTitle, utf8ToCp1252(e.what()));
    }
}

void Anteprima::InviaEMail(const QString&)
{
    const auto message = writeMailFile(m_folder, m_tag, shownText());
    const auto program = findMailProgram();
    const bool started = program && startDetached(*program, {}, m_folder.dir());
    if (started)
        return;
    const auto chosen = systemEnvironment(kMailProgramVariable);
    const std::string name = chosen && !trimBlanks(*chosen).empty()
                                 ? std::string(trimBlanks(*chosen))
                                 : std::string(kMailProgram);
    m_ui->warn("E-mail", "Impossibile avviare il programma di posta \"" + name +
                             "\". Il messaggio \xE8 stato salvato nel file " +
                             displayName(message) + ".");
}

} // namespace presenze
