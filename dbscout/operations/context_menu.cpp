#include "operations/context_menu.h"

#include "resources/texts.h"

#include <QMenu>

#include <algorithm>

namespace Dbscout {

namespace {

QAction* MakeItem(QMenu& owner, int command, const char* text)
{
    auto* action = new QAction(QString::fromLocal8Bit(text), &owner);
    action->setData(command);
    action->setObjectName(QString::number(command));
    return action;
}

// Insertions go above everything inserted before, as the menu is built from the bottom up.
void InsertAtTop(QMenu& menu, QAction* action)
{
    menu.insertAction(menu.actions().value(0), action);
}

void InsertItemAtTop(QMenu& menu, int command, const char* text)
{
    InsertAtTop(menu, MakeItem(menu, command, text));
}

void InsertSeparatorAtTop(QMenu& menu)
{
    menu.insertSeparator(menu.actions().value(0));
}

void AddFixedItems(QMenu& menu)
{
    for (const Texts::MenuItem& item : Texts::ContextMenuItems) {
        if (item.command == 0)
            menu.addSeparator();
        else
            menu.addAction(MakeItem(menu, item.command, item.text));
    }
}

void AddSubsetPopup(QMenu& menu, const ContextMenuState& state)
{
    InsertSeparatorAtTop(menu);
    auto* subset = new QMenu(QString::fromLocal8Bit(Texts::MenuSubset), &menu);
    InsertAtTop(menu, subset->menuAction());
    InsertItemAtTop(*subset, ID_CREATE_EMPTY_SUBSET, Texts::MenuCreateEmptySubset);
    if (state.selectedCount > 0)
        InsertItemAtTop(*subset, ID_CREATE_SUBSET_FROM_SELECTION,
                        Texts::MenuCreateSubsetFromSelection);
}

void AddAccessGroup(QMenu& menu, const ContextMenuState& state)
{
    const bool objects = state.allAccessCandidates && state.selectedCount > 0;
    if (!objects && !state.subsetHasMode)
        return;
    InsertSeparatorAtTop(menu);
    if (objects)
        InsertItemAtTop(menu, ID_OBJECT_ACCESS, Texts::MenuObjectAccess);
    if (state.subsetHasMode)
        InsertItemAtTop(menu, ID_SUBSET_ACCESS, Texts::MenuSubsetAccess);
}

void AddCheckGroup(QMenu& menu, const ContextMenuState& state)
{
    if (state.selectedCount <= 0)
        return;
    if (state.allCheckedOutByUser) {
        if (state.serverVersion >= 3)
            InsertItemAtTop(menu, ID_UNDO_CHECK_OUT, Texts::MenuUndoCheckOut);
        InsertSeparatorAtTop(menu);
        InsertItemAtTop(menu, ID_CHECK_IN, Texts::MenuCheckIn);
    } else if (state.allFree) {
        InsertSeparatorAtTop(menu);
        InsertItemAtTop(menu, ID_CHECK_OUT, Texts::MenuCheckOut);
    } else {
        return;
    }
    menu.setDefaultAction(menu.actions().value(0));
}

} // namespace

ContextMenuState MakeContextMenuState(const SelectionClasses& classes, int selectedCount,
                                      int serverVersion, bool rowsListed,
                                      const SubsetEntry* currentSubset)
{
    const size_t count = size_t(std::max(selectedCount, 0));
    ContextMenuState state;
    state.serverVersion = serverVersion;
    state.selectedCount = selectedCount;
    state.rowsListed = rowsListed;
    state.allCheckedOutByUser = CoversSelection(classes.checkedOutByUser, count);
    state.allFree = CoversSelection(classes.freeRows, count);
    state.allAccessCandidates = CoversSelection(classes.accessCandidates, count);
    state.subsetHasMode = currentSubset && !currentSubset->mode.empty();
    return state;
}

void BuildContextMenu(QMenu& menu, const ContextMenuState& state)
{
    AddFixedItems(menu);
    if (state.serverVersion < 2)
        return;
    menu.addSeparator();
    menu.addAction(MakeItem(menu, ID_OPTIONS, Texts::MenuOptions));
    AddSubsetPopup(menu, state);
    if (!state.rowsListed)
        return;
    AddAccessGroup(menu, state);
    AddCheckGroup(menu, state);
}

int MenuCommand(const QAction* action)
{
    return action && !action->isSeparator() && !action->menu() ? action->data().toInt() : 0;
}

QAction* FindMenuItem(const QMenu& menu, int command)
{
    for (QAction* action : menu.actions()) {
        if (MenuCommand(action) == command)
            return action;
        if (QMenu* popup = action->menu()) {
            if (QAction* found = FindMenuItem(*popup, command))
                return found;
        }
    }
    return nullptr;
}

} // namespace Dbscout
