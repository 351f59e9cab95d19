#pragma once
// A list to pick one row from: a heading (how many rows there are), the rows
// in columns, and "Scegli" / "Annulla". Enter or a double-click picks the
// current row; the arrow keys and typing only move through the list.

#include <QDialog>
#include <QStringList>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace presenze {

class ChoiceDialog final : public QDialog {
    Q_OBJECT
public:
    ChoiceDialog(const QString& title, const QString& heading, const QStringList& columns,
                 const std::vector<QStringList>& rows, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    QLabel* heading() const { return m_heading; }
    // The row picked, once the dialog has been accepted.
    std::optional<int> chosen() const;

private:
    QLabel* m_heading = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_choose = nullptr;
};

} // namespace presenze
