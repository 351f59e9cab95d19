#pragma once
// The occupancy chart of one report month as a widget (in a scroll area
// when it is large).

#include "render/OccupancyChart.h"

#include <QWidget>

namespace presenze {

class OccupancyView final : public QWidget {
    Q_OBJECT
public:
    OccupancyView(const ReportFigures& figures, const MonthFigures& month,
                  QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    OccupancyChart m_chart;
};

} // namespace presenze
