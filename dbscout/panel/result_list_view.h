#pragma once
// The result list itself. Moving the selection with the keyboard (arrows, Shift with them, Page
// Up and Down, Home, End, Space) must show in the object-name box as a click does, or Enter
// would open a row the user no longer sees highlighted. Only the list knows when a key it
// handled moved the selection; the panel's own keys never reach it.

#include <QTreeWidget>

#include <functional>

namespace Dbscout {

class ResultListView final : public QTreeWidget
{
public:
    explicit ResultListView(QWidget* parent);

    // Called after a key the list handled changed which rows are selected.
    void setSelectionMovedByKey(std::function<void()> moved) { m_moved = std::move(moved); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_moved;
};

} // namespace Dbscout
