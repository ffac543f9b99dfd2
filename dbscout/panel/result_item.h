#pragma once
// A row of the result list that carries its own copy of the page's row, and shows its texts
// straight from it: a page's rows cost no copy of their texts into the list. The placeholder and
// "Downloading..." rows are plain items without one.

#include "document/result_page.h"

#include <QIcon>
#include <QTreeWidgetItem>

namespace Dbscout {

// The list's row data: compares rows by name (column 0) or by cell k-1 (column k), bytewise and
// case-sensitive, so numbers sort as text; rows without the cell compare equal.
int CompareRows(const ResultRow* row1, const ResultRow* row2, int column, bool ascending);

class ResultItem final : public QTreeWidgetItem
{
public:
    ResultItem(ResultRow row, QIcon icon) : m_row(std::move(row)), m_icon(std::move(icon)) {}

    // The name (column 0) and the cells as the display text, the icon in column 0.
    QVariant data(int column, int role) const override;

    const ResultRow& row() const { return m_row; }

    bool operator<(const QTreeWidgetItem& other) const override;

private:
    ResultRow m_row;
    QIcon m_icon;
};

// The row data of an item, or null for the placeholder and "Downloading..." rows.
const ResultRow* rowData(const QTreeWidgetItem* item);

} // namespace Dbscout

// Subset entries ride on the Subset/Query box as item data.
Q_DECLARE_METATYPE(Dbscout::SubsetEntry)
