#pragma once
// The indicators' chart (render/IndicatorChart.h) as a widget, for a
// scroll area: occupancy above ADR, a panel per hotel, in as many columns
// as the width given lets it have (one at least); empty until it is given
// figures, faint while disabled.

#include "indicators/Indicators.h"
#include "render/IndicatorChart.h"

#include <QWidget>
#include <memory>
#include <optional>

namespace presenze {

class IndicatorChartView final : public QWidget {
    Q_OBJECT
public:
    explicit IndicatorChartView(QWidget* parent = nullptr);
    ~IndicatorChartView() override;

    // Shows these figures (kept while shown); null shows nothing.
    void setIndicators(std::shared_ptr<const Indicators> indicators);
    // The width the chart should fit in (the scroll area's).
    void fitWidth(int width);
    const IndicatorChart* chart() const { return m_chart ? &*m_chart : nullptr; }
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut();

    std::shared_ptr<const Indicators> m_indicators;
    int m_width = 0; // 0: no limit
    std::optional<IndicatorChart> m_chart;
};

} // namespace presenze
