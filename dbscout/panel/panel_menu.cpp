// The panel's context menu: the operations fill it afresh for each opening, and Stop follows the
// running requests while it is open.

#include "panel/scout_panel.h"

#include <QMenu>
#include <QPointer>
#include <QTimer>

using namespace Dbscout;

namespace {
constexpr int kMenuTimerPeriodMs = 100;
}

void CScoutPanel::OnPopMenu(int x, int y)
{
    if (!m_windowCreated || m_menu)
        return;
    QPointer<QMenu> menu = new QMenu(this);
    m_operations.BuildContextMenu(*menu);
    m_menu = menu;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [this] { updateStopItem(); });
    timer.start(kMenuTimerPeriodMs);
    m_nMenuTimer = timer.timerId();

    QPointer<CScoutPanel> self(this);
    QAction* chosen = menu->exec(QPoint(x, y));
    if (!self)
        return; // the host took the panel down while the menu was open
    timer.stop();
    m_nMenuTimer = 0;
    m_menu = nullptr;
    const int command = menu ? PanelOperations::commandOf(chosen) : 0;
    delete menu;
    if (command)
        OnCommand(command);
}

void CScoutPanel::updateStopItem()
{
    if (!m_menu)
        return;
    if (QAction* stop = PanelOperations::stopItem(*m_menu))
        stop->setEnabled(m_pListJob || m_pSubsetJob);
}
