#include "gui/charts/Grafici.h"

#include "gui/charts/OccupancyView.h"
#include "gui/charts/TopChart.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace presenze {

Grafici::Grafici(std::shared_ptr<const ReportFigures> figures, QWidget* parent)
    : QDialog(parent), m_figures(std::move(figures))
{
    setObjectName(QStringLiteral("Grafici"));
    setWindowTitle(QStringLiteral("Grafici"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    m_tabs = new QTabWidget(this);

    auto* occupancy = new QWidget(m_tabs);
    auto* monthRow = new QHBoxLayout;
    auto* monthLabel = new QLabel(QStringLiteral("&Mese:"), occupancy);
    m_months = new QComboBox(occupancy);
    m_months->setObjectName(QStringLiteral("Mese"));
    monthLabel->setBuddy(m_months);
    for (const MonthFigures& month : m_figures->months())
        m_months->addItem(monthTitle(month.first));
    monthRow->addWidget(monthLabel);
    monthRow->addWidget(m_months);
    monthRow->addStretch(1);
    m_occupancy = new QScrollArea(occupancy);
    m_occupancy->setObjectName(QStringLiteral("Occupazione"));
    m_occupancy->setBackgroundRole(QPalette::Base);
    auto* occupancyLayout = new QVBoxLayout(occupancy);
    occupancyLayout->addLayout(monthRow);
    occupancyLayout->addWidget(m_occupancy, 1);
    m_tabs->addTab(occupancy, QStringLiteral("&Occupazione"));

    auto* top = new QChartView(makeTopChart(*m_figures).release(), m_tabs);
    top->setObjectName(QStringLiteral("Ditte"));
    top->setRenderHint(QPainter::Antialiasing);
    top->setMinimumSize(640, 420);
    m_tabs->addTab(top, m_figures->summary() ? QStringLiteral("&Hotel") : QStringLiteral("&Ditte"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Chiudi"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);

    connect(m_months, &QComboBox::currentIndexChanged, this, &Grafici::showMonth);
    m_months->setCurrentIndex(m_months->count() - 1);
    if (!m_occupancy->widget())
        showMonth(m_months->currentIndex());
    resize(1040, 640);
}

Grafici::~Grafici() = default;

void Grafici::showMonth(int index)
{
    const auto& months = m_figures->months();
    if (index < 0 || index >= static_cast<int>(months.size()))
        return;
    m_occupancy->setWidget(
        new OccupancyView(*m_figures, months[static_cast<std::size_t>(index)], m_occupancy));
}

} // namespace presenze
