#include "panel/result_item.h"

#include <QTreeWidget>

namespace Dbscout {

int CompareRows(const ResultRow* row1, const ResultRow* row2, int column, bool ascending)
{
    if (!row1 || !row2)
        return 0;
    if (!ascending)
        std::swap(row1, row2);
    if (column == 0)
        return row1->name.compare(row2->name);
    const size_t cell = size_t(column - 1);
    if (cell >= row1->cells.size() || cell >= row2->cells.size())
        return 0;
    return row1->cells[cell].compare(row2->cells[cell]);
}

bool ResultItem::operator<(const QTreeWidgetItem& other) const
{
    // The view reverses the arguments itself for a descending sort.
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return CompareRows(&m_row, rowData(&other), column, true) < 0;
}

QVariant ResultItem::data(int column, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (column == 0)
            return QString::fromLocal8Bit(m_row.name);
        if (column > 0 && size_t(column - 1) < m_row.cells.size())
            return QString::fromLocal8Bit(m_row.cells[size_t(column - 1)]);
        return QVariant();
    }
    if (role == Qt::DecorationRole && column == 0)
        return m_icon;
    return QTreeWidgetItem::data(column, role);
}

const ResultRow* rowData(const QTreeWidgetItem* item)
{
    const auto* resultItem = dynamic_cast<const ResultItem*>(item);
    return resultItem ? &resultItem->row() : nullptr;
}

} // namespace Dbscout
