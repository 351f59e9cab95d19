#pragma once
// The rows of the indicators' table (output/IndicatorRows.h) as a model for
// a table view, so that a view of thousands of rows asks only for those it
// shows: the heading as the columns' names, the first two columns to the
// left and the figures to the right, totals in bold, last year's rows in
// grey; a blank row holds nothing.

#include "output/IndicatorRows.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QStringList>
#include <vector>

class QTableView;

namespace presenze {

class IndicatorTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit IndicatorTableModel(QObject* parent = nullptr);

    // The rows, the heading first; none empties the table.
    void setRows(std::vector<IndicatorRow> rows);
    bool isBlank(int row) const;
    // The view's columns as wide as their widest text, blank rows narrow.
    void fitView(QTableView& view) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    static bool isLastYear(const IndicatorRow& row);

    QStringList m_heading;
    std::vector<IndicatorRow> m_rows; // after the heading
};

} // namespace presenze
