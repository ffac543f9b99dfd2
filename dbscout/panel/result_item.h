#pragma once
// A row of the result list that carries its own copy of the page's row. The placeholder and
// "Downloading..." rows are plain items without one.

#include "document/result_page.h"

#include <QTreeWidgetItem>

#include <memory>

namespace Dbscout {

// The list's row data: compares rows by name (column 0) or by cell k-1 (column k), bytewise and
// case-sensitive, so numbers sort as text; rows without the cell compare equal.
int CompareRows(const ResultRow* row1, const ResultRow* row2, int column, bool ascending);

class ResultItem final : public QTreeWidgetItem
{
public:
    explicit ResultItem(ResultRow row) : m_row(std::make_unique<ResultRow>(std::move(row))) {}

    const ResultRow& row() const { return *m_row; }

    bool operator<(const QTreeWidgetItem& other) const override;

private:
    std::unique_ptr<ResultRow> m_row;
};

// The row data of an item, or null for the placeholder and "Downloading..." rows.
const ResultRow* rowData(const QTreeWidgetItem* item);

} // namespace Dbscout

// Subset entries ride on the Subset/Query box as item data.
Q_DECLARE_METATYPE(Dbscout::SubsetEntry)
