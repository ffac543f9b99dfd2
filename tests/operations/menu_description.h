#pragma once
// A menu as text, one line per item, so that tests compare whole menus at once.

#include <QMenu>
#include <QStringList>

namespace DbscoutTest {

// "-" for a separator, a popup as its title with its items in brackets, the default item
// marked with "(default)".
inline QStringList DescribeMenu(const QMenu& menu)
{
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            lines << QStringLiteral("-");
        else if (const QMenu* popup = action->menu())
            lines << popup->title() + "[" + DescribeMenu(*popup).join("|") + "]";
        else
            lines << action->text() + (menu.defaultAction() == action ? " (default)" : "");
    }
    return lines;
}

} // namespace DbscoutTest
