#include "gui/charts/OccupancyView.h"

#include <QPainter>

namespace presenze {

OccupancyView::OccupancyView(const ReportFigures& figures, const MonthFigures& month,
                             QWidget* parent)
    : QWidget(parent), m_chart(figures, month, font())
{
    setObjectName(QStringLiteral("OccupancyView"));
    setFixedSize(m_chart.size());
}

QSize OccupancyView::sizeHint() const
{
    return m_chart.size();
}

void OccupancyView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_chart.paint(painter);
}

} // namespace presenze
