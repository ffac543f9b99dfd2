// Sorting the result list by a column, and the column layout remembered per data source.

#include "panel/scout_panel.h"

#include "panel/result_item.h"
#include "resources/images.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

using namespace Dbscout;

bool CScoutPanel::listShowsRows() const
{
    return m_list && m_list->topLevelItemCount() > 0 && rowData(m_list->topLevelItem(0));
}

void CScoutPanel::onColumnClick(int nColumn)
{
    if (listShowsRows())
        SortBy(nColumn);
}

void CScoutPanel::SortBy(int nColumn)
{
    QTreeWidgetItem* header = m_list->headerItem();
    if (m_nSortColumn >= 0 && m_nSortColumn < m_list->columnCount())
        header->setIcon(m_nSortColumn, QIcon());
    if (nColumn != m_nSortColumn) {
        m_nSortColumn = nColumn;
        m_bSortAscending = 1;
    } else {
        m_bSortAscending = !m_bSortAscending;
    }
    const int column = m_nSortColumn & 0xFF;
    if (m_nSortColumn < m_list->columnCount()) {
        header->setIcon(m_nSortColumn, m_ilHeader.value(m_bSortAscending ? SortAscendingImage
                                                                         : SortDescendingImage));
        m_list->sortItems(column, m_bSortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
        return;
    }
    // A stored sort column the page shows no header for: its rows still carry those cells, and
    // are sorted by them (the list sorts by its visible columns only).
    QList<QTreeWidgetItem*> rows = m_list->invisibleRootItem()->takeChildren();
    std::stable_sort(rows.begin(), rows.end(),
                     [column, ascending = m_bSortAscending != 0](const QTreeWidgetItem* a,
                                                                 const QTreeWidgetItem* b) {
                         return CompareRows(rowData(a), rowData(b), column, ascending) < 0;
                     });
    m_list->addTopLevelItems(rows);
}

void CScoutPanel::CaptureTableLayout()
{
    if (!listShowsRows())
        return;
    CTableSettings& layout = m_tableSettings[m_strSourceURL];
    const int columns = m_pHeader->count();
    layout.clear();
    layout.Order.clear();
    for (int i = 0; i < columns; ++i) {
        layout.push_back(uint32_t(m_list->columnWidth(i)));
        layout.Order.push_back(uint32_t(m_pHeader->logicalIndex(i)));
    }
    layout.SortColumn = m_nSortColumn;
    // Unsorted, the direction means nothing, and it would come back inverted from every listing:
    // the stored one is kept, so that an unchanged layout costs no settings write at each Go.
    if (m_nSortColumn >= 0)
        layout.SortDirection = uint32_t(m_bSortAscending);
}

void CScoutPanel::ApplyTableLayout()
{
    const CTableSettings& layout = m_tableSettings[m_strSourceURL];
    const int columns = m_list->columnCount();
    for (int i = 0; i < int(layout.size()) && i < columns; ++i)
        m_list->setColumnWidth(i, int(layout[size_t(i)]));
    m_nSortColumn = layout.SortColumn;
    m_bSortAscending = layout.SortDirection ? 0 : 1;
    // An order array is taken only whole, for as many columns as the list has.
    if (int(layout.Order.size()) == columns) {
        for (int position = 0; position < columns; ++position) {
            const int column = int(layout.Order[size_t(position)]);
            if (column >= 0 && column < columns)
                m_pHeader->moveSection(m_pHeader->visualIndex(column), position);
        }
    }
    m_list->viewport()->update();
    if (m_nSortColumn >= 0)
        SortBy(m_nSortColumn); // the same column again: the stored direction ends up in force
}
