#include "gui/dialogs/OrigineDati.h"

#include "data/DataError.h"
#include "data/Text1252.h"
#include "gui/desk/OffThread.h"
#include "render/QtText.h"
#include "store/StoreAddress.h"
#include "store/StoreSource.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace presenze {
namespace {

constexpr const char* kTitle = "Origine dati";

template <typename Widget> Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

OrigineDati::OrigineDati(DataOrigin current, DeskPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_wantedGroup(current.group())
{
    setObjectName(QStringLiteral("OrigineDati"));
    setWindowTitle(QString::fromLatin1(kTitle));
    buildControls();
    m_conninfo->setText(QString::fromStdString(current.conninfo()));
    (current.isServer() ? m_server : m_folder)->setChecked(true);
    if (!current.group().empty())
        m_group->addItem(fromCp1252(current.group()));
    showChoice();
    if (current.isServer())
        refreshGroups();
}

OrigineDati::~OrigineDati() = default;

void OrigineDati::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    m_folder = named(new QRadioButton(QStringLiteral("Cartella dei dati"), this),
                     QStringLiteral("Cartella"));
    m_server = named(new QRadioButton(QStringLiteral("Server"), this), QStringLiteral("Server"));
    layout->addWidget(m_folder);
    layout->addWidget(m_server);

    auto* form = new QFormLayout;
    m_conninfo = named(new QLineEdit(this), QStringLiteral("Connessione"));
    m_conninfo->setPlaceholderText(
        QStringLiteral("host=server dbname=presenze sslmode=verify-full"));
    m_conninfo->setToolTip(QStringLiteral("Stringa di connessione o URI di PostgreSQL, senza "
                                          "password (file delle password o PGPASSWORD)"));
    m_conninfo->setMinimumWidth(m_conninfo->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 30);
    form->addRow(QStringLiteral("&Connessione:"), m_conninfo);
    auto* groupRow = new QHBoxLayout;
    m_group = named(new QComboBox(this), QStringLiteral("Gruppo"));
    m_group->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_refresh =
        named(new QPushButton(QStringLiteral("A&ggiorna"), this), QStringLiteral("Aggiorna"));
    m_refresh->setToolTip(QStringLiteral("Rilegge i gruppi del server"));
    m_refresh->setAutoDefault(false);
    groupRow->addWidget(m_group, 1);
    groupRow->addWidget(m_refresh);
    // A label of its own: a row whose field is a layout gets no buddy.
    auto* groupLabel = new QLabel(QStringLiteral("&Gruppo:"), this);
    groupLabel->setBuddy(m_group);
    form->addRow(groupLabel, groupRow);
    layout->addLayout(form);

    m_status = named(new QLabel(this), QStringLiteral("Stato"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    layout->addWidget(buttons);

    connect(m_folder, &QRadioButton::toggled, this, &OrigineDati::showChoice);
    connect(m_refresh, &QPushButton::clicked, this, &OrigineDati::refreshGroups);
    connect(buttons, &QDialogButtonBox::accepted, this, &OrigineDati::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OrigineDati::reject);
}

void OrigineDati::showChoice()
{
    const bool server = m_server->isChecked();
    m_conninfo->setEnabled(server);
    m_group->setEnabled(server);
    m_refresh->setEnabled(server);
}

DataOrigin OrigineDati::origin() const
{
    if (!m_server->isChecked())
        return {};
    return DataOrigin::server(m_conninfo->text().trimmed().toStdString(),
                              toCp1252(m_group->currentText()));
}

void OrigineDati::refreshGroups()
{
    const std::string conninfo = m_conninfo->text().trimmed().toStdString();
    if (auto problem = checkStoreAddress(conninfo, "nella connessione")) {
        m_status->setText(fromCp1252(*problem));
        return;
    }
    if (!m_group->currentText().isEmpty())
        m_wantedGroup = toCp1252(m_group->currentText());
    const StoreAddress address = storeAddress(conninfo);
    m_status->setText(
        QStringLiteral("Lettura dei gruppi dal server %1...").arg(fromCp1252(address.server)));
    m_refresh->setEnabled(false);
    const int generation = ++m_generation;
    m_task = runOffThread(
        this, [address] { return storedGroups(address); },
        [this, generation](OffThreadOutcome<std::vector<std::string>> outcome) {
            if (generation != m_generation)
                return;
            m_task = nullptr;
            groupsArrived(outcome.value.value_or(std::vector<std::string>()), outcome.error);
        });
}

void OrigineDati::groupsArrived(const std::vector<std::string>& groups, const std::string& error)
{
    m_refresh->setEnabled(m_server->isChecked());
    if (!error.empty()) {
        m_status->setText(fromCp1252(error));
    } else {
        m_group->clear();
        for (const std::string& group : groups)
            m_group->addItem(fromCp1252(group));
        const int wanted = m_group->findText(fromCp1252(m_wantedGroup));
        m_group->setCurrentIndex(wanted >= 0 ? wanted : 0);
        m_status->setText(groups.empty()
                              ? QStringLiteral("Il server non ha gruppi: sincronizzarli con "
                                               "presenze-cli sync.")
                              : QStringLiteral("Gruppi sul server: %1.").arg(groups.size()));
    }
    emit groupsRead();
}

void OrigineDati::accept()
{
    const DataOrigin chosen = origin();
    if (const auto refused = chosen.problem()) {
        m_prompts.warn(kTitle, *refused);
        const bool atConnection =
            chosen.conninfo().empty() || checkStoreAddress(chosen.conninfo(), "nella connessione");
        (atConnection ? static_cast<QWidget*>(m_conninfo) : m_group)->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace presenze
