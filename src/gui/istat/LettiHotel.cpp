#include "gui/istat/LettiHotel.h"

#include "data/DataError.h"
#include "data/Records.h"
#include "data/Schema.h"
#include "gui/desk/OffThread.h"
#include "render/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <fstream>
#include <iterator>
#include <sstream>

namespace presenze {
namespace {

const char* const kTitle = "Letti per hotel";
constexpr std::int64_t kLastHotel = 9998;

// The lines of a file that did not read whole, each read on its own: the
// first line of a hotel wins, the lines that do not read are left out.
HotelBeds goodLines(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    HotelBeds beds;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        std::istringstream line(bytes.substr(start, end - start));
        try {
            for (const auto& [hotel, count] : parseHotelBeds(line, {}))
                beds.try_emplace(hotel, count);
        } catch (const DataError&) {
        }
        start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return beds;
}

} // namespace

LettiHotel::LettiHotel(DataFolder folder, DeskPrompts& prompts,
                       std::shared_ptr<const BookingSource> source, QWidget* parent)
    : QDialog(parent), m_folder(std::move(folder)), m_source(std::move(source)), m_prompts(prompts)
{
    setObjectName(QStringLiteral("LettiHotel"));
    setWindowTitle(QString::fromLatin1(kTitle));
    load();
    buildControls();
    if (!m_readError.empty())
        m_prompts.warn(kTitle, m_readError + "\r\n\r\nI campi riportano le righe leggibili; "
                                             "salvando, il file viene sostituito.");
}

QLineEdit* LettiHotel::Letti(std::int64_t hotel) const
{
    const auto it = m_fields.find(hotel);
    return it == m_fields.end() ? nullptr : it->second;
}

void LettiHotel::load()
{
    try {
        const auto registry =
            m_source ? waitOffThread([source = m_source] { return source->hotelRegistry(); })
                     : readHotelRegistry(m_folder);
        for (const HotelRecord& h : registry) {
            if (h.numero > 0 && h.numeroHotel >= 1 && h.numeroHotel <= kLastHotel &&
                m_names.emplace(h.numeroHotel, h.ragioneSociale).second)
                m_order.push_back(h.numeroHotel);
        }
    } catch (const DataError& e) {
        m_prompts.warn(kTitle, e.what());
    }
    try {
        m_read = readHotelBeds(m_folder).value_or(HotelBeds());
    } catch (const DataError& e) {
        m_readError = e.what();
        if (const auto file = m_folder.find(schema::kBedsFile))
            m_read = goodLines(*file);
    }
}

void LettiHotel::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    m_note = new QLabel(QStringLiteral("I letti disponibili di ogni hotel per il movimento "
                                       "clienti (ISTAT), salvati in %1. Un campo vuoto: "
                                       "letti non indicati.")
                            .arg(fromCp1252(displayName(m_folder.target(schema::kBedsFile)))),
                        this);
    m_note->setObjectName(QStringLiteral("Nota"));
    m_note->setWordWrap(true);
    layout->addWidget(m_note);

    auto* area = new QScrollArea(this);
    area->setWidgetResizable(true);
    auto* list = new QWidget(area);
    auto* grid = new QGridLayout(list);
    const auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), this);
    int row = 0;
    for (const std::int64_t hotel : m_order) {
        auto* number = new QLabel(QString::number(hotel), list);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* name = new QLabel(fromCp1252(m_names.at(hotel)), list);
        auto* field = new QLineEdit(list);
        field->setObjectName(QStringLiteral("Letti_%1").arg(hotel));
        field->setValidator(digits);
        field->setAlignment(Qt::AlignRight);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) +
                             16);
        if (const auto it = m_read.find(hotel); it != m_read.end())
            field->setText(QString::number(it->second));
        name->setBuddy(field);
        grid->addWidget(number, row, 0);
        grid->addWidget(name, row, 1);
        grid->addWidget(field, row, 2);
        m_fields.emplace(hotel, field);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    area->setWidget(list);
    layout->addWidget(area, 1);

    m_save = new QPushButton(QStringLiteral("&Salva"), this);
    m_save->setObjectName(QStringLiteral("Salva"));
    m_save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_cancel = new QPushButton(QStringLiteral("&Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("Annulla"));
    m_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(m_save, &QPushButton::clicked, this, &LettiHotel::Salva_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_save);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    // Every hotel in sight up to a dozen or so; more scroll.
    list->setMinimumWidth(list->sizeHint().width());
    area->setMinimumHeight(std::min(list->sizeHint().height() + 2 * area->frameWidth(), 460));
    area->setMinimumWidth(list->sizeHint().width() + 2 * area->frameWidth() +
                          area->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

HotelBeds LettiHotel::beds() const
{
    HotelBeds beds = m_read;
    for (const auto& [hotel, field] : m_fields) {
        bool ok = false;
        const qlonglong count = field->text().toLongLong(&ok);
        if (ok)
            beds[hotel] = count;
        else
            beds.erase(hotel);
    }
    return beds;
}

void LettiHotel::Salva_Click()
{
    if (!m_readError.empty() &&
        m_prompts.ask(kTitle, "Il file dei letti non si legge:\r\n" + m_readError +
                                  "\r\n\r\nSostituirlo con i letti indicati qui?") != AnswerYes)
        return;
    try {
        writeHotelBeds(m_folder, beds());
    } catch (const DataError& e) {
        m_prompts.warn(kTitle, e.what());
        return;
    }
    accept();
}

} // namespace presenze
