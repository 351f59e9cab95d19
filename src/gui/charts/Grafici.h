#pragma once
// The "Grafici" window of the print menu: the figures of the request that
// wrote the report file, as charts. "Occupazione": occupancy per hotel and
// day of the month chosen (the last one at first); "Ditte" (or "Hotel" in
// summary mode): the companies with the most presences of the request.
//
//   Grafici charts(figures, parent);
//   charts.exec();

#include "common/ReportFigures.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QScrollArea;
class QTabWidget;

namespace presenze {

class Grafici final : public QDialog {
    Q_OBJECT
public:
    explicit Grafici(std::shared_ptr<const ReportFigures> figures, QWidget* parent = nullptr);
    ~Grafici() override;

    QTabWidget* tabs() const { return m_tabs; }
    QComboBox* months() const { return m_months; }

private:
    void showMonth(int index);
    void fitScreen();

    std::shared_ptr<const ReportFigures> m_figures;
    QTabWidget* m_tabs = nullptr;
    QComboBox* m_months = nullptr;
    QScrollArea* m_occupancy = nullptr;
};

} // namespace presenze
