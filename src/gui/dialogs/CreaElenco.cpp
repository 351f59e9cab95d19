#include "gui/dialogs/CreaElenco.h"

#include "common/CompanyListFile.h"
#include "data/CompanyListLine.h"
#include "data/DataError.h"
#include "data/Records.h"
#include "data/Text1252.h"
#include "gui/desk/FormStyle.h"
#include "gui/desk/OffThread.h"
#include "render/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace presenze {
namespace {

// Items keep their Windows-1252 bytes beside the text shown.
constexpr int kBytesRole = Qt::UserRole;

std::string itemBytes(const QListWidgetItem* item)
{
    const QByteArray bytes = item->data(kBytesRole).toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The company code of an item in the list's line format; nullopt without one.
std::optional<std::int64_t> itemCode(std::string_view item)
{
    return fitsCompanyListLine(item) ? parseCompanyListLine(item).code : std::nullopt;
}

// Two items stand for the same company: the same code, or (without codes)
// the same text.
bool sameCompany(std::string_view a, std::string_view b)
{
    if (itemCode(a) || itemCode(b))
        return itemCode(a) == itemCode(b);
    return trimBlanks(a) == trimBlanks(b);
}

const char* const kTitle = "Elenco Ditte Particolari";

} // namespace

CreaElenco::CreaElenco(DataFolder folder, std::optional<std::int64_t> hotel, DeskPrompts& prompts,
                       std::shared_ptr<const BookingSource> source, QWidget* parent)
    : QDialog(parent), m_folder(std::move(folder)), m_source(std::move(source)), m_hotel(hotel),
      m_prompts(prompts)
{
    setObjectName(QStringLiteral("CreaElenco"));
    setWindowTitle(QStringLiteral("Elenco Ditte Particolari"));
    auto* grid = new QGridLayout(this);

    const QFont listFont = fixedFormFont(QStringLiteral("Courier New"), 8.25);
    const int listWidth = QFontMetrics(listFont).horizontalAdvance(QString(60, QLatin1Char('M')));
    const QStringList headings{QStringLiteral("Elenco"), QStringLiteral("Ditte abituali")};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(headings[i], this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setMinimumHeight(label->fontMetrics().height() + 4);
        m_label1[static_cast<std::size_t>(i)] = label;

        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("List1_%1").arg(i));
        list->setFont(listFont);
        list->setMinimumWidth(listWidth);
        list->setMinimumHeight(QFontMetrics(listFont).lineSpacing() * 20);
        list->installEventFilter(this);
        connect(list, &QListWidget::itemDoubleClicked, this, [this, i] { List1_DblClick(i); });
        m_list1[static_cast<std::size_t>(i)] = list;
        label->setBuddy(list);

        grid->addWidget(label, 0, i);
        grid->addWidget(list, 1, i);
    }
    List1(0)->setToolTip(QStringLiteral("Doppio clic, Invio o Canc: toglie la ditta dall'elenco"));
    List1(1)->setToolTip(QStringLiteral("Doppio clic o Invio: aggiunge la ditta all'elenco"));

    m_label2 = new QLabel(QStringLiteral("Nominativo Ditta per ricerca"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFont(formFont(QStringLiteral("Arial"), 7.5, true));
    m_text1->installEventFilter(this);
    m_label2->setBuddy(m_text1);
    grid->addWidget(m_label2, 2, 1);
    grid->addWidget(m_text1, 3, 1);

    const QStringList captions{QStringLiteral("&Registra"), QStringLiteral("&Esci")};
    auto* buttons = new QHBoxLayout();
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("Tasto_%1").arg(i));
        button->setFont(formFont(QStringLiteral("Corbel"), 12));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { Tasto_Click(i); });
        m_tasto[static_cast<std::size_t>(i)] = button;
    }
    Tasto(1)->setIcon(buttonIcon("close"));
    buttons->addWidget(Tasto(0));
    buttons->addStretch(1);
    buttons->addWidget(Tasto(1));
    grid->addLayout(buttons, 4, 0, 1, 2);

    setTabOrder(Tasto(0), Tasto(1));
    setTabOrder(Tasto(1), List1(0));
    setTabOrder(List1(0), List1(1));
    setTabOrder(List1(1), m_text1);
    Tasto(0)->setFocus();
}

std::vector<std::string> CreaElenco::items(int list) const
{
    std::vector<std::string> texts;
    for (int row = 0; row < List1(list)->count(); ++row)
        texts.push_back(itemBytes(List1(list)->item(row)));
    return texts;
}

void CreaElenco::addItem(QListWidget* list, const std::string& text)
{
    auto* item = new QListWidgetItem(fromCp1252(text), list);
    item->setData(kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

void CreaElenco::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // After the dialog is on screen, so that a message shows above it.
    if (!m_activated)
        QTimer::singleShot(0, this, [this] {
            if (!m_activated)
                Form_Activate();
        });
}

void CreaElenco::Form_Activate()
{
    m_activated = true;
    List1(0)->clear();
    for (const std::string& line : savedLines())
        addItem(List1(0), line);
    List1(0)->setCurrentRow(-1);
    m_modified = false;
    fillCandidates(std::nullopt);
}

void CreaElenco::fillCandidates(std::optional<std::string_view> search)
{
    List1(1)->clear();
    try {
        const auto companies = m_source ? sourceCompanies() : readCompanies(m_folder);
        for (const std::string& item : candidateItems(companies, search, m_hotel))
            addItem(List1(1), item);
    } catch (const DataError& e) {
        m_prompts.warn(kTitle, e.what());
    }
    List1(1)->setCurrentRow(-1);
}

// The list as the window reads it (the source's when there is one).
std::vector<std::string> CreaElenco::savedLines() const
{
    if (!m_source)
        return readCompanyListLines(m_folder);
    try {
        return waitOffThread([source = m_source] { return source->companyListLines(); });
    } catch (const DataError& e) {
        m_prompts.warn(kTitle, e.what());
        return {};
    }
}

const std::vector<CompanyRecord>& CreaElenco::sourceCompanies()
{
    if (!m_sourceCompanies)
        m_sourceCompanies = waitOffThread([source = m_source] { return source->companies(); });
    return *m_sourceCompanies;
}

void CreaElenco::List1_DblClick(int index)
{
    QListWidget* list = List1(index);
    QListWidgetItem* item = list->currentItem();
    if (!item)
        return;
    const std::string text = itemBytes(item);
    if (trimBlanks(text).empty())
        return;
    if (index == 1) {
        addToList(text);
        return;
    }
    const int row = list->row(item);
    std::unique_ptr<QListWidgetItem> removed(list->takeItem(row));
    list->setCurrentRow(std::min(row, list->count() - 1));
    m_modified = true;
}

void CreaElenco::addToList(const std::string& text)
{
    for (int row = 0; row < List1(0)->count(); ++row) {
        if (sameCompany(itemBytes(List1(0)->item(row)), text)) {
            // Already listed: shown, not added twice.
            List1(0)->setCurrentRow(row);
            List1(0)->scrollToItem(List1(0)->item(row));
            return;
        }
    }
    if (!fitsCompanyListLine(text)) {
        m_prompts.warn(kTitle, "Il codice della ditta ha pi\xF9 di sei cifre: la ditta non pu\xF2 "
                               "entrare nell'elenco.\r\n" +
                                   text);
        return;
    }
    addItem(List1(0), text);
    List1(0)->scrollToBottom();
    m_modified = true;
}

void CreaElenco::Text1_KeyPress()
{
    const std::string search = companySearchText(toCp1252(m_text1->text()));
    m_text1->setText(fromCp1252(search));
    fillCandidates(std::string_view(search));
    m_text1->selectAll();
}

void CreaElenco::Tasto_Click(int index)
{
    if (index == 1) {
        reject();
        return;
    }
    if (save())
        QDialog::done(QDialog::Accepted);
}

bool CreaElenco::save()
{
    try {
        writeCompanyListFile(m_folder, items(0));
    } catch (const DataError& e) {
        m_prompts.warn(kTitle, e.what());
        return false;
    }
    m_modified = false;
    return true;
}

void CreaElenco::done(int result)
{
    if (result != QDialog::Accepted && m_modified) {
        const int answer =
            m_prompts.ask(kTitle, "L'elenco \xE8 stato modificato.\r\nSalvare le modifiche?", true);
        if (answer == AnswerYes) {
            if (save())
                QDialog::done(QDialog::Accepted);
            return;
        }
        if (answer != AnswerNo)
            return;
    }
    QDialog::done(result);
}

bool CreaElenco::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text1 && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, m_text1, [this] { m_text1->selectAll(); });
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter searches in the text field, adds or removes in the lists,
            // and never closes the dialog.
            if (watched == m_text1)
                Text1_KeyPress();
            else if (watched == List1(0))
                List1_DblClick(0);
            else if (watched == List1(1))
                List1_DblClick(1);
            return true;
        }
        if (key == Qt::Key_Delete && watched == List1(0)) {
            List1_DblClick(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace presenze
