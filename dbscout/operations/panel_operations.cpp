// The panel's object operations. Each sends one request on the listing URL through the browse
// cycle, whose answer refills the list. Nothing here keeps a row pointer across a dialog: a
// listing may arrive meanwhile.

#include "operations/panel_operations.h"

#include "operations/access_modes.h"
#include "operations/access_rights_dlg.h"
#include "operations/comment_dlg.h"
#include "operations/context_menu.h"
#include "operations/selection_classes.h"
#include "operations/subset_name_dlg.h"
#include "platform/ascii_case.h"
#include "platform/modal.h"
#include "request/operation_urls.h"
#include "resources/ids.h"
#include "resources/strings.h"
#include "resources/texts.h"

namespace Dbscout {

namespace {

// The longest request a check in or out may grow to with its comment.
constexpr int kMaxCheckRequest = 2009;

// "MAIN" in any letter case, as the server refuses it.
bool isReservedSubsetName(const std::string& name)
{
    return equalsAsciiNoCase(name, "MAIN");
}

const char* captionLabel(CheckOperation operation)
{
    switch (operation) {
    case CheckOperation::CheckIn:
        return Texts::CheckInLabel;
    case CheckOperation::CheckOut:
        return Texts::CheckOutLabel;
    case CheckOperation::UndoCheckOut:
        break;
    }
    return Texts::UndoCheckOutLabel;
}

void showStringError(QWidget* owner, int stringId)
{
    std::string text = LoadString(stringId);
    ShowError(owner, text);
}

} // namespace

bool PanelOperations::runCommand(int command)
{
    switch (command) {
    case ID_CHECK_IN:
        CheckInOut(CheckOperation::CheckIn, true);
        return true;
    case ID_CHECK_OUT:
        CheckInOut(CheckOperation::CheckOut, true);
        return true;
    case ID_UNDO_CHECK_OUT:
        CheckInOut(CheckOperation::UndoCheckOut, false);
        return true;
    case ID_CREATE_EMPTY_SUBSET:
        CreateSubset(false);
        return true;
    case ID_CREATE_SUBSET_FROM_SELECTION:
        CreateSubset(true);
        return true;
    case ID_OBJECT_ACCESS:
        SetObjectAccess();
        return true;
    case ID_SUBSET_ACCESS:
        SetSubsetAccess();
        return true;
    default:
        return false;
    }
}

void PanelOperations::BuildContextMenu(QMenu& menu) const
{
    const std::vector<const ResultRow*> selection = m_panel.selectedRows();
    const std::optional<SubsetEntry> subset = m_panel.currentSubsetEntry();
    const int serverVersion = m_panel.serverVersion();
    const ContextMenuState state = makeContextMenuState(
        ClassifySelection(selection, m_panel.currentUserName(), serverVersion),
        int(selection.size()), serverVersion, m_panel.listShowsRows(), subset ? &*subset : nullptr);
    Dbscout::BuildContextMenu(menu, state);
}

QAction* PanelOperations::stopItem(const QMenu& menu)
{
    return findMenuItem(menu, ID_STOP);
}

int PanelOperations::commandOf(const QAction* chosen)
{
    return menuCommand(chosen);
}

bool PanelOperations::CheckInOut(CheckOperation operation, bool bAskComment)
{
    const std::vector<const ResultRow*> selection = m_panel.selectedRows();
    const int serverVersion = m_panel.serverVersion();
    const SelectionClasses classes =
        ClassifySelection(selection, m_panel.currentUserName(), serverVersion);
    const std::vector<const ResultRow*>& rows = qualifyingRows(classes, operation);
    if (!coversSelection(rows, selection.size()))
        return false; // the whole selection or nothing
    std::vector<std::string> ids;
    for (const ResultRow* row : rows)
        ids.push_back(row->id);
    const std::string captionSuffix = captionLabel(operation) + rows.front()->name;

    const std::string objectPath = joinObjectIds(ids);
    const std::string listUrl = m_panel.listUrl(objectPath);
    if (listUrl.empty())
        return false;
    const ObjectUrlOptions options = m_panel.objectOptions();
    const bool descendantsAllowed = serverVersion >= 3;
    std::string url;
    if (operation == CheckOperation::CheckIn)
        url = buildCheckUrl(listUrl, CheckCommand::CheckIn,
                            descendantsAllowed && options.checkinOnSaveDesc);
    else if (operation == CheckOperation::CheckOut)
        url = buildCheckUrl(listUrl, CheckCommand::CheckOut,
                            descendantsAllowed && options.checkoutOnOpenDesc);
    else
        url = buildUndoCheckOutUrl(listUrl);

    if (bAskComment) {
        CCommentDlg dialog(m_panel.dialogOwner());
        dialog.maxChars = kMaxCheckRequest - int(url.size());
        dialog.captionSuffix = captionSuffix;
        if (dialog.doModal() != QDialog::Accepted)
            return false;
        appendComment(url, dialog.comment);
    }
    return m_panel.startListRequest(url);
}

void PanelOperations::CreateSubset(bool bUseSelection)
{
    CSubsetNameDlg dialog(m_panel.dialogOwner());
    if (dialog.doModal() != QDialog::Accepted)
        return;
    if (isReservedSubsetName(dialog.subsetName)) {
        showStringError(m_panel.dialogOwner(), IDS_MAIN_RESERVED);
        return;
    }
    std::vector<std::string> ids;
    if (bUseSelection) {
        for (const ResultRow* row : m_panel.selectedRows()) {
            if (!row)
                return; // the placeholder or "Downloading..." row is no object
            ids.push_back(row->id);
        }
    }
    const std::string objectPath = joinObjectIds(ids);
    const std::string listUrl = m_panel.listUrl(objectPath);
    if (!listUrl.empty())
        m_panel.startListRequest(buildCreateSubsetUrl(listUrl, dialog.subsetName));
}

void PanelOperations::SetObjectAccess()
{
    if (m_panel.serverVersion() < 2)
        return;
    ObjectModes modes;
    if (!CollectObjectModes(m_panel.selectedRows(), modes)) {
        if (modes.refusalId)
            showStringError(m_panel.dialogOwner(), modes.refusalId);
        return;
    }
    CAccessRightsDlg dialog(m_panel.dialogOwner(), true, modes.displayName, modes.levels.owner,
                            modes.levels.group, modes.levels.other);
    if (dialog.doModal() != QDialog::Accepted)
        return;
    const std::string listUrl = m_panel.listUrl(modes.objectPath);
    if (!listUrl.empty())
        m_panel.startListRequest(buildObjectAccessUrl(listUrl, buildModeString(dialog.levels())));
}

void PanelOperations::SetSubsetAccess()
{
    if (m_panel.serverVersion() < 2)
        return;
    const std::optional<SubsetEntry> subset = m_panel.currentSubsetEntry();
    if (!subset || subset->mode.empty())
        return;
    AccessLevels levels;
    mergeMode(subset->mode, levels);
    CAccessRightsDlg dialog(m_panel.dialogOwner(), false, subset->name, levels.owner, levels.group,
                            levels.other);
    if (dialog.doModal() != QDialog::Accepted)
        return;
    const std::string listUrl = m_panel.listUrl(std::string());
    if (!listUrl.empty())
        m_panel.startListRequest(
            buildSubsetAccessUrl(listUrl, buildModeString(dialog.levels()), subset->name));
}

} // namespace Dbscout
