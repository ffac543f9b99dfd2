#pragma once
// The panel's context menu, made afresh each time it opens: the fixed items of menu 6903 and,
// above and below them, the items that the selection and the server allow.

#include "document/result_page.h"
#include "operations/selection_classes.h"

class QAction;
class QMenu;

namespace Dbscout {

// What decides the run-time items.
struct ContextMenuState
{
    int serverVersion = 1;
    int selectedCount = 0;
    bool rowsListed = false;          // the list has rows and its first one carries row data
    bool allCheckedOutByUser = false; // the selection is wholly checked out by this user
    bool allFree = false;             // the selection is wholly free
    bool allAccessCandidates = false; // every selected object may have its access changed
    bool subsetHasMode = false;       // the current subset entry carries a mode
};

// The state for a selection of selectedCount items sorted into classes; currentSubset is the
// entry attached to the selected Subset/Query box entry, or null.
ContextMenuState makeContextMenuState(const SelectionClasses& classes, int selectedCount,
                                      int serverVersion, bool rowsListed,
                                      const SubsetEntry* currentSubset);

// Fills the empty menu with the fixed items and those that state allows, and sets the default
// item. Every item's action carries its command id as data and as objectName.
void BuildContextMenu(QMenu& menu, const ContextMenuState& state);

// The command of an item made by BuildContextMenu; 0 for separators and popups.
int menuCommand(const QAction* action);

// The item of command in menu or its popups, or null.
QAction* findMenuItem(const QMenu& menu, int command);

} // namespace Dbscout
