#pragma once
// The panel's object operations: check in, check out and undo, new subsets, access rights, and
// the context menu that offers them. The panel owns one and hands it itself as PanelAccess; each
// operation sends one request on the listing URL, whose answer refills the list. GUI thread only.

#include "operations/panel_access.h"

class QAction;
class QMenu;

namespace Dbscout {

enum class CheckOperation;

class PanelOperations final
{
public:
    explicit PanelOperations(PanelAccess& panel) : m_panel(panel) {}

    // Runs an operation command (check in/out, undo, subsets, access rights); false for any
    // other id.
    bool runCommand(int command);

    // Fills an empty menu with the items the selection and the server allow.
    void BuildContextMenu(QMenu& menu) const;
    // The Stop item of a menu made by BuildContextMenu, or null.
    static QAction* stopItem(const QMenu& menu);
    // The command of a chosen item; 0 for none.
    static int commandOf(const QAction* chosen);

private:
    // True when a request was started.
    bool CheckInOut(CheckOperation operation, bool bAskComment);
    void CreateSubset(bool bUseSelection);
    void SetObjectAccess();
    void SetSubsetAccess();

    PanelAccess& m_panel;
};

} // namespace Dbscout
