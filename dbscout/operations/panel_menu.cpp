// The panel's context menu: built afresh for each opening from the selection and the server's
// version, with Stop following the running requests while it is open.

#include "panel/scout_panel.h"

#include "operations/context_menu.h"
#include "panel/result_item.h"
#include "resources/ids.h"

#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

using namespace Dbscout;

namespace {
constexpr int kMenuTimerPeriodMs = 100;
}

void CScoutPanel::OnPopMenu(int x, int y)
{
    if (!m_bWindowCreated || m_menu)
        return;
    QPointer<QMenu> menu = new QMenu(this);
    BuildContextMenu(*menu);
    m_menu = menu;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [this] { UpdateStopItem(); });
    timer.start(kMenuTimerPeriodMs);
    m_nMenuTimer = timer.timerId();

    QPointer<CScoutPanel> self(this);
    QAction* chosen = menu->exec(QPoint(x, y));
    if (!self)
        return; // the host took the panel down while the menu was open
    timer.stop();
    m_nMenuTimer = 0;
    m_menu = nullptr;
    const int command = menu ? MenuCommand(chosen) : 0;
    delete menu;
    if (command)
        OnCommand(command);
}

void CScoutPanel::BuildContextMenu(QMenu& menu)
{
    const std::vector<const ResultRow*> selection = SelectedRows();
    const std::optional<SubsetEntry> subset = CurrentSubsetEntry();
    const ContextMenuState state = MakeContextMenuState(
        Dbscout::ClassifySelection(selection, CurrentUserName(), m_nServerVersion),
        int(selection.size()), m_nServerVersion, ListShowsRows(), subset ? &*subset : nullptr);
    Dbscout::BuildContextMenu(menu, state);
}

void CScoutPanel::UpdateStopItem()
{
    if (!m_menu)
        return;
    if (QAction* stop = FindMenuItem(*m_menu, ID_STOP))
        stop->setEnabled(m_pListJob || m_pSubsetJob);
}
