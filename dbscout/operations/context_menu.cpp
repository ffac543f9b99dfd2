#include "operations/context_menu.h"

#include "resources/texts.h"

#include <QMenu>

#include <algorithm>

namespace Dbscout {

namespace {

QAction* makeItem(QMenu& owner, int command, const char* text)
{
    auto* action = new QAction(QString::fromLocal8Bit(text), &owner);
    action->setData(command);
    action->setObjectName(QString::number(command));
    return action;
}

// Insertions go above everything inserted before, as the menu is built from the bottom up.
void insertAtTop(QMenu& menu, QAction* action)
{
    menu.insertAction(menu.actions().value(0), action);
}

void insertItemAtTop(QMenu& menu, int command, const char* text)
{
    insertAtTop(menu, makeItem(menu, command, text));
}

void insertSeparatorAtTop(QMenu& menu)
{
    menu.insertSeparator(menu.actions().value(0));
}

void addFixedItems(QMenu& menu)
{
    for (const Texts::MenuItem& item : Texts::ContextMenuItems) {
        if (item.command == 0)
            menu.addSeparator();
        else
            menu.addAction(makeItem(menu, item.command, item.text));
    }
}

void addSubsetPopup(QMenu& menu, const ContextMenuState& state)
{
    insertSeparatorAtTop(menu);
    auto* subset = new QMenu(QString::fromLocal8Bit(Texts::MenuSubset), &menu);
    insertAtTop(menu, subset->menuAction());
    insertItemAtTop(*subset, ID_CREATE_EMPTY_SUBSET, Texts::MenuCreateEmptySubset);
    if (state.selectedCount > 0)
        insertItemAtTop(*subset, ID_CREATE_SUBSET_FROM_SELECTION,
                        Texts::MenuCreateSubsetFromSelection);
}

void addAccessGroup(QMenu& menu, const ContextMenuState& state)
{
    const bool objects = state.allAccessCandidates && state.selectedCount > 0;
    if (!objects && !state.subsetHasMode)
        return;
    insertSeparatorAtTop(menu);
    if (objects)
        insertItemAtTop(menu, ID_OBJECT_ACCESS, Texts::MenuObjectAccess);
    if (state.subsetHasMode)
        insertItemAtTop(menu, ID_SUBSET_ACCESS, Texts::MenuSubsetAccess);
}

void addCheckGroup(QMenu& menu, const ContextMenuState& state)
{
    if (state.selectedCount <= 0)
        return;
    if (state.allCheckedOutByUser) {
        if (state.serverVersion >= 3)
            insertItemAtTop(menu, ID_UNDO_CHECK_OUT, Texts::MenuUndoCheckOut);
        insertSeparatorAtTop(menu);
        insertItemAtTop(menu, ID_CHECK_IN, Texts::MenuCheckIn);
    } else if (state.allFree) {
        insertSeparatorAtTop(menu);
        insertItemAtTop(menu, ID_CHECK_OUT, Texts::MenuCheckOut);
    } else {
        return;
    }
    menu.setDefaultAction(menu.actions().value(0));
}

} // namespace

ContextMenuState makeContextMenuState(const SelectionClasses& classes, int selectedCount,
                                      int serverVersion, bool rowsListed,
                                      const SubsetEntry* currentSubset)
{
    const size_t count = size_t(std::max(selectedCount, 0));
    ContextMenuState state;
    state.serverVersion = serverVersion;
    state.selectedCount = selectedCount;
    state.rowsListed = rowsListed;
    state.allCheckedOutByUser = coversSelection(classes.checkedOutByUser, count);
    state.allFree = coversSelection(classes.freeRows, count);
    state.allAccessCandidates = coversSelection(classes.accessCandidates, count);
    state.subsetHasMode = currentSubset && !currentSubset->mode.empty();
    return state;
}

void BuildContextMenu(QMenu& menu, const ContextMenuState& state)
{
    addFixedItems(menu);
    if (state.serverVersion < 2)
        return;
    menu.addSeparator();
    menu.addAction(makeItem(menu, ID_OPTIONS, Texts::MenuOptions));
    addSubsetPopup(menu, state);
    if (!state.rowsListed)
        return;
    addAccessGroup(menu, state);
    addCheckGroup(menu, state);
}

int menuCommand(const QAction* action)
{
    return action && !action->isSeparator() && !action->menu() ? action->data().toInt() : 0;
}

QAction* findMenuItem(const QMenu& menu, int command)
{
    for (QAction* action : menu.actions()) {
        if (menuCommand(action) == command)
            return action;
        if (QMenu* popup = action->menu()) {
            if (QAction* found = findMenuItem(*popup, command))
                return found;
        }
    }
    return nullptr;
}

} // namespace Dbscout
