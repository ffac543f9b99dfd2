// The panel's object operations: check in, check out and undo, new subsets, access rights.
// Each sends one request on the listing URL through the browse cycle, whose answer refills the
// list. Nothing here keeps a row pointer across a dialog: a listing may arrive meanwhile.

#include "panel/scout_panel.h"

#include "document/result_page.h"
#include "operations/access_modes.h"
#include "operations/access_rights_dlg.h"
#include "operations/comment_dlg.h"
#include "operations/selection_classes.h"
#include "operations/subset_name_dlg.h"
#include "panel/result_item.h"
#include "platform/ascii_case.h"
#include "platform/modal.h"
#include "request/operation_urls.h"
#include "request/url_params.h"
#include "resources/ids.h"
#include "resources/strings.h"
#include "resources/texts.h"

#include <QComboBox>
#include <QTreeWidget>

// Subset entries ride on the Subset/Query box as item data.
Q_DECLARE_METATYPE(Dbscout::SubsetEntry)

using namespace Dbscout;

namespace {

// The longest request a check in or out may grow to with its comment.
constexpr int kMaxCheckRequest = 2009;

// "MAIN" in any letter case, as the server refuses it.
bool IsReservedSubsetName(const std::string& name)
{
    return EqualsAsciiNoCase(name, "MAIN");
}

const char* CaptionLabel(CheckOperation operation)
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

void ShowStringError(QWidget* owner, int stringId)
{
    std::string text = LoadString(stringId);
    ShowError(owner, text);
}

} // namespace

bool CScoutPanel::OnOperationCommand(int nCommand)
{
    switch (nCommand) {
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

std::vector<const ResultRow*> CScoutPanel::SelectedRows() const
{
    std::vector<const ResultRow*> rows;
    for (int i = 0; m_list && i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->isSelected())
            rows.push_back(RowData(item));
    }
    return rows;
}

std::optional<SubsetEntry> CScoutPanel::CurrentSubsetEntry() const
{
    // Text typed over the selected entry leaves the box without a selected entry.
    const int index = m_cbQuery ? m_cbQuery->currentIndex() : -1;
    if (index < 0 || m_cbQuery->itemText(index) != m_cbQuery->currentText())
        return std::nullopt;
    const QVariant data = m_cbQuery->itemData(index);
    if (!data.canConvert<SubsetEntry>())
        return std::nullopt;
    return data.value<SubsetEntry>();
}

std::string CScoutPanel::CurrentUserName() const
{
    if (m_pCurrentSource && !m_pCurrentSource->m_strUser.empty())
        return m_pCurrentSource->m_strUser;
    std::string url = m_strSourceURL;
    std::string user;
    std::string password;
    SplitUrlCredentials(url, user, password);
    return user;
}

bool CScoutPanel::CheckInOut(CheckOperation operation, bool bAskComment)
{
    if (!m_bWindowCreated)
        return false;
    const std::vector<const ResultRow*> selection = SelectedRows();
    const SelectionClasses classes =
        Dbscout::ClassifySelection(selection, CurrentUserName(), m_nServerVersion);
    const std::vector<const ResultRow*>& rows = QualifyingRows(classes, operation);
    if (!CoversSelection(rows, selection.size()))
        return false; // the whole selection or nothing
    std::vector<std::string> ids;
    for (const ResultRow* row : rows)
        ids.push_back(row->id);
    const std::string captionSuffix = CaptionLabel(operation) + rows.front()->name;

    const std::string objectPath = JoinObjectIds(ids);
    const std::string listUrl = BuildListUrl(&objectPath);
    if (listUrl.empty())
        return false;
    const ObjectUrlOptions options = ObjectOptions();
    const bool descendantsAllowed = m_nServerVersion >= 3;
    std::string url;
    if (operation == CheckOperation::CheckIn)
        url = BuildCheckUrl(listUrl, CheckCommand::CheckIn,
                            descendantsAllowed && options.checkinOnSaveDesc);
    else if (operation == CheckOperation::CheckOut)
        url = BuildCheckUrl(listUrl, CheckCommand::CheckOut,
                            descendantsAllowed && options.checkoutOnOpenDesc);
    else
        url = BuildUndoCheckOutUrl(listUrl);

    if (bAskComment) {
        CCommentDlg dialog(this);
        dialog.maxChars = kMaxCheckRequest - int(url.size());
        dialog.captionSuffix = captionSuffix;
        if (dialog.DoModal() != QDialog::Accepted)
            return false;
        AppendComment(url, dialog.comment);
    }
    return StartListRequest(url, false) != 0;
}

void CScoutPanel::CreateSubset(bool bUseSelection)
{
    if (!m_bWindowCreated)
        return;
    CSubsetNameDlg dialog(this);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    if (IsReservedSubsetName(dialog.subsetName)) {
        ShowStringError(this, IDS_MAIN_RESERVED);
        return;
    }
    std::vector<std::string> ids;
    if (bUseSelection) {
        for (const ResultRow* row : SelectedRows()) {
            if (!row)
                return; // the placeholder or "Downloading..." row is no object
            ids.push_back(row->id);
        }
    }
    const std::string objectPath = JoinObjectIds(ids);
    const std::string listUrl = BuildListUrl(&objectPath);
    if (!listUrl.empty())
        StartListRequest(BuildCreateSubsetUrl(listUrl, dialog.subsetName), false);
}

void CScoutPanel::SetObjectAccess()
{
    if (!m_bWindowCreated || m_nServerVersion < 2)
        return;
    ObjectModes modes;
    if (!CollectObjectModes(SelectedRows(), modes)) {
        if (modes.refusalId)
            ShowStringError(this, modes.refusalId);
        return;
    }
    CAccessRightsDlg dialog(this, true, modes.displayName, modes.levels.owner, modes.levels.group,
                            modes.levels.other);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    const std::string listUrl = BuildListUrl(&modes.objectPath);
    if (!listUrl.empty())
        StartListRequest(BuildObjectAccessUrl(listUrl, BuildModeString(dialog.levels())), false);
}

void CScoutPanel::SetSubsetAccess()
{
    if (!m_bWindowCreated || m_nServerVersion < 2)
        return;
    const std::optional<SubsetEntry> subset = CurrentSubsetEntry();
    if (!subset || subset->mode.empty())
        return;
    AccessLevels levels;
    MergeMode(subset->mode, levels);
    CAccessRightsDlg dialog(this, false, subset->name, levels.owner, levels.group, levels.other);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    const std::string noObjects;
    const std::string listUrl = BuildListUrl(&noObjects);
    if (!listUrl.empty())
        StartListRequest(
            BuildSubsetAccessUrl(listUrl, BuildModeString(dialog.levels()), subset->name), false);
}
