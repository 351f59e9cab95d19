#include "gui/indicators/IndicatorTableModel.h"

#include "render/ChartColours.h"
#include "render/QtText.h"

#include <QBrush>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

namespace presenze {

IndicatorTableModel::IndicatorTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void IndicatorTableModel::setRows(std::vector<IndicatorRow> rows)
{
    beginResetModel();
    m_heading.clear();
    m_rows.clear();
    if (!rows.empty()) {
        for (const std::string& cell : rows.front().cells)
            m_heading << fromCp1252(cell);
        m_rows.assign(std::make_move_iterator(rows.begin() + 1),
                      std::make_move_iterator(rows.end()));
    }
    endResetModel();
}

bool IndicatorTableModel::isBlank(int row) const
{
    return row >= 0 && row < rowCount() &&
           m_rows[static_cast<std::size_t>(row)].kind == IndicatorRow::Kind::Blank;
}

bool IndicatorTableModel::isLastYear(const IndicatorRow& row)
{
    return row.kind == IndicatorRow::Kind::LastYear || row.kind == IndicatorRow::Kind::Change;
}

int IndicatorTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int IndicatorTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_heading.size());
}

QVariant IndicatorTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const IndicatorRow& row = m_rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return column < row.cells.size() ? fromCp1252(row.cells[column]) : QString();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((column < 2 ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    case Qt::FontRole:
        if (row.total && !isLastYear(row)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ForegroundRole:
        if (isLastYear(row))
            return QBrush(chart::kMutedText);
        return {};
    default:
        return {};
    }
}

QVariant IndicatorTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    return m_heading[section];
}

void IndicatorTableModel::fitView(QTableView& view) const
{
    // The longest text of each column (in characters, figures being as wide
    // as each other), in the weight it is shown in.
    const QFontMetrics regular(view.font());
    QFont boldFont = view.font();
    boldFont.setBold(true);
    const QFontMetrics bold(boldFont);
    const QFontMetrics header(view.horizontalHeader()->font());
    // The margins a cell's text keeps on either side.
    const int padding = 2 * view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4;
    for (int c = 0; c < columnCount(); ++c) {
        const std::string* longest[2] = {nullptr, nullptr}; // regular, bold
        for (const IndicatorRow& row : m_rows) {
            const auto at = static_cast<std::size_t>(c);
            if (at >= row.cells.size())
                continue;
            const std::string*& kept = longest[row.total && !isLastYear(row) ? 1 : 0];
            if (!kept || row.cells[at].size() > kept->size())
                kept = &row.cells[at];
        }
        int width = header.horizontalAdvance(m_heading[c]) + padding + 4;
        if (longest[0])
            width = std::max(width, regular.horizontalAdvance(fromCp1252(*longest[0])) + padding);
        if (longest[1])
            width = std::max(width, bold.horizontalAdvance(fromCp1252(*longest[1])) + padding);
        view.setColumnWidth(c, width);
    }
    const int line = regular.height() + 6;
    view.verticalHeader()->setDefaultSectionSize(line);
    for (int r = 0; r < rowCount(); ++r)
        if (isBlank(r))
            view.setRowHeight(r, line / 2);
}

} // namespace presenze
