#include "gui/dialogs/ChoiceDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace presenze {

ChoiceDialog::ChoiceDialog(const QString& title, const QString& heading, const QStringList& columns,
                           const std::vector<QStringList>& rows, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ChoiceDialog"));
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_heading = new QLabel(heading, this);
    m_heading->setObjectName(QStringLiteral("Heading"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("Choices"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels(columns);
    m_list->setHeaderHidden(columns.size() < 2);
    for (const QStringList& row : rows)
        new QTreeWidgetItem(m_list, row);
    const int padding = m_list->fontMetrics().horizontalAdvance(QStringLiteral("MM"));
    for (int c = 0; c < columns.size(); ++c) {
        m_list->resizeColumnToContents(c);
        m_list->setColumnWidth(c, m_list->columnWidth(c) + padding);
    }
    m_list->header()->setStretchLastSection(true);
    m_heading->setBuddy(m_list);

    auto* buttons = new QDialogButtonBox(this);
    m_choose = buttons->addButton(QStringLiteral("Scegli"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    m_choose->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { m_choose->setEnabled(current != nullptr); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_choose->setEnabled(m_list->currentItem() != nullptr);
    m_list->setFocus();

    // Wide enough for the columns, and for up to about 15 rows.
    int width = 0;
    for (int c = 0; c < m_list->columnCount(); ++c)
        width += m_list->columnWidth(c);
    const int rowHeight = m_list->fontMetrics().height() + 6;
    m_list->setMinimumSize(std::clamp(width + 40, 320, 900),
                           rowHeight * std::clamp(static_cast<int>(rows.size()) + 1, 5, 16));
}

std::optional<int> ChoiceDialog::chosen() const
{
    if (result() != QDialog::Accepted || !m_list->currentItem())
        return std::nullopt;
    return m_list->indexOfTopLevelItem(m_list->currentItem());
}

} // namespace presenze
