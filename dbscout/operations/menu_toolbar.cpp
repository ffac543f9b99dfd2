#include "operations/menu_toolbar.h"

#include "platform/registered_messages.h"
#include "resources/ids.h"

#include <QMenu>
#include <QMouseEvent>
#include <QStyleOptionToolButton>

namespace Dbscout {

CMenuToolBar::CMenuToolBar(QWidget* parent, QObject* target, std::function<void(int)> onCommand)
    : QToolButton(parent), m_target(target), m_onCommand(std::move(onCommand))
{
    setAutoRaise(true);
    // The style draws the split arrow only for a button that has a menu; the menu itself is
    // never shown, the panel builds its own when asked.
    setMenu(new QMenu(this));
    setPopupMode(QToolButton::MenuButtonPopup);
    connect(this, &QToolButton::clicked, this, [this] {
        if (m_command && m_onCommand)
            m_onCommand(m_command);
    });
}

void CMenuToolBar::setButton(int command, const QIcon& icon)
{
    m_command = command;
    setIcon(icon);
}

QPoint CMenuToolBar::dropDownPoint() const
{
    return mapToGlobal(QPoint(0, height()));
}

void CMenuToolBar::mousePressEvent(QMouseEvent* event)
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
    if (event->button() == Qt::LeftButton && arrow.contains(event->position().toPoint())) {
        if (m_command == ID_GOTO)
            SendMessageA(m_target, UM_DBSCOUT_POP_MENU, 0, packScreenPoint(dropDownPoint()));
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
}

long packScreenPoint(const QPoint& point)
{
    return long((uint32_t(uint16_t(point.y())) << 16) | uint16_t(point.x()));
}

QPoint unpackScreenPoint(long lParam)
{
    return QPoint(int16_t(lParam & 0xFFFF), int16_t((lParam >> 16) & 0xFFFF));
}

} // namespace Dbscout
