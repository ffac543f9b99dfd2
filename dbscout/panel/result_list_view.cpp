#include "panel/result_list_view.h"

#include <QItemSelectionModel>

namespace Dbscout {

ResultListView::ResultListView(QWidget* parent) : QTreeWidget(parent) {}

void ResultListView::keyPressEvent(QKeyEvent* event)
{
    // Compared as ranges of persistent indexes: the key may move a selection of many rows.
    const QItemSelection before = selectionModel()->selection();
    QTreeWidget::keyPressEvent(event);
    if (m_moved && selectionModel()->selection() != before)
        m_moved();
}

} // namespace Dbscout
