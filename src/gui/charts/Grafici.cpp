#include "gui/charts/Grafici.h"

#include "gui/charts/OccupancyView.h"
#include "gui/charts/TopChart.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

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

    // Below the size its names and bars need the chart scrolls rather than
    // squeezes them.
    auto* topArea = new QScrollArea(m_tabs);
    topArea->setWidgetResizable(true);
    topArea->setFrameShape(QFrame::NoFrame);
    auto* top = new QChartView(makeTopChart(*m_figures).release(), topArea);
    top->setObjectName(QStringLiteral("Ditte"));
    top->setRenderHint(QPainter::Antialiasing);
    top->setMinimumSize(560, 400);
    topArea->setWidget(top);
    m_tabs->addTab(topArea,
                   m_figures->summary() ? QStringLiteral("&Hotel") : QStringLiteral("&Ditte"));

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
    fitScreen();
}

Grafici::~Grafici() = default;

// As large as the occupancy chart of the month shown wants, within the
// screen; what does not fit scrolls.
void Grafici::fitScreen()
{
    const QSize chart = m_occupancy->widget() ? m_occupancy->widget()->size() : QSize(760, 420);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_occupancy);
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_tabs);
    const QMargins outer = layout()->contentsMargins();
    const QMargins inner = m_tabs->widget(0)->layout()->contentsMargins();
    const int width = chart.width() + 2 * m_occupancy->frameWidth() + scrollBar + frame +
                      outer.left() + outer.right() + inner.left() + inner.right();
    const int height = chart.height() + 2 * m_occupancy->frameWidth() + scrollBar + frame +
                       m_tabs->tabBar()->sizeHint().height() + m_months->sizeHint().height() +
                       findChild<QDialogButtonBox*>()->sizeHint().height() +
                       2 * layout()->spacing() + outer.top() + outer.bottom() + inner.top() +
                       inner.bottom();
    QSize wanted(std::max(width, 760), std::max(height, 520));
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        // The window manager's frame and title bar take their share.
        const QRect area = screen->availableGeometry();
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        wanted = wanted.boundedTo(QSize(area.width() - 8, area.height() - titleBar - 8));
    }
    resize(wanted.expandedTo(minimumSizeHint()));
}

void Grafici::showMonth(int index)
{
    const auto& months = m_figures->months();
    if (index < 0 || index >= static_cast<int>(months.size()))
        return;
    m_occupancy->setWidget(
        new OccupancyView(*m_figures, months[static_cast<std::size_t>(index)], m_occupancy));
}

} // namespace presenze
