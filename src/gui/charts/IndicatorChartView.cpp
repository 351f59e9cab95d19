#include "gui/charts/IndicatorChartView.h"

#include <QEvent>
#include <QPainter>

namespace presenze {

IndicatorChartView::IndicatorChartView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("IndicatorChartView"));
    setFixedSize(0, 0);
}

IndicatorChartView::~IndicatorChartView() = default;

void IndicatorChartView::setIndicators(std::shared_ptr<const Indicators> indicators)
{
    m_chart.reset();
    m_indicators = std::move(indicators);
    if (m_indicators)
        m_chart.emplace(*m_indicators, font());
    layOut();
}

void IndicatorChartView::fitWidth(int width)
{
    if (width == m_width)
        return;
    m_width = width;
    layOut();
}

void IndicatorChartView::layOut()
{
    if (m_chart) {
        m_chart->setColumns(0);
        while (m_width > 0 && m_chart->size().width() > m_width && m_chart->columns() > 1)
            m_chart->setColumns(m_chart->columns() - 1);
    }
    setFixedSize(sizeHint());
    update();
}

QSize IndicatorChartView::sizeHint() const
{
    return m_chart ? m_chart->size() : QSize(0, 0);
}

void IndicatorChartView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}

void IndicatorChartView::paintEvent(QPaintEvent*)
{
    if (!m_chart)
        return;
    QPainter painter(this);
    // Figures about to be replaced are shown faint.
    if (!isEnabled())
        painter.setOpacity(0.4);
    m_chart->paint(painter);
}

} // namespace presenze
